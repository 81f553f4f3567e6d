# Sourced by the bench scripts: startXSession DISPLAY starts Xvfb (1280x1024) on DISPLAY
# with openbox, exports DISPLAY, and sets xvfb_pid and wm_pid for the caller's cleanup.
# Returns non-zero (with a message) when the server does not come up.
startXSession() {
  # -noreset: a server that resets when its last client leaves refuses the window manager
  # when it connects just after the check.
  Xvfb "$1" -screen 0 1280x1024x24 -nolisten tcp -noreset 2>/dev/null &
  xvfb_pid=$!
  export DISPLAY=$1
  for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  xdpyinfo >/dev/null 2>&1 || { echo "Xvfb $1 did not start (display in use?)" >&2; return 1; }
  openbox --sm-disable >/dev/null 2>&1 &
  wm_pid=$!
  # _OB_THEME is the last property openbox sets once it has started.
  for _ in $(seq 1 200); do xprop -root _OB_THEME 2>/dev/null | grep -q '=' && break; sleep 0.1; done
}
