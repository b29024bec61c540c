#!/usr/bin/env bash
# Start-up time (process start to the window mapped on an X server) and resident memory once idle,
# of Pemvaro side by side with the least Qt program showing one window of the same size.
# Usage: bench/startup.sh [BUILD_DIR] [RUNS]      (BUILD_DIR defaults to build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-7}
mapwait=$build/bench/mapwait
for f in "$mapwait" "$build/bench/barewindow" "$build/pemvaro"; do
    [ -x "$f" ] || { echo "missing $f: build first (./build.sh bench builds it)" >&2; exit 2; }
done

# Xvfb picks a free display and tells its number.
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$displayfile" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -f "$displayfile"' EXIT
for _ in $(seq 50); do [ -s "$displayfile" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$displayfile")" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }

: >/tmp/pemvaro-startup.bare
: >/tmp/pemvaro-startup.app
# One warm-up each, then alternating runs so that both see the same machine.
"$mapwait" 300 "$build/bench/barewindow" >/dev/null
"$mapwait" 300 "$build/pemvaro" >/dev/null
for _ in $(seq "$runs"); do
    "$mapwait" 1000 "$build/bench/barewindow" >>/tmp/pemvaro-startup.bare
    "$mapwait" 1000 "$build/pemvaro" >>/tmp/pemvaro-startup.app
done

bare_ms=$(cut -d' ' -f1 /tmp/pemvaro-startup.bare | median)
app_ms=$(cut -d' ' -f1 /tmp/pemvaro-startup.app | median)
bare_kib=$(cut -d' ' -f2 /tmp/pemvaro-startup.bare | median)
app_kib=$(cut -d' ' -f2 /tmp/pemvaro-startup.app | median)
printf '%-22s %10s %10s %7s\n' "median of $runs runs" "bare Qt" "Pemvaro" "ratio"
printf '%-22s %10s %10s %7.2f\n' "start-up (ms)" "$bare_ms" "$app_ms" "$(echo "$app_ms / $bare_ms" | bc -l)"
printf '%-22s %10s %10s %7.2f\n' "resident memory (KiB)" "$bare_kib" "$app_kib" "$(echo "$app_kib / $bare_kib" | bc -l)"
