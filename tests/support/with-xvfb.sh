#!/usr/bin/env bash
# Runs a command on a private X server (Xvfb, 1280x1024) with the openbox window manager,
# so the command sees an active window and a stacking list as on a desktop.
# Usage: with-xvfb.sh COMMAND [ARGS...]
set -u
. "$(dirname "$0")/xvfb.sh"
cleanup() {
  [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
}
trap cleanup EXIT
startXvfb || exit 1
startOpenbox || echo "with-xvfb: running without a window manager" >&2
"$@"
