#!/usr/bin/env bash
# Installs the build tree into a staging directory, moves the installed tree
# elsewhere, and plays from there: the installed client must find its data
# through its own location, the installed server must deal, and the desktop
# files must pass Debian's checks.
# Usage: staged_install.sh <build tree> <source tree>
set -euo pipefail
build=$1
source=$2
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$stage/dest" cmake --install "$build" --prefix /usr >/dev/null
# A relocated tree must work as well as the place it was installed to.
mv "$stage/dest/usr" "$stage/moved"
prefix=$stage/moved

for path in bin/krvo bin/krvo-server \
  share/krvo/krvo/Res share/krvo/krvo/docs/help share/krvo/krvo/docs/adv \
  share/icons/hicolor/256x256/apps/krvo.png share/icons/hicolor/scalable/apps/krvo.svg \
  share/applications/krvo.desktop share/metainfo/io.github.krvo.krvo.metainfo.xml \
  share/man/man6/krvo.6.gz share/man/man6/krvo-server.6.gz share/man/man6/krvo-launcher.6.gz \
  share/doc/krvo/copyright share/doc/krvo/changelog.gz; do
  [ -e "$prefix/$path" ] || fail "$path is not installed"
done
# The platform's shared pictures lie beside the program directory.
[ -n "$(find "$prefix/share/krvo" -mindepth 1 -maxdepth 1 -type d ! -name krvo)" ] \
  || fail "share/krvo holds no shared pictures"
[ ! -e "$prefix/share/krvo/krvo/krvo" ] || fail "the client is installed into its data directory"
[ -z "$(find "$prefix" -name 'UserSet.ini*')" ] || fail "a user's preferences were installed"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/krvo.desktop"
else
  echo "desktop-file-validate missing: desktop entry not checked"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/io.github.krvo.krvo.metainfo.xml" >/dev/null
else
  echo "appstreamcli missing: metainfo not checked"
fi

# The installed programs to a dealt table under a virtual X server.
status=0
env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME="$stage/config" KRVO_RUN_OUT="$stage" \
  bash "$source/tools/run.sh" "$prefix" >"$stage/run.log" 2>&1 || status=$?
grep -q 'the cards are dealt' "$stage/run.log" || { cat "$stage/run.log"; fail "no table was dealt"; }
# After the deal the client plays on its time-outs; on a busy machine it may
# leave by another of its own endings (run.sh passes 3 on as 0, 2..7 as they
# are), but never by a crash or a refused start.
case "$status" in
  0 | [2-7]) ;;
  *) cat "$stage/run.log"; fail "run ended with status $status" ;;
esac
# Without its pictures the client paints flat colours and text (about 2,000
# colours on the screenshot); the dealt cards and the table art bring about 11,000.
colours=$(identify -format %k "$stage/run-screenshot.png")
[ "$colours" -gt 5000 ] || fail "the table shows $colours colours: pictures missing?"
echo "installed tree at a new place: dealt, $colours colours on the screenshot"
