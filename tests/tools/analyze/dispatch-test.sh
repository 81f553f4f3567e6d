#!/usr/bin/env bash
# The analyzer, given the shipped config.xml, turns the demo session's strokes into keys:
# first as a dry run, then for real into an X client that claims to be the browser.
# Run under tests/support/with-xvfb.sh. Usage: dispatch-test.sh BIN_DIR PROBE_CLIENT CONFIG_XML
set -u
bin=$1
probe=$2
demo="$bin/DemoVideos/demo_session.avi"
config=${3:-$bin/config.xml}
work=$(mktemp -d)
trap 'kill $probe_pid 2>/dev/null; rm -rf "$work"' EXIT
. "$(dirname "$0")/../../support/checks.sh"
fail() { echo "FAIL: $*"; exit 1; } # this script stops at its first failure

# Dry run: what the browser entry does, without sending anything.
"$bin/zorvexa-analyze" --quiet --config "$config" --window-class firefox-esr "$demo" >"$work/dry.txt" \
  || fail "dry run exited with $?"
grep -q '^frame [0-9]*: UP -> \[firefox-esr\] keys VK_UP' "$work/dry.txt" || { cat "$work/dry.txt"; fail "UP did not press Up"; }
grep -q '^frame [0-9]*: DOWN -> \[firefox-esr\] keys VK_DOWN' "$work/dry.txt" || { cat "$work/dry.txt"; fail "DOWN did not press Down"; }
grep -q '^counted: UP=2 ' "$work/dry.txt" || fail "strokes were not counted"
echo "dry run:"; grep -- '->' "$work/dry.txt"

# For real: a window of class firefox-esr in front receives the keys.
"$probe" --class firefox-esr --title "Browser" >"$work/probe.log" &
probe_pid=$!
for _ in $(seq 1 200); do grep -q '^ready' "$work/probe.log" && break; sleep 0.05; done
win=$(awk '/^ready/ {print $2; exit}' "$work/probe.log")
[ -n "$win" ] || fail "the test client did not start"
activate "$win" || { describeDesktop; fail "the test client could not be made the active window"; }
"$bin/zorvexa-analyze" --quiet --config "$config" --dispatch "$demo" >"$work/live.txt" \
  || fail "dispatching exited with $?"
sleep 0.5
ups=$(grep -c '^key press Up ' "$work/probe.log")
downs=$(grep -c '^key press Down ' "$work/probe.log")
others=$(grep '^key press' "$work/probe.log" | grep -vc -e ' Up ' -e ' Down ')
echo "the browser window received $ups Up and $downs Down presses, $others other keys"
[ "$ups" -ge 6 ] || fail "expected at least 6 Up presses"
[ "$downs" -ge 6 ] || fail "expected at least 6 Down presses"
[ "$others" -eq 0 ] || fail "unexpected keys arrived"
echo "PASS"
