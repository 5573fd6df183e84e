#!/usr/bin/env bash
# With a display (DISPLAY or WAYLAND_DISPLAY set) this starts krvo-launcher,
# from which the player plays against the computers, hosts a table for friends
# or joins one (KRVO_RUN_DIRECT=1 skips it and starts the table at once, as
# below, with the normal times).
#
# Otherwise it starts the local room server on a free loopback port with three
# computer players, then the table client the way the lobby does; when the
# client ends, so does the server. Without a display the table runs under a
# virtual X server with short times and the server raising the player's hand:
# once the cards are dealt a screenshot goes to BUILD/run-screenshot.png, and
# the client then plays on its own time-outs until its automatic-play limit
# takes it off the table (exit status 3, the expected end of such a run).
#
# BUILD is the Release tree `make run` builds (build-run); the sanitizer tree
# of the tests (build) works as well, only slower, and so does an installed
# tree's prefix (/usr, or a staging directory's usr/).
set -euo pipefail
build=${1:-build-run}
client="$build/platform/krvo/krvo"
server="$build/bin/krvo-server"
installed=0
if [ ! -x "$client" ]; then
  # Both programs in bin/ (cmake --install) or games/ (the Debian package).
  for dir in "$build/bin" "$build/games"; do
    if [ -x "$dir/krvo" ]; then client="$dir/krvo" server="$dir/krvo-server" installed=1; break; fi
  done
fi
token='q@!%tb)*&m[]:zp;{/hd{|kx73WQLMR8!$@~41'
title='krvo演示牌桌'
levels='新手_0`学徒_100`熟手_300`好手_800`高手_2000`大师_5000'
# What the run leaves (screenshot, server output) goes into a build tree, and
# into a directory of its own for an installed tree (KRVO_RUN_OUT chooses).
if [ -z "${KRVO_RUN_OUT:-}" ]; then
  KRVO_RUN_OUT=$build
  if [ "$installed" = 1 ]; then KRVO_RUN_OUT=$(mktemp -d); fi
fi
export KRVO_RUN_OUT
out=$KRVO_RUN_OUT
screenshot="$out/run-screenshot.png"
server_out="$out/run-server.out"
# A sanitizer build reports the display and font libraries' process-lifetime
# caches as leaks; the tests ignore the same ones.
root=$(cd "$(dirname "$0")/.." && pwd)
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp}

# Inside the virtual X server: the client in the background, a screenshot once
# the server has dealt, then wait for the client to leave.
if [ "${KRVO_RUN_UNDER_XVFB:-}" = 1 ]; then
  port=$2
  "$client" "$token" 127.0.0.1 "$port" "$title" "$levels" - - 玩家 1 &
  client_pid=$!
  for _ in $(seq 300); do
    grep -q '^dealt round' "$server_out" && break
    kill -0 "$client_pid" 2>/dev/null || break
    sleep 0.1
  done
  if grep -q '^dealt round' "$server_out"; then
    sleep 2  # the table paints the deal
    import -window root "$screenshot"
    echo "the cards are dealt: screenshot written to $screenshot"
    echo "the client now plays on its time-outs until it leaves the table"
  else
    echo "no round was dealt; no screenshot" >&2
  fi
  status=0
  wait "$client_pid" || status=$?
  exit "$status"
fi

# The client's exit statuses (README.md, "Exit status").
describe_status() {
  case "$1" in
    0) echo "closed by the player" ;;
    1) echo "could not start" ;;
    2) echo "the start countdown ran out" ;;
    3) echo "the automatic-play limit was reached" ;;
    4) echo "the table was dissolved" ;;
    5) echo "the server said the player cannot go on" ;;
    6) echo "the connection to the server was lost" ;;
    7) echo "the server could not be reached" ;;
    *) echo "unexpected" ;;
  esac
}

headless=0
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then headless=1; fi

launcher="$build/bin/krvo-launcher"
if [ "$headless" = 0 ] && [ "${KRVO_RUN_DIRECT:-}" != 1 ] && [ -x "$launcher" ]; then
  echo "starting the launcher: $launcher"
  exec "$launcher"
fi

server_args=(--port 0 --humans 1 --names 玩家 --exit-when-empty)
if [ "$headless" = 1 ]; then
  server_args+=(--auto-start --play-time 10 --declare-time 1 --autoplay-limit 2)
fi
: >"$server_out"
"$server" "${server_args[@]}" >"$server_out" 2>"$out/run-server.log" &
server_pid=$!
trap 'kill "$server_pid" 2>/dev/null || true' EXIT

port=""
for _ in $(seq 100); do
  port=$(sed -n 's/^listening on .*:\([0-9][0-9]*\)$/\1/p' "$server_out")
  [ -n "$port" ] && break
  kill -0 "$server_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$port" ]; then
  echo "krvo-server did not start:" >&2
  cat "$out/run-server.log" >&2
  exit 1
fi
echo "room server on 127.0.0.1:$port with three computer players"

status=0
if [ "$headless" = 1 ]; then
  echo "no display: the table runs under a virtual X server"
  KRVO_RUN_UNDER_XVFB=1 xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$build" "$port" || status=$?
else
  "$client" "$token" 127.0.0.1 "$port" "$title" "$levels" - - 玩家 1 || status=$?
fi
echo "the table client ended (status $status: $(describe_status "$status"))"
# Headless, the client plays on its time-outs until the automatic-play limit
# takes it off the table: that status is the expected end. A person at the
# window may end in any of the documented ways.
if [ "$headless" = 1 ]; then
  [ "$status" = 3 ] && exit 0
  exit "$status"
fi
case "$status" in
  0 | [2-7]) exit 0 ;;
esac
exit "$status"
