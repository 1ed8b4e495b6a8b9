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

# Configures and builds the normal (RelWithDebInfo) tree.
stage_build() {
  bash "$root/scripts/build.sh" "$build_dir"
}

# Runs all CTest tests, the X11 ones included, with a display.
stage_tests() {
  bash "$root/scripts/with-x.sh" \
    ctest --test-dir "$build_dir" --output-on-failure --no-tests=error
}

main() {
  stage_deps
  stage_build
  stage_tests
  echo "run-all: all stages passed"
}

main "$@"
