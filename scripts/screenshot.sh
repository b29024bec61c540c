#!/usr/bin/env bash
# Remakes the window picture of the README: starts the program in an X server of its own, enters
# a row of fractions, clicks Make and saves the window alone as a PNG.
#   scripts/screenshot.sh [PROGRAM] [PICTURE]     (defaults: build/pemvaro, docs/pemvaro.png)
# Needs Xvfb, xdotool and ImageMagick's import (all in build.sh's package list).
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/pemvaro}")
picture=${2:-docs/pemvaro.png}

work=$(mktemp -d)
xvfb_pid='' app_pid=''
cleanup() {
    set +e
    for pid in $app_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; echo "Xvfb did not start" >&2; exit 1; }
DISPLAY=:$(cat "$work/display")
export DISPLAY

mkdir -m 700 "$work/runtime"
env QT_QPA_PLATFORM=xcb LANG=C.UTF-8 LC_ALL=C.UTF-8 QT_SCALE_FACTOR=1 QT_QPA_PLATFORMTHEME= \
    QT_STYLE_OVERRIDE= QT_IM_MODULE= XDG_RUNTIME_DIR="$work/runtime" XDG_DATA_HOME="$work/data" \
    "$program" &
app_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Pemvaro for HTML$' | head -n 1) ||
    { echo "the window did not appear" >&2; exit 1; }
xdotool windowfocus --sync "$window"

# Client coordinates from the window layout; group box children sit relative to their box.
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep 0.2; }
click 56 72                         # the entry row "（新規作成）", the first row of the list
xdotool key Tab                     # to the numerator box
for entry in 1/2 + 3/4 = 5/4; do
    xdotool type --delay 40 -- "${entry%/*}"
    [ "$entry" != "${entry#*/}" ] && xdotool key Tab && xdotool type --delay 40 -- "${entry#*/}"
    xdotool key Return              # Change, the default button; focus back to the numerator
    sleep 0.2
done
click 405 220                       # Make
sleep 0.5
sleep 3                             # the line the first Make shows at 古いページ用 goes

mkdir -p "$(dirname "$picture")"
import -silent -window "$window" -strip -define png:exclude-chunks=date,time "$picture"
echo "wrote $picture"
