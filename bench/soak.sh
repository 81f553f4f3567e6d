#!/usr/bin/env bash
# Soak run: the live program on the looping demo session under a private Xvfb for a
# number of minutes, sampling its resident memory, thread count and open file descriptors
# once a minute. Prints one table row per sample and, at the end, the growth between the
# first sample and the last (and from minute 5 on, after caches have warmed up).
#
# Usage: bench/soak.sh [MINUTES] [BINDIR]
#   MINUTES  how long to run (default 60)
#   BINDIR   folder with zorvexa, config.xml and DemoVideos/ (default build/bin); copy it
#            elsewhere first when you keep building while the soak runs
# Environment: SOAK_DISPLAY (default :14), SOAK_INTERVAL seconds between samples (60).
set -u
minutes=${1:-60}
bindir=$(cd "${2:-$(dirname "$0")/../build/bin}" && pwd) || exit 2
display=${SOAK_DISPLAY:-:14}
interval=${SOAK_INTERVAL:-60}
demo="$bindir/DemoVideos/demo_session.avi"
[ -x "$bindir/zorvexa" ] || { echo "soak: no $bindir/zorvexa" >&2; exit 2; }
[ -f "$demo" ] || { echo "soak: no $demo" >&2; exit 2; }

work=$(mktemp -d /tmp/zv-soak-XXXXXX)
cleanup() {
  [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null
  [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

. "$(dirname "$0")/x-session.sh"
startXSession "$display" || exit 1

# The program writes its settings and sessions log beside its executable: run a copy.
mkdir -p "$work/bin" "$work/run"
cp "$bindir/zorvexa" "$work/bin/"
cp "$bindir/exercise_log_table_template.html" "$work/bin/" 2>/dev/null
ln -s "$bindir/DemoVideos" "$work/bin/DemoVideos"
cp "$bindir/config.xml" "$work/run/config.xml"
(cd "$work/run" && ZORVEXA_CAMERA="$demo" exec "$work/bin/zorvexa" >"$work/program.log" 2>&1) &
app_pid=$!
sleep 5
kill -0 "$app_pid" 2>/dev/null || { echo "soak: zorvexa ended at start" >&2; cat "$work/program.log"; exit 1; }

sample() { # minute -> prints a row, stores the figures
  local rss threads fds
  rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$app_pid/status")
  threads=$(awk '/^Threads:/ {print $2}' "/proc/$app_pid/status")
  fds=$(ls "/proc/$app_pid/fd" | wc -l)
  printf '%6s %10s %8s %6s\n' "$1" "$rss" "$threads" "$fds"
  rows+=("$1 $rss $threads $fds")
}

echo "soak: $minutes min, pid $app_pid, display $display, $(date -u +%FT%TZ)"
printf '%6s %10s %8s %6s\n' minute rss_kB threads fds
rows=()
sample 0
for minute in $(seq 1 "$minutes"); do
  sleep "$interval"
  if ! kill -0 "$app_pid" 2>/dev/null; then
    echo "soak: zorvexa ended during minute $minute"; cat "$work/program.log"; exit 1
  fi
  sample "$minute"
done

growth() { # from-row to-row label
  read -r m0 r0 t0 f0 <<<"$1"
  read -r m1 r1 t1 f1 <<<"$2"
  printf 'growth minute %s -> %s: rss %+d kB, threads %+d, fds %+d\n' \
    "$m0" "$m1" $((r1 - r0)) $((t1 - t0)) $((f1 - f0))
}
last=${rows[${#rows[@]} - 1]}
growth "${rows[0]}" "$last"
[ "${#rows[@]}" -gt 6 ] && growth "${rows[5]}" "$last"
read -r _ rmin _ _ <<<"$(printf '%s\n' "${rows[@]}" | sort -k2 -n | head -1)"
read -r _ rmax _ _ <<<"$(printf '%s\n' "${rows[@]}" | sort -k2 -n | tail -1)"
echo "rss range: $rmin..$rmax kB"

# Close as a session manager would; the program saves and exits.
kill -TERM "$app_pid"
for _ in $(seq 1 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app_pid" 2>/dev/null; then
  echo "soak: zorvexa still running 10 s after SIGTERM"; kill -9 "$app_pid"; exit 1
fi
wait "$app_pid"
echo "exit code $?"
app_pid=
