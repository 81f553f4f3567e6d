#!/usr/bin/env bash
# Runs a command on a private X server (Xvfb, 1280x1024) with the openbox window manager,
# so the command sees an active window and a stacking list as on a desktop.
# Usage: with-xvfb.sh COMMAND [ARGS...]
set -u
. "$(dirname "$0")/xvfb.sh"
wmlog=$(mktemp)
cleanup() {
  [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -f "$wmlog"
}
trap cleanup EXIT
startXvfb || exit 1

# openbox announces itself (_NET_SUPPORTING_WM_CHECK) before it has finished starting; a
# window mapped in between is never managed. _OB_THEME is the last property it sets.
# Under load it can take a while: up to 20 s, and a second start if it has ended.
wmReady() { xprop -root _OB_THEME 2>/dev/null | grep -q '='; }
for attempt in 1 2; do
  openbox --sm-disable >>"$wmlog" 2>&1 &
  wm_pid=$!
  for _ in $(seq 1 400); do
    wmReady && break
    kill -0 "$wm_pid" 2>/dev/null || break
    sleep 0.05
  done
  wmReady && break
  if kill -0 "$wm_pid" 2>/dev/null; then
    echo "with-xvfb: openbox has not finished starting after 20 s; running without it" >&2
    break
  fi
  echo "with-xvfb: openbox ended while starting (try $attempt of 2)" >&2
  wm_pid=
done
wmReady || sed 's/^/with-xvfb: openbox: /' "$wmlog" >&2
"$@"
