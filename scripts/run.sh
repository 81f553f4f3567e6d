#!/usr/bin/env bash
# Builds Zorvexa and starts it from build/bin (where config.xml and commands.xml are).
# Without a webcam, the bundled demo session stands in for the camera. Without a display
# (a plain terminal), the demo session is analysed and its strokes are printed instead.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
BUILD_DIR=${BUILD_DIR:-build}
cd "$BUILD_DIR/bin"
if [ -z "${ZORVEXA_CAMERA:-}" ] && ! ls /dev/video* >/dev/null 2>&1; then
  echo "No webcam found: the demo session stands in for the camera."
  export ZORVEXA_CAMERA="$PWD/DemoVideos/demo_session.avi"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: analysing the demo session instead of opening the window."
  exec ./zorvexa-analyze --config config.xml DemoVideos/demo_session.avi
fi
exec ./zorvexa
