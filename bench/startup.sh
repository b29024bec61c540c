#!/usr/bin/env bash
# Start-up time (process start to the window mapped on an X server, and to its first paint, with
# the processor time taken until then) and resident memory once idle, of Pemvaro side by side with the least Qt program showing one window
# of the same size, with that window showing one line of Japanese text, and with Pemvaro's window
# built from Qt's own widgets (the same layout, nothing else of the program).
# Usage: bench/startup.sh [BUILD_DIR] [RUNS]      (BUILD_DIR defaults to build)
set -euo pipefail
# In a desktop session programs find its session bus. Without one, the first label a Qt program
# shows has libdbus start a bus by way of the X server (dbus-launch --autolaunch, for Qt's
# accessibility), tens of milliseconds no desktop pays: the runs get a bus of their own.
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] && command -v dbus-run-session >/dev/null; then
    exec dbus-run-session -- "$0" "$@"
fi
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-7}
mapwait=$build/bench/mapwait
for f in "$mapwait" "$build/bench/barewindow" "$build/bench/barelabel" "$build/bench/stockwindow" \
    "$build/pemvaro"; do
    [ -x "$f" ] || { echo "missing $f: build first (./build.sh bench builds it)" >&2; exit 2; }
done

# Xvfb picks a free display and tells its number; a black root shows when a window is painted.
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -br -nolisten tcp -noreset 3>"$displayfile" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -f "$displayfile"' EXIT
for _ in $(seq 50); do [ -s "$displayfile" ] && break; sleep 0.1; done
# Pemvaro starts as the first time, with no work kept from an earlier run.
export DISPLAY=":$(cat "$displayfile")" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)} \
    XDG_DATA_HOME=$(mktemp -d)

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }

# The bare window, the bare window with one Japanese label, the window of Qt's widgets and Pemvaro:
# one warm-up each, then alternating runs so that all see the same machine.
programs=("$build/bench/barewindow" "$build/bench/barelabel" "$build/bench/stockwindow"
          "$build/pemvaro")
results=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null; rm -rf "$displayfile" "$results"' EXIT
for p in "${programs[@]}"; do "$mapwait" 300 "$p" >/dev/null; done
for _ in $(seq "$runs"); do
    for i in 0 1 2 3; do "$mapwait" 1000 "${programs[$i]}" >>"$results/$i"; done
done

column() { cut -d' ' -f"$2" "$results/$1" | median; }
ratio() { echo "$1 / $2" | bc -l; }
printf '%-24s %8s %11s %12s %8s %8s %8s\n' "median of $runs runs" "bare Qt" "with label" \
    "Qt widgets" "Pemvaro" "/ label" "/ Qt w."
names=("" "to mapped (ms)" "to first paint (ms)" "CPU to first paint (ms)" "resident memory (KiB)")
for field in 1 2 3 4; do
    name=${names[$field]}
    bare=$(column 0 $field) label=$(column 1 $field) stock=$(column 2 $field) app=$(column 3 $field)
    printf '%-24s %8s %11s %12s %8s %8.2f %8.2f\n' "$name" "$bare" "$label" "$stock" "$app" \
        "$(ratio "$app" "$label")" "$(ratio "$app" "$stock")"
done
