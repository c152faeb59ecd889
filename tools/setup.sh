# Sourced by ./run and ./test: installs what the builds and the tests need when it is missing.
QV_PACKAGES="cmake make g++ libgtest-dev googletest libbenchmark-dev g++-mingw-w64-i686 wine wine32:i386 xvfb xauth x11-apps imagemagick"

missing_packages() {
  local p missing=""
  for p in $QV_PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  echo "$missing"
}

ensure_tools() {
  local missing
  missing=$(missing_packages)
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages:$missing"
    echo "Install them as root, for example:"
    echo "  dpkg --add-architecture i386 && apt-get update && apt-get install -y$missing"
    exit 2
  fi
  echo "Installing:$missing"
  dpkg --print-foreign-architectures | grep -q i386 || dpkg --add-architecture i386
  apt-get update -qq >/dev/null
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing >/dev/null || {
    echo "apt-get install failed"
    exit 2
  }
}
