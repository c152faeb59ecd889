# Sourced by ./run and ./test: installs what the builds and the tests need when it is missing.
# The 32-bit tests run under 32-bit Wine, which on a 64-bit Debian is the package wine32 of the
# i386 architecture (the package wine alone brings only the launcher). valgrind counts the
# instructions of bridge calls for the benchmark; clang and its runtimes (libFuzzer, the
# sanitizers) build the fuzz targets; pugixml and libzip read and write score files. pandoc
# makes the guide one HTML file for the plug-in's archive; dpkg-dev and lintian make and check
# the command's Debian package, man (man-db, and col of bsdextrautils) reads its manual page,
# unzip opens the archive.
QV_PACKAGES="cmake make g++ libgtest-dev googletest libbenchmark-dev valgrind g++-mingw-w64-i686 wine wine32:i386 fonts-wine xvfb xauth x11-apps imagemagick libpugixml-dev libzip-dev pkg-config libxml2-utils clang libclang-rt-14-dev pandoc lintian dpkg-dev man-db bsdextrautils unzip"

missing_packages() {
  local p missing=""
  for p in $QV_PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  echo "$missing"
}

ensure_tools() {
  local missing i386=""
  missing=$(missing_packages)
  [ -z "$missing" ] && return 0
  if [ "$(dpkg --print-architecture)" != i386 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    i386="dpkg --add-architecture i386 && "
  fi
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages:$missing"
    echo "Install them as root, for example:"
    echo "  ${i386}apt-get update && apt-get install -y$missing"
    exit 2
  fi
  echo "Installing:$missing"
  if [ -n "$i386" ]; then dpkg --add-architecture i386 || exit 2; fi
  apt-get update -qq >/dev/null || {
    echo "apt-get update failed"
    exit 2
  }
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing >/dev/null || {
    echo "apt-get install failed"
    exit 2
  }
}

# The web page: emscripten builds its engine, dpkg-dev unpacks the Debian sources of its
# libraries (web/deps.sh), npm brings Verovio, the synthesizer and playwright-core, Chromium
# runs its tests (python3's http.server serves it as static files); the page plays scores with
# the General MIDI sounds of timgm6mb-soundfont.
QV_WEB_PACKAGES="emscripten dpkg-dev chromium timgm6mb-soundfont python3"
ensure_web_tools() {
  local node=""
  command -v npm >/dev/null || node="nodejs npm"
  QV_PACKAGES="$QV_PACKAGES $QV_WEB_PACKAGES $node" ensure_tools
}
