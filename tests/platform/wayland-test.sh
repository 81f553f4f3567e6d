#!/usr/bin/env bash
# The Wayland backend under headless sway with no X server: two native probe clients,
# the backend's own tests, then zorvexa-analyze playing the demo session into the probe
# chosen by its app_id, and the key tests again with a Russian layout first.
# sway refuses to run as root: as root (CI's throwaway machines) an unprivileged user
# zvwayland is created when missing. Exits 77 (skipped) when sway is not installed.
# Usage: wayland-test.sh BIN_DIR WAYLAND_TESTS PROBE_CLIENT
set -u
bin=$1
tests=$2
probe=$3
command -v sway >/dev/null || { echo "sway is not installed: skipped"; exit 77; }

as_user=()
if [ "$(id -u)" -eq 0 ]; then
  # Another run may create it at the same moment.
  id zvwayland >/dev/null 2>&1 || useradd -m -s /bin/sh zvwayland 2>/dev/null || id zvwayland >/dev/null || exit 1
  as_user=(runuser -u zvwayland --)
fi
work=$(mktemp -d /tmp/zv-wayland.XXXXXX)
chmod 0755 "$work"
runtime="$work/runtime"
mkdir -m 0700 "$runtime"
[ "$(id -u)" -eq 0 ] && chown zvwayland "$runtime" "$work"
pids=()
sway_pids=() # the compositors themselves: runuser does not pass a kill on
owner=$(id -un)
[ ${#as_user[@]} -gt 0 ] && owner=zvwayland
# Every process of this run's session (sway, Xwayland, the clients, Osmerak), told
# apart by the runtime folder in its environment.
session_pids() {
  for p in $(pgrep -u "$owner"); do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "XDG_RUNTIME_DIR=$runtime" && echo "$p"
  done
}
cleanup() {
  for p in "${sway_pids[@]}" "${pids[@]}"; do kill "$p" 2>/dev/null; done
  sleep 0.5
  for p in $(session_pids); do kill "$p" 2>/dev/null; done
  for _ in $(seq 1 40); do [ -z "$(session_pids)" ] && break; sleep 0.05; done
  for p in $(session_pids); do kill -9 "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; for f in "$work"/*.log; do echo "--- $f"; tail -n 40 "$f"; done; exit 1; }

cat >"$work/sway.cfg" <<'CFG'
output HEADLESS-1 resolution 1280x1024
default_border none
xwayland disable
CFG
run() {
  local session=()
  [ -n "${socket:-}" ] && session=(WAYLAND_DISPLAY="$socket" SWAYSOCK="$ipc")
  # The sanitizers' settings (suppressions) go along into the clean environment.
  for v in LSAN_OPTIONS ASAN_OPTIONS UBSAN_OPTIONS TSAN_OPTIONS; do
    [ -n "${!v:-}" ] && session+=("$v=${!v}")
  done
  "${as_user[@]}" env -i PATH="$PATH" HOME="$work" XDG_RUNTIME_DIR="$runtime" "${session[@]}" \
    ZV_PROBE_LOG_A="$work/probe-a.log" ZV_PROBE_LOG_B="$work/probe-b.log" "$@"
}
start_sway() {
  run env WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$work/sway.cfg" >>"$work/sway.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 1 200); do
    found=$(cd "$runtime" && ls wayland-* 2>/dev/null | grep -v lock | head -n 1)
    ipc=$(ls "$runtime"/sway-ipc.*.sock 2>/dev/null | head -n 1)
    [ -n "$found" ] && [ -n "$ipc" ] && { socket=$found; break; }
    sleep 0.05
  done
  [ -n "$socket" ] || fail "sway did not start"
  local name=${ipc%.sock}
  sway_pids+=("${name##*.}") # sway-ipc.UID.PID.sock
}
socket=
start_sway

start_probe() { # APP_ID TITLE LOG
  run "$probe" --app-id "$1" --title "$2" >"$3" 2>&1 &
  pids+=($!)
  for _ in $(seq 1 200); do grep -q '^ready' "$3" && return 0; sleep 0.05; done
  fail "probe $1 did not start"
}
start_probe zorvexa-probe-a "Probe A" "$work/probe-a.log"
start_probe zorvexa-probe-b "Probe B" "$work/probe-b.log"

run "$tests" --gtest_filter='-WaylandDesktopGone.*:WaylandFirstKey.*' || fail "the Wayland backend tests failed"

# The demo session for real, into probe a chosen by its app_id: UP presses Up, DOWN
# presses Ctrl+End; the default entry sends nothing, so a wrong foreground class shows.
cat >"$work/config.xml" <<'XML'
<zorvexa version="1.0">
  <app name="Any window" windowClass="default">
    <mode desc="nothing"/>
  </app>
  <app name="Probe" windowClass="zorvexa-probe-a">
    <mode desc="keys">
      <event name="UP_MOTION" action="WM_KEYDOWN" key="VK_UP" retriggrable="false" debounce="10"/>
      <event name="DOWN_MOTION" action="WM_KEYDOWN" key="VK_END" extKey="VK_CONTROL" retriggrable="false" debounce="10"/>
    </mode>
  </app>
</zorvexa>
XML
run swaymsg '[app_id="zorvexa-probe-a"] focus' >/dev/null || fail "swaymsg focus failed"
mark=$(wc -l <"$work/probe-a.log")
run "$bin/zorvexa-analyze" --quiet --config "$work/config.xml" --dispatch \
  "$bin/DemoVideos/demo_session.avi" >"$work/analyze.log" 2>"$work/analyze-err.log" \
  || fail "zorvexa-analyze exited with $?"
grep -q '^desktop: wayland' "$work/analyze-err.log" || fail "the Wayland backend was not chosen"
sleep 0.5
tail -n +"$((mark + 1))" "$work/probe-a.log" | grep '^key press' >"$work/arrived.txt"
# What the analyzer dispatched, in order, as the probe names the keys.
grep -o 'WM_KEYDOWN VK_[A-Z_+]*' "$work/analyze.log" | sed 's/.* //' | while read -r keys; do
  case $keys in
    VK_UP) printf 'key press Up\n' ;;
    VK_CONTROL+VK_END) printf 'key press Control_L\nkey press End Control\n' ;;
    *) printf 'unexpected %s\n' "$keys" ;;
  esac
done >"$work/expected.txt"
[ -s "$work/expected.txt" ] || { cat "$work/analyze.log"; fail "the analyzer dispatched nothing"; }
diff "$work/expected.txt" "$work/arrived.txt" >/dev/null || {
  diff "$work/expected.txt" "$work/arrived.txt"; fail "the keys that arrived differ"; }
echo "analyzer: $(wc -l <"$work/expected.txt") key presses arrived in order"

# foot, a terminal that writes what it is typed to a file, loses the first key sent
# before it has taken the new keymap in: the backend waits for that when it opens.
if command -v foot >/dev/null; then
  run env LANG=C.UTF-8 foot -a zorvexa-foot sh -c "stty -icanon -echo; cat > '$work/foot-typed'" \
    >"$work/foot.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 1 200); do [ -e "$work/foot-typed" ] && break; sleep 0.05; done
  [ -e "$work/foot-typed" ] || fail "foot did not start"
  run env ZV_FOOT_TYPED="$work/foot-typed" "$tests" --gtest_filter='WaylandFirstKey.*' \
    || fail "the first key after the keymap upload was lost"
else
  echo "foot is not installed: the first-key test is skipped"
fi

# A Russian layout first in the session's keyboard configuration: our keys still arrive
# as named (sway keeps the keymap a virtual keyboard brings; the test with a Russian
# keyboard on the seat covers the user's own layout).
run swaymsg 'input type:keyboard xkb_layout "ru,us"' >/dev/null || fail "swaymsg input failed"
run "$tests" --gtest_filter='*KeysAndChords*' || fail "keys differ with a Russian layout first"

# The compositor quits under an open backend.
run "$tests" --gtest_filter='WaylandDesktopGone.*' || fail "the backend did not survive the compositor"
wait "${pids[0]}" 2>/dev/null

# Osmerak's task list on sway, its Qt window through XWayland (a sway of its own, with
# XWayland this time): probe b in front, probe a behind; the list switches to probe a.
if command -v Xwayland >/dev/null; then
  sed -i '/^xwayland disable$/d' "$work/sway.cfg"
  rm -f "$runtime"/wayland-* "$runtime"/sway-ipc.*
  socket=
  start_sway
  : >"$work/probe-a.log"
  : >"$work/probe-b.log"
  start_probe zorvexa-probe-a "Probe A" "$work/probe-a.log"
  start_probe zorvexa-probe-b "Probe B" "$work/probe-b.log"
  mkdir -p "$work/osmerak"
  cat >"$work/osmerak/commands.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<commands>
  <window name="Other" windowClass="OtherApp">
    <command shortcut="F5" description="Reload" key="VK_F5"/>
  </window>
</commands>
XML
  run swaymsg "exec cd '$work/osmerak' && exec '$bin/osmerak' >'$work/osmerak.log' 2>&1" \
    >/dev/null || fail "swaymsg exec failed"
  run env ZV_OSMERAK=1 "$tests" --gtest_filter='WaylandOsmerak.*' || fail "Osmerak's task list failed"
else
  echo "Xwayland is not installed: the Osmerak test is skipped"
fi
echo "PASS"
