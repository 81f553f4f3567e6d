#!/usr/bin/env bash
# Runs a command on a private X server (Xvfb, 1280x1024) with the openbox window manager,
# so the command sees an active window and a stacking list as on a desktop.
# Usage: with-xvfb.sh COMMAND [ARGS...]
set -u
fdfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" 2>/dev/null &
xvfb_pid=$!
cleanup() {
  [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -f "$fdfile"
}
trap cleanup EXIT
for _ in $(seq 1 100); do
  [ -s "$fdfile" ] && break
  sleep 0.05
done
display=$(head -n1 "$fdfile")
if [ -z "$display" ]; then
  echo "with-xvfb: Xvfb did not start" >&2
  exit 1
fi
export DISPLAY=":$display"
for _ in $(seq 1 100); do
  xdpyinfo >/dev/null 2>&1 && break
  sleep 0.05
done
openbox --sm-disable >/dev/null 2>&1 &
wm_pid=$!
# Under load openbox can take a while; give it up to 20 s.
for _ in $(seq 1 400); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done
# openbox announces itself before it has finished starting; a window mapped in between
# is never managed (about one run in five). _OB_THEME is the last property it sets.
# Under load openbox can take a while; give it up to 20 s.
for _ in $(seq 1 400); do
  xprop -root _OB_THEME 2>/dev/null | grep -q '=' && break
  sleep 0.05
done
xprop -root _OB_THEME 2>/dev/null | grep -q '=' ||
  echo "with-xvfb: openbox has not finished starting after 20 s; running without it" >&2
"$@"
