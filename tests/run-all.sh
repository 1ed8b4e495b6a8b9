#!/usr/bin/env bash
# Installs the dependencies, builds Portico in build/ and runs every test
# (unit tests and the X11 integration tests) under a working display.
# Exits non-zero when any stage fails. Stages are functions so that more can
# be appended to main.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=$root/build

# Makes sure every package the build and the tests use is installed.
stage_deps() {
  bash "$root/scripts/install-deps.sh"
}

# Configures and builds the normal tree (preset "default", RelWithDebInfo).
stage_build() {
  bash "$root/scripts/build.sh" default "$build_dir"
}

# Runs all CTest tests, the X11 ones included, with a display.
stage_tests() {
  bash "$root/scripts/with-x.sh" \
    ctest --test-dir "$build_dir" --output-on-failure --no-tests=error | tee "$build_dir/ctest.log"
}

# The X11 integration tests again with a compositing manager (picom): the
# window then takes a 32-bit visual with transparent cut-away parts and
# the demo's soft edges.
stage_compositor() {
  PORTICO_COMPOSITOR=picom bash "$root/scripts/with-x.sh" \
    ctest --test-dir "$build_dir" -L x11 --output-on-failure --no-tests=error
}

# Portico on sway's XWayland display (sway 1.7 headless, as its own user):
# the shared shape and pointer scenarios through the xwayland adapter.
stage_xwayland() {
  bash "$root/scripts/with-sway.sh" bash "$root/tests/xwayland/run.sh" \
    "$build_dir/portico" "$root" "$build_dir"
}

# The Windows build (portico.exe and the unit tests, cross-compiled with
# mingw-w64) and its tests under Wine: the unit tests, and portico.exe
# driven in Xvfb like the Linux binary (label win).
stage_windows() {
  local dir=$root/build-win
  bash "$root/scripts/build-windows.sh" "$dir"
  bash "$root/scripts/with-x.sh" \
    ctest --test-dir "$dir" -j2 --output-on-failure --no-tests=error | tee "$dir/ctest.log"
  # The layered window's soft edges, which Wine's X windows show under picom.
  PORTICO_COMPOSITOR=picom bash "$root/scripts/with-x.sh" \
    ctest --test-dir "$dir" -L win -R 'test_shape$' --output-on-failure --no-tests=error
}

# The release (scripts/package.sh: the .deb and both archives, from the
# trees the stages above built) twice: the archives must come out
# byte-identical, and tests/release/check-release.sh checks what is in
# them. About a minute.
stage_package() {
  local first=$root/dist second=$root/dist-again name
  rm -rf "$first" "$second"
  bash "$root/scripts/package.sh" "$first"
  bash "$root/scripts/package.sh" "$second" >/dev/null
  for name in $(cd "$first" && ls); do
    cmp "$first/$name" "$second/$name" || { echo "run-all: $name differs between two runs" >&2; return 1; }
  done
  echo "run-all: two package runs gave identical files: $(cd "$first" && ls | tr '\n' ' ')"
  rm -rf "$second"
  bash "$root/tests/release/check-release.sh" "$first" "$build_dir" "$root/build-win"
}

# One closing line with the count of the main suite's tests, the Linux and
# the Windows build's together.
print_summary() {
  local total=0 failed=0 log n f
  for log in "$build_dir/ctest.log" "$root/build-win/ctest.log"; do
    [[ -f "$log" ]] || continue
    n=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -n 1)
    f=$(sed -n 's/.* \([0-9]*\) tests failed out of.*/\1/p' "$log" | tail -n 1)
    total=$((total + ${n:-0}))
    failed=$((failed + ${f:-0}))
  done
  echo "ctest: $((total - failed)) passed, $failed failed"
}

# The whole suite again, built with AddressSanitizer and
# UndefinedBehaviorSanitizer: any report (a leak included) fails its test.
stage_sanitizers() {
  local dir=$root/build-asan
  bash "$root/scripts/build.sh" asan "$dir"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0 \
    bash "$root/scripts/with-x.sh" \
    ctest --test-dir "$dir" --output-on-failure --no-tests=error
}

# Each libFuzzer target for a bounded time, seeded from the test data.
stage_fuzz() {
  bash "$root/tests/fuzz/run-fuzzers.sh" "$root/build-fuzz" "${FUZZ_SECONDS:-30}"
}

# valgrind memcheck over a scripted session of the real binary.
stage_memcheck() {
  local checked=$build_dir/portico_shared_libc
  [[ -x "$checked" ]] || checked=$build_dir/portico
  bash "$root/scripts/with-x.sh" bash "$root/tests/memcheck/session.sh" \
    "$build_dir/portico" "$root" "$build_dir" "$checked"
}

main() {
  stage_deps
  stage_build
  stage_tests
  stage_compositor
  stage_xwayland
  stage_windows
  stage_package
  stage_sanitizers
  stage_fuzz
  stage_memcheck
  echo "run-all: all stages passed"
  print_summary
}

main "$@"
