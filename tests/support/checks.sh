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
