# Starts a private Xvfb (1280x1024) on a display number of its own; source it, then call
# startXvfb. Sets xvfb_pid and exports DISPLAY; returns 1 when no server could be started.
# ZV_XVFB_ARGS: more arguments for the server (e.g. "-extension XTEST" to leave one out).
#
# The display is named explicitly, from 100 up, rather than chosen by Xvfb -displayfd:
# with -displayfd Xvfb takes no lock file, while other X servers (the XWayland of a sway
# test running at the same time) pick their number by lock files alone and may take the
# same one. With an explicit number Xvfb takes the lock, and a locked number is skipped.
# -noreset: by default Xvfb resets itself when its last client leaves, and a client that
# connects meanwhile (the window manager, just after the readiness check) is refused.
startXvfb() {
  local n tries lock
  n=$((100 + RANDOM % 400))
  for tries in $(seq 1 30); do
    n=$((n + 1))
    lock=/tmp/.X$n-lock
    [ -e "$lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset ${ZV_XVFB_ARGS:-} 2>/dev/null &
    xvfb_pid=$!
    # Ready once it answers and the lock of that number is its own (another server that
    # won the number answers too, while this one exits).
    for _ in $(seq 1 200); do
      kill -0 "$xvfb_pid" 2>/dev/null || break
      if [ "$(tr -d ' \n' 2>/dev/null <"$lock")" = "$xvfb_pid" ] &&
        DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
        export DISPLAY=":$n"
        return 0
      fi
      sleep 0.05
    done
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=
  done
  echo "xvfb: no X server could be started (tried $tries display numbers)" >&2
  return 1
}
