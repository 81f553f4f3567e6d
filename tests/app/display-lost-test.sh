#!/usr/bin/env bash
# The X server goes away under a running Zorvexa (a logout): the program ends without a
# crash and has written its settings file first. Starts an X server of its own, since
# the test kills it.
# Usage: display-lost-test.sh ZORVEXA
set -u
exe=$1
bindir=$(cd "$(dirname "$exe")" && pwd)
root=$(mktemp -d /tmp/zv-lost-XXXXXX)
cleanup() {
  [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$root"
}
trap cleanup EXIT
mkdir -p "$root/bin" "$root/work"
cp "$exe" "$root/bin/zorvexa"
cp "$bindir/exercise_log_table_template.html" "$root/bin/" 2>/dev/null
cp "$bindir/config.xml" "$root/work/config.xml" 2>/dev/null
ffmpeg -loglevel error -f lavfi -i testsrc=size=320x240:rate=15 -t 30 -c:v mjpeg "$root/pattern.avi" || exit 77

. "$(dirname "$0")/../support/xvfb.sh"
startXvfb || exit 1
(cd "$root/work" && ZORVEXA_CAMERA="$root/pattern.avi" exec "$root/bin/zorvexa" >"$root/log" 2>&1) &
app_pid=$!
started=0
for _ in $(seq 1 200); do
  xdotool search --onlyvisible --name '^Zorvexa$' >/dev/null 2>&1 && { started=1; break; }
  sleep 0.1
done
[ "$started" -eq 1 ] || { echo "FAIL: the main window did not appear"; cat "$root/log"; exit 1; }
sleep 1
[ -e "$root/bin/Zorvexa.ini" ] && { echo "FAIL: the settings file exists before the end"; exit 1; }
kill "$xvfb_pid"
wait "$xvfb_pid" 2>/dev/null
xvfb_pid=
status=0
for _ in $(seq 1 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
wait "$app_pid"
status=$?
app_pid=
failures=0
if [ "$status" -ge 128 ]; then
  echo "FAIL: Zorvexa ended by signal $((status - 128))"; failures=1
fi
if [ -s "$root/bin/Zorvexa.ini" ]; then
  echo "ok: the settings file was written before the end"
else
  echo "FAIL: no settings file"; failures=1
fi
[ "$failures" -eq 0 ] || cat "$root/log"
exit "$failures"
