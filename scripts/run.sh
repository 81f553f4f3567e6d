#!/usr/bin/env bash
# Builds Zorvexa and runs it. Without a webcam it analyses the bundled demo session.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
BUILD_DIR=${BUILD_DIR:-build}
BIN="$BUILD_DIR/bin"
exec "$BIN/zorvexa-analyze" "$BIN/DemoVideos/demo_session.avi"
