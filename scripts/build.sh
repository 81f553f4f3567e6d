#!/usr/bin/env bash
# Installs the dependencies, then configures and builds Zorvexa into ./build.
# Extra arguments go to CMake's configure step (e.g. -DZORVEXA_SANITIZE=ON).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja "$@"
cmake --build "$BUILD_DIR" -j "$(nproc)"
