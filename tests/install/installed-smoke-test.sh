#!/usr/bin/env bash
# The installed programs on an X display (run under tests/support/with-xvfb.sh), started
# as from the menu: through PATH, from an empty home folder and a folder without any
# configuration. Zorvexa, with the installed demo session as camera, must create the
# user's config.xml in the XDG folder, send strokes to the window in front, pick up an
# edit of that config.xml without the reload command and write nothing into the prefix.
# Each program's window class must be the StartupWMClass of its menu entry.
# Usage: installed-smoke-test.sh PREFIX PROBE_CLIENT [OUTDIR]
set -u
prefix=$(cd "$1" && pwd) || exit 1
probe=$2
out=${3:-}

. "$(dirname "$0")/../support/checks.sh"
wmClassOf() { xprop -id "$1" WM_CLASS | sed -n 's/.*= "[^"]*", "\([^"]*\)"$/\1/p'; }
entryClass() { sed -n 's/^StartupWMClass=//p' "$prefix/share/applications/$1.desktop"; }
# The window class of the first window process $1 maps, within 10 s.
classOfPid() {
  local w
  for _ in $(seq 1 100); do
    w=$(xdotool search --onlyvisible --pid "$1" 2>/dev/null | head -1)
    [ -n "$w" ] && { wmClassOf "$w"; return; }
    sleep 0.1
  done
}

root=$(mktemp -d /tmp/zv-installed-XXXXXX)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$root"' EXIT
export HOME="$root/home"
mkdir -p "$HOME" "$root/elsewhere"
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_DATA_DIRS ZORVEXA_DEBUG
# The desktop's opener is a stand-in that notes what it was asked to open.
mkdir -p "$root/opener"
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >>"%s"\n' "$root/opened.txt" >"$root/opener/xdg-open"
chmod +x "$root/opener/xdg-open"
export PATH="$root/opener:$prefix/bin:$PATH" # the stand-in opener first, also when the prefix is /usr
[ "$(command -v zorvexa)" = "$prefix/bin/zorvexa" ] || fail "zorvexa on PATH is $(command -v zorvexa)"

# Nothing may be written into the prefix: its file list before and after, and a marker
# to find changed files.
listPrefix() {
  find "$prefix/share/zorvexa" -printf '%p %s\n' | sort
  ls -a "$prefix/bin" | grep -i -e zorvexa -e sessionslog -e '\.ini$' -e '\.html$'
}
listPrefix >"$root/before"
touch "$root/marker"

# --- the window in front, then Zorvexa started as from the menu ---------------------------
"$probe" --class Other --title "Another Window" >"$root/probe.log" 2>&1 &
waitFor 50 visible '^Another Window$' || { fail "probe window did not appear"; exit 1; }
other=$(awk '/^ready/ {print $2; exit}' "$root/probe.log")
activate "$other" || { fail "the probe window cannot be made active"; describeDesktop; }

statusFile="$root/status.txt"
(cd "$root/elsewhere" && ZORVEXA_CAMERA="$prefix/share/zorvexa/DemoVideos/demo_session.avi" \
   ZORVEXA_TEST_STATUS_FILE="$statusFile" ZORVEXA_DEBUG=1 exec zorvexa >"$root/program.log" 2>&1) &
pid=$!
if ! waitFor 150 visible '^Zorvexa$'; then
  fail "main window did not appear"; cat "$root/program.log"; exit 1
fi
win=$(visible '^Zorvexa$' | head -1)
pass "zorvexa starts from an empty home folder"
[ "$(wmClassOf "$win")" = "$(entryClass zorvexa)" ] &&
  pass "window class $(wmClassOf "$win") = StartupWMClass" ||
  fail "window class $(wmClassOf "$win"), menu entry says $(entryClass zorvexa)"

config="$HOME/.config/zorvexa/config.xml"
if cmp -s "$config" "$prefix/share/zorvexa/config.xml"; then
  pass "config.xml created in the XDG folder from the shipped one"
else
  fail "no copy of the shipped config.xml at $config"
fi
grep -q "gesture configuration: $config" "$root/program.log" && pass "the file in use is named on stderr" ||
  fail "stderr does not name $config: $(cat "$root/program.log")"

# Waits up to 80 s (two rounds of the demo session) for a key press matching $1 at the
# probe, keeping the probe in front (Zorvexa activates its own window while it starts,
# which may come after ours). On failure it says what the desktop and the program did.
keyArrives() {
  for _ in $(seq 1 800); do
    grep -qE "^key press $1 " "$root/probe.log" && return 0
    activate "$other" 1
    sleep 0.1
  done
  describeDesktop
  echo "  probe: $(tail -3 "$root/probe.log" | tr '\n' ' ')"
  echo "  status bar: $(tail -2 "$statusFile" 2>/dev/null | tr '\n' ' ')"
  return 1
}
if keyArrives '(Up|Down)'; then
  pass "strokes reach the window in front ($(grep -cE '^key press (Up|Down) ' "$root/probe.log") arrow keys)"
else
  fail "no arrow key reached the window in front"; tail -15 "$root/program.log"
fi

# An edit as editors save it: a new file renamed over the old one. The probe's class gets
# an entry of its own whose strokes press "a".
entry='<app name="Probe" windowClass="Other"><mode desc="a"><event name="UP_MOTION" action="WM_KEYDOWN" key="VK_A"/><event name="DOWN_MOTION" action="WM_KEYDOWN" key="VK_A"/></mode><mode desc="a"><event name="UP_MOTION" action="WM_KEYDOWN" key="VK_A"/><event name="DOWN_MOTION" action="WM_KEYDOWN" key="VK_A"/></mode></app>'
sed "s#^</zorvexa>#$entry</zorvexa>#" "$config" >"$config.new" && mv "$config.new" "$config"
if keyArrives a; then
  pass "an edited config.xml takes effect without the reload command"
else
  fail "the edit of config.xml was not picked up"; grep -i -e config -e X11 "$root/program.log"
fi
# A second edit, rewritten in place this time (the same file): "b" instead of "a".
sed 's/VK_A/VK_B/g' "$config" >"$root/edited.xml" && cat "$root/edited.xml" >"$config"
keyArrives b &&
  pass "a second edit (rewritten in place) is picked up too" || fail "the second edit was not picked up"
# File > Edit Gesture Configuration (after View Sessions Log) opens the file in use.
timeout 10 xdotool windowactivate --sync "$win" >/dev/null 2>&1
xdotool key --clearmodifiers alt+f
sleep 0.5
# Opened from the keyboard the menu highlights its first item; the status bar then shows
# the item's tip, which names the file (the screenshot is for a person to look at).
xdotool key Down
sleep 0.5
[ -n "$out" ] && mkdir -p "$out" && import -window root "$out/installed-edit-config-tip.png" 2>/dev/null
xdotool key Return
if waitFor 50 grep -qx "$config" "$root/opened.txt"; then
  pass "Edit Gesture Configuration opens $config"
else
  fail "Edit Gesture Configuration opened '$(cat "$root/opened.txt" 2>/dev/null)'"
fi

# A file that cannot be used: the warning box (titled as the main window) appears.
printf '<zorvexa version="1.0">\n<app windowClass="Other">\n' >"$config"
twoWindows() { [ "$(visible '^Zorvexa$' | wc -l)" -ge 2 ]; }
waitFor 400 twoWindows && pass "a broken edit shows the warning box" || fail "no warning box for a broken edit"
[ -n "$out" ] && mkdir -p "$out" && import -window root "$out/installed-desktop.png" 2>/dev/null

kill -TERM "$pid"
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then fail "zorvexa still runs 10 s after SIGTERM"; kill -9 "$pid"; fi
wait "$pid"; rc=$?
[ "$rc" = 0 ] && pass "exit code 0" || fail "exit code $rc"
[ -f "$HOME/.config/zorvexa/Zorvexa.ini" ] && pass "settings saved in ~/.config/zorvexa" ||
  fail "no settings file in ~/.config/zorvexa"

# --- the two tools: their window classes -----------------------------------------------
(cd "$root/elsewhere" && ZORVEXA_VIDEO_DIR="$root/elsewhere" ZORVEXA_AUTOCLOSE_MS=4000 \
   exec vintrel >"$root/vintrel.log" 2>&1) &
tool=$!
class=$(classOfPid "$tool")
[ "$class" = "$(entryClass vintrel)" ] && pass "vintrel's window class $class = StartupWMClass" ||
  fail "vintrel's window class '$class', menu entry says $(entryClass vintrel)"
wait "$tool"
(cd "$root/elsewhere" && exec osmerak >"$root/osmerak.log" 2>&1) &
tool=$!
class=$(classOfPid "$tool")
[ "$class" = "$(entryClass osmerak)" ] && pass "osmerak's window class $class = StartupWMClass" ||
  fail "osmerak's window class '$class', menu entry says $(entryClass osmerak)"
cmp -s "$HOME/.config/zorvexa/commands.xml" "$prefix/share/zorvexa/commands.xml" &&
  pass "commands.xml created in the XDG folder" || fail "no commands.xml in ~/.config/zorvexa"
kill "$tool" 2>/dev/null; wait "$tool" 2>/dev/null

listPrefix >"$root/after"
changed=$(find "$prefix/bin" "$prefix/share/zorvexa" -newer "$root/marker" 2>/dev/null)
if cmp -s "$root/before" "$root/after" && [ -z "$changed" ]; then
  pass "nothing written into the prefix"
else
  fail "the prefix changed: $(diff "$root/before" "$root/after") $changed"
fi
[ -z "$(ls -A "$root/elsewhere")" ] || fail "files left in the working folder: $(ls -A "$root/elsewhere")"

[ -n "$out" ] && cp "$root/program.log" "$out/installed-program.log" 2>/dev/null
echo "$failures failure(s)"
[ $failures = 0 ]
