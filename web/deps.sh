#!/usr/bin/env bash
# Builds zlib, libzip and pugixml for WebAssembly from Debian's source packages (the same
# versions the native build links), installed under build/web/deps. Debian ships no wasm builds
# of them and emscripten's own ports would download from elsewhere. Done once; a finished
# build leaves build/web/deps/.complete.
set -eu -o pipefail
cd "$(dirname "$0")/.."
deps="$PWD/build/web/deps"
[ -f "$deps/.complete" ] && exit 0
export NODE_PATH=/usr/share/nodejs
rm -rf "$deps"
mkdir -p "$deps/src"

# apt-get source needs a deb-src entry for Debian's main suite.
if [ -z "$(apt-cache showsrc zlib 2>/dev/null)" ]; then
  [ "$(id -u)" -eq 0 ] || {
    echo "apt has no source packages; as root add a deb-src entry and run apt-get update"
    exit 2
  }
  printf '%s\n' 'Types: deb-src' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm' \
    'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' \
    >/etc/apt/sources.list.d/qv-deb-src.sources
  apt-get update -qq >/dev/null
fi
(cd "$deps/src" && apt-get source -qq zlib/bookworm libzip/bookworm pugixml/bookworm >/dev/null 2>&1) || {
  echo "wasm dependencies: apt-get source failed"
  exit 1
}

prefix="$deps/install"
# Runs try_run checks under the path's node; with its global fetch off the generated loader
# reads the .wasm from disk.
emulator="$(command -v node);--no-experimental-fetch"
# Configures, builds and installs one CMake source tree for wasm; extra arguments are options.
build_one() {
  local src=$1 dir
  shift
  dir="$deps/build/$(basename "$src")"
  emcmake cmake -S "$src" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_FIND_ROOT_PATH="$prefix" -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator" \
    -DBUILD_SHARED_LIBS=OFF "$@" &&
    cmake --build "$dir" -j2 && cmake --install "$dir"
}
# zlib's CMake script wants a Windows resource that the Debian tarball leaves out; its library
# is its top-level C files.
build_zlib() {
  local src dir
  src=$(echo "$deps"/src/zlib-*/)
  dir="$deps/build/zlib"
  mkdir -p "$dir" "$prefix/lib" "$prefix/include" &&
    (cd "$dir" && for c in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback \
      inffast inflate inftrees trees uncompr zutil; do
      emcc -O2 -DHAVE_UNISTD_H -c "$src/$c.c" -o "$c.o" || exit 1
    done && emar rcs "$prefix/lib/libz.a" ./*.o) &&
    cp "$src/zlib.h" "$src/zconf.h" "$prefix/include/"
}
if ! {
  build_zlib &&
    build_one "$(echo "$deps"/src/libzip-*/)" -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF \
      -DENABLE_MBEDTLS=OFF -DENABLE_OPENSSL=OFF -DENABLE_WINDOWS_CRYPTO=OFF -DENABLE_BZIP2=OFF \
      -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF \
      -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF -DZLIB_LIBRARY="$prefix/lib/libz.a" \
      -DZLIB_INCLUDE_DIR="$prefix/include" &&
    build_one "$(echo "$deps"/src/pugixml-*/)" -DPUGIXML_BUILD_TESTS=OFF
} >"$deps/build.log" 2>&1; then
  tail -30 "$deps/build.log"
  echo "wasm dependencies: build failed ($deps/build.log)"
  exit 1
fi
touch "$deps/.complete"
