#!/usr/bin/env bash
# Starts the table client the way the lobby does, with a demo command line.
# Without a display it runs under a virtual X server.
set -euo pipefail
build=${1:-build}
client="$build/platform/krvo/krvo"
host=${KRVO_HOST:-127.0.0.1}
port=${KRVO_PORT:-47100}
token='q@!%tb)*&m[]:zp;{/hd{|kx73WQLMR8!$@~41'
levels='新手_0`学徒_100`熟手_300`好手_800`高手_2000`大师_5000'

echo "starting the table client for $host:$port (it ends when no room server answers there)"
args=("$token" "$host" "$port" "红A牌桌" "$levels" "-" "-" "玩家" "1")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$client" "${args[@]}"
fi
exec "$client" "${args[@]}"
