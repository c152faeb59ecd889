#!/bin/sh
# One version everywhere a user sees one: the build's (VERSION), the module's version resource
# as written and as built into the DLL, what the command answers to --version, the page's
# About line, the names of the packages last made (and the Debian package's own field), and
# the names the guide and the README give them.
#   tests/release/version_test.sh VERSION SOURCE DLL SITE WIN32_BUILD RELEASE_BUILD COMMAND
set -eu
version=$1
source=$2
dll=$3
site=$4
zip=$(ls -t "$5"/QVChordShaper-*-win32.zip | head -1)
deb=$(ls -t "$6"/qvchord_*_amd64.deb | head -1)
command=$7
wrong=
differs() { wrong="$wrong
  $1: $2"; }
commas="$(echo "$version" | tr . ,),0" # 1.0.6 -> 1,0,6,0
rc="$source/resources/QVChordShaper.rc"
for field in " FILEVERSION $commas" " PRODUCTVERSION $commas" \
  "            VALUE \"FileVersion\", \"$commas\"" "            VALUE \"ProductVersion\", \"$commas\""; do
  grep -qxF "$field" "$rc" || differs "the version resource" "no line \"$field\""
done
# the fixed file information in the DLL (after its signature 0xFEEF04BD: the structure's
# version, then the file version as two 32-bit words, high part first)
built=$(python3 -c '
import struct, sys
data = open(sys.argv[1], "rb").read()
at = data.find(struct.pack("<I", 0xFEEF04BD))
if at < 0: sys.exit("no version resource")
ms, ls, pms, pls = struct.unpack_from("<IIII", data, at + 8)
utf16 = sys.argv[2].encode("utf-16-le")
print("%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF),
      "%d.%d.%d.%d" % (pms >> 16, pms & 0xFFFF, pls >> 16, pls & 0xFFFF), data.count(utf16))
' "$dll" "$commas")
[ "$built" = "$version.0 $version.0 2" ] || differs "the DLL" "file, product version, strings: $built"
said=$("$command" --version 2>&1 || true)
[ "$said" = "qvchord $version" ] || differs "--version" "$said"
grep -q "<p id=\"about\" class=\"note\">About: QV Chord Shaper $version," "$site/index.html" ||
  differs "the page" "$(grep -A1 'id="about"' "$site/index.html" || echo 'no About line')"
[ "$(basename "$zip")" = "QVChordShaper-$version-win32.zip" ] && [ -f "$zip" ] ||
  differs "the archive" "$zip"
[ "$(basename "$deb")" = "qvchord_${version}_amd64.deb" ] && [ -f "$deb" ] ||
  differs "the Debian package" "$deb"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] ||
  differs "the Debian package's version" "$(dpkg-deb -f "$deb" Version)"
# what the guide and the README tell users to download, install and see
for doc in docs/guide.md README.md; do
  named=$(grep -ohE 'QVChordShaper-[0-9.]+-win32\.zip|qvchord_[0-9.]+_amd64\.deb|qvchord [0-9]+\.[0-9.]+' \
    "$source/$doc" | sort -u | grep -vxF -e "QVChordShaper-$version-win32.zip" \
    -e "qvchord_${version}_amd64.deb" -e "qvchord $version" | tr '\n' ' ' || true)
  [ -z "$named" ] || differs "$doc" "$named"
done
[ -z "$wrong" ] || { echo "version $version, but:$wrong"; exit 1; }
echo "version $version: the version resource, the DLL, --version, the page and both packages"
