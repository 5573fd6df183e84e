#!/usr/bin/env bash
# The main window as a person meets it: a real X server, a real window manager
# and real pointer events. A drag at the right edge resizes the window, a drag
# on the caption moves it, a press on the middle of the splitter bar
# collapses the right column and brings it back, and with the bar dragged far
# right a narrowed window keeps its caption and the column's buttons.
#
#   real_window.sh <client> <server>
# With KRVO_SHOTS_DIR set, screenshots of the whole window, restored,
# collapsed and narrowed, are written there.
set -euo pipefail
client=$1
server=$2
shots=${KRVO_SHOTS_DIR:-}
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

display=""
for n in $(seq 91 140); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || fail "no free display"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
export DISPLAY=$display
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)

"$server" --port 0 --humans 1 --names 玩家 --exit-when-empty >"$work/server.out" 2>&1 &
pids+=($!)
port=""
for _ in $(seq 100); do
  port=$(sed -n 's/^listening on .*:\([0-9][0-9]*\)$/\1/p' "$work/server.out")
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || fail "the server did not start"

title=窗口测试牌桌
"$client" 'q@!%tb)*&m[]:zp;{/hd{|kx73WQLMR8!$@~41' 127.0.0.1 "$port" "$title" '新手_0' - - 玩家 1 \
  >"$work/client.log" 2>&1 &
pids+=($!)
window=""
for _ in $(seq 150); do
  window=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || fail "the window did not appear"
sleep 1.5  # the table is laid out and the frame's pointer tracking runs

geometry() { eval "$(xdotool getwindowgeometry --shell "$window")"; }
# Presses at (x, y) on the screen, moves by (dx, dy) in steps and releases,
# with pauses a hand would make, so the frame sees the pointer before the press.
drag() {
  local x=$1 y=$2 dx=$3 dy=$4
  xdotool mousemove "$x" "$y"
  sleep 0.4
  xdotool mousedown 1
  sleep 0.2
  for step in 1 2 3 4 5; do
    xdotool mousemove "$((x + dx * step / 5))" "$((y + dy * step / 5))"
    sleep 0.1
  done
  xdotool mouseup 1
  sleep 0.8
}
near() { [ "$1" -ge "$(($2 - 12))" ] && [ "$1" -le "$(($2 + 12))" ]; }

geometry
before_width=$WIDTH
drag "$((X + WIDTH - 2))" "$((Y + 300))" -150 0
geometry
near "$WIDTH" "$((before_width - 150))" || fail "the right edge drag gave width $WIDTH, not $((before_width - 150))"
echo "resized from the right edge: $before_width -> $WIDTH"

before_x=$X
before_y=$Y
drag "$((X + 300))" "$((Y + 20))" 60 40
geometry
near "$X" "$((before_x + 60))" && near "$Y" "$((before_y + 40))" \
  || fail "the caption drag left the window at $X,$Y, not $((before_x + 60)),$((before_y + 40))"
echo "moved by the caption: $before_x,$before_y -> $X,$Y"

# The column's colour where the user list stands, then the table's when collapsed.
pixel() {
  import -window root "$work/shot.png"
  convert "$work/shot.png" -format "%[pixel:p{$1,$2}]" info:
}
bar_y=$((Y + 35 + (HEIGHT - 40) / 2))
# The bar stands where the screen's width puts it, or further left where the
# column's content needs more room: one pixel of the window's own background
# lies between the table and the bar.
import -window root "$work/shot.png"
gap=$(convert "$work/shot.png" -crop "$((WIDTH - 650))x1+$((X + 650))+$bar_y" +repage txt:- |
  awk -F'[,:]' '/#FAFAFA/ && !found { print $1; found = 1 }')
[ -n "$gap" ] || fail "no splitter bar found right of the table"
bar_x=$((X + 650 + gap + 1))
probe_x=$((bar_x + 60))
probe_y=$((Y + 150))
restored=$(pixel "$probe_x" "$probe_y")
[ -n "$shots" ] && cp "$work/shot.png" "$shots/window-restored.png"
xdotool mousemove "$((bar_x + 6))" "$bar_y" click 1
sleep 0.8
collapsed=$(pixel "$probe_x" "$probe_y")
[ -n "$shots" ] && cp "$work/shot.png" "$shots/window-collapsed.png"
[ "$collapsed" = "srgb(8,105,165)" ] || fail "after collapsing the column shows $collapsed, not the table"
[ "$restored" != "$collapsed" ] || fail "the column did not change"
# Collapsed, the bar stands at the window's right edge.
xdotool mousemove "$((X + WIDTH - 14 + 6))" "$bar_y" click 1
sleep 0.8
again=$(pixel "$probe_x" "$probe_y")
[ "$again" = "$restored" ] || fail "the restored column shows $again, not $restored"
echo "the column collapsed and came back"

# The bar dragged as far right as it goes leaves the column the width its
# content needs; a window then made narrower (still wide enough for that and
# the table's least width) moves the bar with its edge, so the caption's
# buttons and the column's buttons look exactly as before, against the new
# right edge.
right_part() {  # name: the caption's end and the column's buttons, cut from the screen
  import -window root "$work/shot.png"
  convert "$work/shot.png" -crop "110x30+$((X + WIDTH - 110))+$Y" +repage "$work/$1-caption.png"
  convert "$work/shot.png" -crop "120x33+$((X + WIDTH - 126))+$((Y + 35))" +repage "$work/$1-buttons.png"
}
drag "$((bar_x + 6))" "$((Y + 100))" 400 0
geometry
right_part wide
wide_width=$WIDTH
drag "$((X + WIDTH - 2))" "$((Y + 300))" "$((1000 - WIDTH))" 0
geometry
[ "$WIDTH" -lt "$((wide_width - 120))" ] || fail "the window did not narrow: $WIDTH"
right_part narrow
[ -n "$shots" ] && cp "$work/shot.png" "$shots/window-narrow.png"
for part in caption buttons; do
  differ=$(compare -metric AE "$work/wide-$part.png" "$work/narrow-$part.png" null: 2>&1 || true)
  [ "$differ" = "0" ] || fail "the $part changed when the window narrowed to $WIDTH ($differ pixels)"
done
echo "the caption and the column's buttons stayed at width $WIDTH"
