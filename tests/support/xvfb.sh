# A private X server with a window manager; source it, then call startXvfb and, for a
# desktop, startOpenbox. Used by the desktop tests and the bench scripts.
#
# startXvfb [:N] starts Xvfb (1280x1024) on display N, or on a free number from 100 up.
# Sets xvfb_pid and exports DISPLAY; returns 1 when no server could be started.
# ZV_XVFB_ARGS: more arguments for the server (e.g. "-extension XTEST" to leave one out).
#
# The display is named explicitly rather than chosen by Xvfb -displayfd: with -displayfd
# Xvfb takes no lock file, while other X servers (the XWayland of a sway test running at
# the same time) pick their number by lock files alone and may take the same one. With an
# explicit number Xvfb takes the lock, and a locked number is skipped.
# -noreset: by default Xvfb resets itself when its last client leaves, and a client that
# connects meanwhile (the window manager, just after the readiness check) is refused.
startXvfb() {
  local n tries=30 lock
  if [ $# -gt 0 ]; then
    n=$((${1#:} - 1)) tries=1
  else
    n=$((100 + RANDOM % 400))
  fi
  for _ in $(seq 1 "$tries"); do
    n=$((n + 1))
    lock=/tmp/.X$n-lock
    [ "$tries" -gt 1 ] && [ -e "$lock" ] && continue # a number asked for is up to Xvfb
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
  echo "xvfb: no X server could be started (tried $tries display number(s) up to :$n)" >&2
  return 1
}

# startOpenbox starts openbox on $DISPLAY and waits until it has finished starting. Sets
# wm_pid; returns 1, with openbox's output on stderr, when it has not.
# openbox announces itself (_NET_SUPPORTING_WM_CHECK) before it has finished starting; a
# window mapped in between is never managed. _OB_THEME is the last property it sets.
# Under load it can take a while: up to 20 s, and a second start if it has ended.
startOpenbox() {
  local log attempt
  log=$(mktemp)
  wmReady() { xprop -root _OB_THEME 2>/dev/null | grep -q '='; }
  for attempt in 1 2; do
    openbox --sm-disable >>"$log" 2>&1 &
    wm_pid=$!
    for _ in $(seq 1 400); do
      wmReady && break
      kill -0 "$wm_pid" 2>/dev/null || break
      sleep 0.05
    done
    wmReady && break
    if kill -0 "$wm_pid" 2>/dev/null; then
      echo "xvfb: openbox has not finished starting after 20 s" >&2
      break
    fi
    echo "xvfb: openbox ended while starting (try $attempt of 2)" >&2
    wm_pid=
  done
  wmReady || sed 's/^/xvfb: openbox: /' "$log" >&2
  rm -f "$log"
  wmReady
}
