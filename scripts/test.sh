#!/usr/bin/env bash
# Builds Zorvexa and runs every test. Test output (screenshots, logs) goes to
# build/test-output.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh "$@"
BUILD_DIR=${BUILD_DIR:-build}
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" --timeout 600
