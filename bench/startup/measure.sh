#!/usr/bin/env bash
# Start-up of Portico on the demo skin against the floor (a bare Xlib
# program showing one 480x320 image), started alternately from a separate
# X client that watches for the window and its first correct pixel.
#   bench/startup/measure.sh [BUILD_DIR] [RUNS] [SKIN] [SCALE]
# Run it under scripts/with-x.sh (Xvfb with openbox, kept running across
# the runs). Prints the medians, their ratio and each program's peak
# resident memory over a short session (show, hover, press, Escape).
# SKIN is the skin folder Portico starts on (the committed BMP demo by
# default; BUILD_DIR/demo-png is the same skin as PNG files). SCALE k
# sets the desktop to k x 96 dpi (Xft.dpi) for the runs, and the floor
# draws a window k times as wide and high.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(realpath "${1:-$root/build}")
runs=${2:-15}
skin=$(realpath "${3:-$root/demo}")
scale=${4:-1}
floor_size=$((480 * scale))x$((320 * scale))
watch=$build/bench/startup_watch
floor=$build/bench/startup_floor
work=$(mktemp -d "${TMPDIR:-/tmp}/portico-startup.XXXXXX")
saved_resources=$(xrdb -query 2>/dev/null || true)
trap 'rm -rf "$work"; xrdb -load - <<<"$saved_resources" 2>/dev/null || true' EXIT
echo "Xft.dpi: $((96 * scale))" | xrdb -merge

# A root colour neither program shows, so a stale screen never passes.
xsetroot -solid '#ff00ff'
xdotool mousemove 0 0

# The colour each program shows at its centre (the screen's centre).
floor_expect=182c48
(cd "$skin" && "$build/portico_compose" portico.ini "1.0 demo" "$work/frame.ppm")
portico_expect=$(python3 - "$work/frame.ppm" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
parts = data.split(b'\n', 3)
w, h = map(int, parts[1].split())
pixels = parts[3]
i = ((h // 2) * w + w // 2) * 3
print('%02x%02x%02x' % tuple(pixels[i:i + 3]))
PY
)

# One start; appends "map pixel rss" to FILE.
measure() {
  local file=$1
  shift
  local line
  line=$("$watch" "$@") || { echo "measure: a start failed: $*" >&2; return 1; }
  sed -E 's/[a-z_]+=//g' <<<"$line" >>"$file"
  sleep 0.3
}

for ((i = 0; i < runs; i++)); do
  measure "$work/floor.txt" "$work" "$floor_expect" -- "$floor" "$floor_size"
  measure "$work/portico.txt" "$skin" "$portico_expect" -- "$build/portico" portico.ini "1.0 demo"
done
for ((i = 0; i < 3; i++)); do
  measure "$work/floor-session.txt" --session "$work" "$floor_expect" -- "$floor" "$floor_size"
  measure "$work/portico-session.txt" --session "$skin" "$portico_expect" -- "$build/portico" portico.ini "1.0 demo"
done

# Median of column N of a file.
median() {
  awk -v c="$2" '{print $c}' "$1" | sort -n | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'
}

fm=$(median "$work/floor.txt" 1) fp=$(median "$work/floor.txt" 2)
pm=$(median "$work/portico.txt" 1) pp=$(median "$work/portico.txt" 2)
fr=$(median "$work/floor-session.txt" 3) pr=$(median "$work/portico-session.txt" 3)
printf '%-8s %14s %18s %16s\n' program "map (ms)" "first pixel (ms)" "peak RSS (KB)"
printf '%-8s %14s %18s %16s\n' floor "$fm" "$fp" "$fr"
printf '%-8s %14s %18s %16s\n' portico "$pm" "$pp" "$pr"
awk -v a="$pp" -v b="$fp" 'BEGIN {printf "first pixel ratio portico/floor: %.2f (%d runs each, medians)\n", a / b, '"$runs"'}'
