#!/usr/bin/env bash
# Stroke latency with the in-memory desktop and with the real X11 backend on a private
# Xvfb display (openbox, and the probe client as the window in front).
# Usage: bench/latency.sh [-n STROKES] [-d :DISPLAY] [BUILD_DIR]
set -u
strokes=500 display=:15
while getopts "n:d:" opt; do
  case $opt in n) strokes=$OPTARG ;; d) display=$OPTARG ;; *) exit 2 ;; esac
done
shift $((OPTIND - 1))
here=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$here/build}/bin
bench=$bin/zorvexa-bench-latency
probe=$bin/platform_x11_probe
[ -x "$bench" ] && [ -x "$probe" ] || { echo "build zorvexa-bench-latency and platform_x11_probe first" >&2; exit 1; }

for chord in one two; do
  env -u DISPLAY "$bench" --desktop fake --strokes "$strokes" --chord "$chord"
done

xvfb_pid= wm_pid= probe_pid=
cleanup() {
  for p in $probe_pid $wm_pid $xvfb_pid; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
}
trap cleanup EXIT
. "$(dirname "$0")/x-session.sh"
startXSession "$display" || exit 1
"$probe" --class ZvLatency --title "latency probe" >/dev/null &
probe_pid=$!
for _ in $(seq 1 100); do
  xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | grep -q '0x[1-9a-f]' && break; sleep 0.1
done
sleep 0.5
for chord in one two; do
  "$bench" --desktop system --strokes "$strokes" --chord "$chord"
done
