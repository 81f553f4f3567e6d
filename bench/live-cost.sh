#!/usr/bin/env bash
# Live cost of the whole program: runs zorvexa on a private Xvfb display (with openbox) with
# the demo session as its camera, lets it warm up, then measures the CPU time (utime +
# stime) of the process over a window and prints the share of one core, the RSS and thread
# count at both ends of the window and the CPU share of each thread. The program runs as a
# user runs it, without its timing record: reading a thread's CPU clock is a system call,
# about 20 a frame, which on some machines adds 0.1 % of a core by itself. A second run of
# the same length then has the record on (ZORVEXA_TIMING) and prints the per-stage
# breakdown as mean microseconds of CPU time per live frame, and its own CPU share.
#
# Usage: bench/live-cost.sh [-s SECONDS] [-w WARMUP] [-d :DISPLAY] [-r RUNS] [-o SHOTDIR] [-n] [-m] [EXE]
#   SECONDS  measured window (default 40)      WARMUP  seconds before it (default 10)
#   DISPLAY  X display to create (default :15) RUNS    repetitions (default 1)
#   SHOTDIR  screenshots of the screen and the panes at the end of each run
#   -n       no breakdown run
#   -m       with "Mirror image" on (mirrorImage=1 in the settings file)
#   EXE      the program (default build/bin/zorvexa)
set -u
seconds=40 warmup=10 display=:15 runs=1 shots= breakdown=1 mirror=
while getopts "s:w:d:r:o:nm" opt; do
  case $opt in
    s) seconds=$OPTARG ;; w) warmup=$OPTARG ;; d) display=$OPTARG ;;
    r) runs=$OPTARG ;; o) shots=$OPTARG ;; n) breakdown= ;; m) mirror=1 ;; *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
here=$(cd "$(dirname "$0")/.." && pwd)
exe=${1:-$here/build/bin/zorvexa}
bindir=$(cd "$(dirname "$exe")" && pwd)
demo=$bindir/DemoVideos/demo_session.avi
[ -x "$exe" ] || { echo "no program at $exe (build first)" >&2; exit 1; }
[ -f "$demo" ] || { echo "no demo session at $demo (build first)" >&2; exit 1; }
tick=$(getconf CLK_TCK)

root=$(mktemp -d /tmp/zv-live-cost-XXXXXX)
xvfb_pid= wm_pid= app_pid=
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null && sleep 1 && kill -9 "$app_pid" 2>/dev/null
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$root"
}
trap cleanup EXIT

. "$(dirname "$0")/x-session.sh"
startXSession "$display" || exit 1

# A private copy, so the settings file and sessions log land in a fresh folder.
mkdir -p "$root/bin" "$root/work"
cp "$exe" "$root/bin/zorvexa"
cp "$bindir/exercise_log_table_template.html" "$root/bin/" 2>/dev/null
ln -s "$bindir/DemoVideos" "$root/bin/DemoVideos"
cp "$here/data/config.xml" "$root/work/config.xml"

cpuTicks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
statusField() { awk -v k="$2:" '$1 == k {print $2}' "/proc/$1/status"; }
# "TID NAME TICKS" for every thread of the process.
threadTicks() {
  for t in /proc/"$1"/task/*; do
    echo "${t##*/} $(tr ' ' '_' <"$t/comm") $(sed 's/^.*) //' "$t/stat" | awk '{print $12 + $13}')"
  done
}

# One window of the program: `measure RUN TIMED` (TIMED: 1 with the timing record on).
# Leaves c0 c1 t0 t1 rss0 rss1 thr0 thr1 and the threads and timing readings in $root.
measure() {
  local run=$1 timed=$2
  # Each run starts without the settings and sessions log the one before saved beside the
  # program.
  rm -f "$root/timing.txt" "$root/bin/Zorvexa.ini" "$root/bin/sessionslog.html"
  [ -n "$mirror" ] && printf '[OPTIONS]\nmirrorImage=1\n' >"$root/bin/Zorvexa.ini"
  (cd "$root/work" && export ZORVEXA_CAMERA="$demo" &&
     { [ "$timed" = 1 ] && export ZORVEXA_TIMING="$root/timing.txt" || unset ZORVEXA_TIMING; } &&
     exec "$root/bin/zorvexa" >"$root/program.log" 2>&1) &
  app_pid=$!
  sleep "$warmup"
  kill -0 "$app_pid" 2>/dev/null || { echo "zorvexa ended early:"; cat "$root/program.log"; exit 1; }
  c0=$(cpuTicks "$app_pid") t0=$(date +%s.%N)
  rss0=$(statusField "$app_pid" VmRSS) thr0=$(statusField "$app_pid" Threads)
  threadTicks "$app_pid" >"$root/threads0"
  [ "$timed" = 1 ] && cp "$root/timing.txt" "$root/timing0.txt"
  sleep "$seconds"
  c1=$(cpuTicks "$app_pid") t1=$(date +%s.%N)
  rss1=$(statusField "$app_pid" VmRSS) thr1=$(statusField "$app_pid" Threads)
  threadTicks "$app_pid" >"$root/threads1"
  [ "$timed" = 1 ] && cp "$root/timing.txt" "$root/timing1.txt"
  if [ -n "$shots" ] && [ "$timed" = 0 ]; then
    mkdir -p "$shots"
    import -window root "$shots/screen-$run.png" 2>/dev/null
    win=$(xdotool search --onlyvisible --name '^Zorvexa$' | head -1)
    [ -n "$win" ] && import -window "$win" "$shots/main-$run.png" 2>/dev/null
  fi
  kill "$app_pid"
  for _ in $(seq 1 50); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$app_pid" 2>/dev/null
  wait "$app_pid" 2>/dev/null
  app_pid=
}

cpuShare() {
  awk -v c0="$c0" -v c1="$c1" -v t0="$t0" -v t1="$t1" -v hz="$tick" -v what="$1" 'BEGIN {
    printf "  %s: %.2f %% of one core (%.2f s cpu in %.2f s)\n",
      what, 100 * (c1 - c0) / hz / (t1 - t0), (c1 - c0) / hz, t1 - t0 }'
}

for run in $(seq 1 "$runs"); do
  measure "$run" 0
  echo "run $run: ${seconds} s after ${warmup} s warm-up"
  cpuShare cpu
  echo "  rss: ${rss0} kB -> ${rss1} kB; threads: ${thr0} -> ${thr1}"
  echo "  threads (cpu % of one core):"
  awk -v hz="$tick" -v s="$seconds" 'NR == FNR { before[$1] = $3; next }
    { d = $3 - ($1 in before ? before[$1] : 0); if (d > 0) printf "    %-7s %-16s %6.2f\n", $1, $2, 100 * d / hz / s }' \
    "$root/threads0" "$root/threads1"
  [ -n "$breakdown" ] || continue
  measure "$run" 1
  echo "  breakdown, from a second run as long with the timing record on:"
  cpuShare "cpu with the record"
  awk 'NR == FNR { if ($1 == "frames") f0 = $2; else { c0[$2] = $3; n0[$2] = $4 }; next }
    $1 == "frames" { frames = $2 - f0; printf "  frames: %d (%.1f fps)\n", frames, frames / '"$seconds"';
      print "  stage           us/frame   calls/frame"; next }
    { us = ($4 - n0[$2]) / 1000; total += us
      if (frames > 0) printf "    %-13s %9.1f %10.2f\n", $2, us / frames, ($3 - c0[$2]) / frames }
    END { if (frames > 0) printf "    %-13s %9.1f\n", "sum", total / frames }' \
    "$root/timing0.txt" "$root/timing1.txt"
done
