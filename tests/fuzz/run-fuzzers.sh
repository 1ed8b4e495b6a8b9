#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
# Usage: run-fuzzers.sh BUILD_DIR [SECONDS_PER_TARGET]
# New inputs go to a scratch corpus; a crash leaves its input in BUILD_DIR
# (crash-*) and fails the run. Save such inputs under fuzz/regressions/ so
# the replay tests keep them.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build_dir=$1
seconds=${2:-60}

(cd "$root" && cmake --preset fuzz -B "$build_dir" >/dev/null)
targets=(bmp jpeg png ini control_line skin_load skin_check)
ninja -C "$build_dir" "${targets[@]/#/fuzz_}"

declare -A seeds=(
  [bmp]="$root/tests/data/bmpsuite"
  [jpeg]="$root/tests/data/jpeg"
  [png]="$root/tests/data/png"
  [ini]="$root/fuzz/seeds/ini"
  [control_line]="$root/fuzz/seeds/control_line"
  [skin_load]="$root/fuzz/seeds/skin_load"
  [skin_check]="$root/fuzz/seeds/skin_load"
)
# The longest input each target gets: room for its kind of file, no more,
# so that time goes to inputs of the size the code reads.
declare -A max_len=(
  [bmp]=65536
  [jpeg]=16384
  [png]=16384
  [ini]=4096
  [control_line]=256
  [skin_load]=16384
  [skin_check]=16384
)
# One target per core at a time: each still gets its full time.
parallel=$(nproc 2>/dev/null || echo 1)
run_target() {
  local t=$1 corpus=$build_dir/corpus-$1
  mkdir -p "$corpus"
  # shellcheck disable=SC2086  # the seed list is space-separated folders
  (cd "$build_dir" && ASAN_OPTIONS=detect_leaks=1 "$build_dir/fuzz/fuzz_$t" \
    -max_total_time="$seconds" -max_len="${max_len[$t]}" -rss_limit_mb=3072 -timeout=20 -print_final_stats=1 \
    "$corpus" ${seeds[$t]} >"$build_dir/fuzz-$t.log" 2>&1)
}
status=0
for ((i = 0; i < ${#targets[@]}; i += parallel)); do
  batch=("${targets[@]:i:parallel}")
  pids=()
  for t in "${batch[@]}"; do
    echo "fuzz: $t for ${seconds}s"
    run_target "$t" &
    pids+=($!)
  done
  for j in "${!batch[@]}"; do
    t=${batch[$j]}
    if ! wait "${pids[$j]}"; then
      echo "fuzz: $t found a problem" >&2
      status=1
    fi
    tail -n 12 "$build_dir/fuzz-$t.log"
  done
done
exit $status
