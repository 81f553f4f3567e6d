#!/usr/bin/env bash
# Builds Zorvexa and runs every test. Test output (screenshots, logs) goes to
# build/test-output.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh "$@"
BUILD_DIR=${BUILD_DIR:-build}
# In a -DZORVEXA_SANITIZE=ON build, leaks inside third-party libraries are not ours.
export LSAN_OPTIONS="suppressions=$PWD/tests/support/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
# Desktop tests share a loaded machine with the rest; a failed test gets one more try.
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" --timeout 600 --repeat until-pass:2
