# Sourced by the bench scripts: startXSession DISPLAY starts Xvfb (1280x1024) on DISPLAY
# with openbox, exports DISPLAY, and sets xvfb_pid and wm_pid for the caller's cleanup.
# Returns non-zero (with a message) when the server does not come up.
. "$(dirname "${BASH_SOURCE[0]}")/../tests/support/xvfb.sh"
startXSession() {
  startXvfb "$1" || { echo "Xvfb $1 did not start (display in use?)" >&2; return 1; }
  startOpenbox || echo "running without a window manager" >&2
}
