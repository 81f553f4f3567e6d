# Shared by the desktop test scripts: pass/fail tallies and bounded waits.
# Source it; the caller reports $failures at its end.
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# Waits up to $1 tenths of a second for the command to succeed.
waitFor() {
  local tenths=$1; shift
  for _ in $(seq 1 "$tenths"); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}
visible() { xdotool search --onlyvisible --name "$1"; }

# Makes window $1 the active one within $2 tenths of a second (default 10 s), asking
# again while it is not: a request can be lost while the window manager is still taking
# the window on, or when another window raises itself.
activate() {
  local win=$1 tenths=${2:-100}
  for _ in $(seq 1 "$tenths"); do
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$win" ] && return 0
    timeout 5 xdotool windowactivate "$win" >/dev/null 2>&1
    sleep 0.1
  done
  [ "$(xdotool getactivewindow 2>/dev/null)" = "$win" ]
}
# What the desktop looks like, for a failure message: the active window and every
# visible window with its class.
describeDesktop() {
  local active w
  active=$(xdotool getactivewindow 2>/dev/null)
  echo "  active window: ${active:-none} $(xprop -root _NET_ACTIVE_WINDOW 2>/dev/null)"
  echo "  window manager: $(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null); openbox processes: $(pgrep -c openbox)"
  for w in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
    echo "  window $w \"$(xdotool getwindowname "$w" 2>/dev/null)\" $(xprop -id "$w" WM_CLASS 2>/dev/null | sed 's/.*= //')"
  done
}
