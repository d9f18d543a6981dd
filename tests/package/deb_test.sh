#!/usr/bin/env bash
# The Debian package CPack makes of the build: its version, the dependencies computed
# from the libraries the programs link, and the files in their /usr places.
# Usage: deb_test.sh CPACK BUILD_DIR UI(ON|OFF) APP_ID VERSION
# Exits 77 (skipped) without the Debian tools that make and read packages.
set -uo pipefail
cpack=$1 build=$2 ui=$3 app_id=$4 version=$5

for tool in dpkg-deb dpkg-shlibdeps; do
  if ! command -v $tool >/dev/null; then
    echo "skipped: $tool is not installed"
    exit 77
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/vorante-deb-XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "FAIL: cpack -G DEB"
  exit 1
fi
debs=("$work"/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  cat "$work/cpack.log"
  echo "FAIL: cpack made ${#debs[@]} packages"
  exit 1
fi
deb=${debs[0]}
arch=$(dpkg --print-architecture)

[ "$(basename "$deb")" = "vorante_${version}_$arch.deb" ] || fail "package file is $(basename "$deb")"
[ "$(dpkg-deb -f "$deb" Package)" = vorante ] || fail "Package is '$(dpkg-deb -f "$deb" Package)'"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "Version is '$(dpkg-deb -f "$deb" Version)'"

# Package names, one a line, without versions or alternatives.
depends=$(dpkg-deb -f "$deb" Depends | tr ',|' '\n\n' | sed 's/(.*//; s/ //g' | grep -v '^$' | sort -u)
wanted=(libc6 libstdc++6 'libserialport[0-9]*')
[ "$ui" = ON ] && wanted+=('libqt6widgets6.*' 'libqt6gui6.*' 'libqt6core6.*')
for w in "${wanted[@]}"; do
  grep -qx "$w" <<<"$depends" || fail "Depends lacks $w: $(dpkg-deb -f "$deb" Depends)"
done

contents=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
files=(./usr/bin/vorante-cli ./usr/bin/vorante-sim ./usr/share/doc/vorante/README.md)
[ "$ui" = ON ] && files+=(./usr/bin/vorante "./usr/share/applications/$app_id.desktop"
  "./usr/share/icons/hicolor/scalable/apps/$app_id.svg" "./usr/share/icons/hicolor/48x48/apps/$app_id.png")
for f in "${files[@]}"; do
  grep -qxF "$f" <<<"$contents" || fail "the package lacks $f"
done
# Only the program's own places: nothing under /usr/local, /etc or the build tree.
others=$(grep -v -e '^\./usr/bin/' -e '^\./usr/share/' -e '^\./$' -e '^\./usr/$' <<<"$contents")
[ -z "$others" ] || fail "the package has files elsewhere: $others"

if [ $failures -gt 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes; Depends: $(dpkg-deb -f "$deb" Depends)"
