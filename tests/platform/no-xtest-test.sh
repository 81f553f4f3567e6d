#!/usr/bin/env bash
# An X server without the XTest extension (run under tests/support/with-xvfb.sh with
# ZV_XVFB_ARGS="-extension XTEST"): the X11 backend is still chosen, for the window in
# front, and says that it sends no input and what would.
# Usage: no-xtest-test.sh ZORVEXA_ANALYZE CONFIG_XML
set -u
analyze=$1
config=$2
work=$(mktemp -d /tmp/zv-noxtest-XXXXXX)
trap 'rm -rf "$work"' EXIT
if xdpyinfo | grep -q XTEST; then echo "FAIL: the server has XTest"; exit 1; fi
ffmpeg -loglevel error -f lavfi -i testsrc=size=160x120:rate=30 -t 1 -c:v mjpeg "$work/clip.avi" ||
  exit 77
"$analyze" --quiet --config "$config" --dispatch "$work/clip.avi" >"$work/out" 2>"$work/err" || {
  cat "$work/err"; echo "FAIL: zorvexa-analyze exited with $?"; exit 1; }
if grep -q '^desktop: x11$' "$work/err" && grep -q 'no XTest extension.*ZORVEXA_DESKTOP=uinput' "$work/err"; then
  echo "ok: $(grep 'XTest' "$work/err")"
else
  cat "$work/err"; echo "FAIL: the missing XTest is not told"; exit 1
fi
