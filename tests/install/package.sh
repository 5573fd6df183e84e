#!/usr/bin/env bash
# Packs the test tree's programs into a .deb with CPack (nothing is rebuilt)
# and checks what it holds and what it depends on. Skipped (status 77)
# without the packaging tools.
# Usage: package.sh <build tree>
set -euo pipefail
build=$1
for tool in cpack dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool missing"; exit 77; }
done
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out/cpack.log" 2>&1 \
  || { cat "$out/cpack.log"; fail "cpack failed"; }
deb=$(ls "$out"/krvo_*.deb)

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./usr/bin/krvo ./usr/bin/krvo-server ./usr/share/krvo/krvo/Res/ \
  ./usr/share/applications/krvo.desktop ./usr/share/metainfo/io.github.krvo.krvo.metainfo.xml \
  ./usr/share/icons/hicolor/256x256/apps/krvo.png ./usr/share/icons/hicolor/scalable/apps/krvo.svg \
  ./usr/share/man/man6/krvo.6.gz ./usr/share/doc/krvo/copyright; do
  grep -qxF "$path" <<<"$files" || fail "$path is not in the package"
done
grep -q '^\./usr/share/krvo/krvo/krvo$\|UserSet\.ini' <<<"$files" && fail "stray files in the package"

# Found from the programs' shared libraries, plus the window system's plugin.
depends=$(dpkg-deb -f "$deb" Depends)
names=$(sed 's/ ([^)]*)//g; s/, /\n/g' <<<"$depends")
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 \
  libqt6multimedia6 qt6-qpa-plugins; do
  grep -qxF "$package" <<<"$names" || fail "Depends lacks $package: $depends"
done
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "not in section games"
echo "$(basename "$deb"): $(wc -l <<<"$files") entries; Depends: $depends"
