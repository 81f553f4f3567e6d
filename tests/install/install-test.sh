#!/usr/bin/env bash
# `cmake --install` into a fresh prefix: the file list, the menu entries and metadata
# validate, the manual pages render and name every analyzer option, and the installed
# analyzer works on the installed demo session from another folder.
# Usage: install-test.sh BUILD_DIR EXPECTED_FILES [PREFIX_OUT]
# With PREFIX_OUT the prefix is left there for the desktop smoke test.
set -u
build=$1
expected=$2
keep=${3:-}

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

prefix=${keep:-$(mktemp -d /tmp/zv-prefix-XXXXXX)}
[ -n "$keep" ] && rm -rf "$prefix"
work=$(mktemp -d /tmp/zv-elsewhere-XXXXXX)
# cmake --install rewrites the build folder's install_manifest.txt, which lists what a
# user's own install put where (the README uninstalls from it): it is put back afterwards.
manifest="$build/install_manifest.txt"
saved=$(mktemp /tmp/zv-manifest-XXXXXX)
[ -f "$manifest" ] && cp -p "$manifest" "$saved" || rm -f "$saved"
restoreManifest() {
  if [ -f "$saved" ]; then mv "$saved" "$manifest"; else rm -f "$manifest"; fi
}
trap 'restoreManifest; [ -z "$keep" ] && rm -rf "$prefix"; rm -rf "$work"' EXIT

if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log"; echo "FAIL: cmake --install"; exit 1
fi
pass "cmake --install --prefix $prefix"

# The file list, exactly: a missing file and a stray one are both faults.
(cd "$prefix" && find . \( -type f -o -type l \) | sed 's#^\./##' | LC_ALL=C sort) >"$work/files"
if diff -u "$expected" "$work/files" >"$work/files.diff"; then
  pass "installed files ($(wc -l <"$work/files"))"
else
  fail "installed files differ from $expected:"; cat "$work/files.diff"
fi
for exe in zorvexa vintrel osmerak zorvexa-analyze; do
  [ -x "$prefix/bin/$exe" ] || fail "bin/$exe is not executable"
done

for entry in "$prefix"/share/applications/*.desktop; do
  if out=$(desktop-file-validate "$entry" 2>&1) && [ -z "$out" ]; then
    pass "desktop-file-validate $(basename "$entry")"
  else
    fail "desktop-file-validate $(basename "$entry"): $out"
  fi
  # Every entry's program and icon are installed.
  exe=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
  icon=$(sed -n 's/^Icon=//p' "$entry")
  [ -x "$prefix/bin/$exe" ] || fail "$(basename "$entry"): Exec=$exe is not installed"
  [ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] &&
    [ -f "$prefix/share/icons/hicolor/48x48/apps/$icon.png" ] ||
    fail "$(basename "$entry"): icon $icon is not installed"
done
for size in 16 48 256; do
  dims=$(identify -format '%wx%h' "$prefix/share/icons/hicolor/${size}x${size}/apps/zorvexa.png" 2>/dev/null)
  [ "$dims" = "${size}x${size}" ] || fail "zorvexa.png at ${size}x${size} is $dims"
done
for meta in "$prefix"/share/metainfo/*.xml; do
  if out=$(appstreamcli validate --no-net "$meta" 2>&1); then
    pass "appstreamcli validate $(basename "$meta")"
  else
    fail "appstreamcli validate $(basename "$meta"): $out"
  fi
  launchable=$(sed -n 's#.*<launchable type="desktop-id">\(.*\)</launchable>.*#\1#p' "$meta")
  [ -f "$prefix/share/applications/$launchable" ] || fail "metainfo launches $launchable, not installed"
done

for page in "$prefix"/share/man/man1/*.1; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] && pass "man $(basename "$page")" || fail "man $(basename "$page"): $warnings"
done
# The analyzer's page documents every option its --help names.
page=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$prefix/share/man/man1/zorvexa-analyze.1" 2>/dev/null)
for option in $("$prefix/bin/zorvexa-analyze" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
  echo "$page" | grep -q -- "$option" || fail "zorvexa-analyze.1 does not document $option"
done

# The installed analyzer, started from a folder that has nothing of Zorvexa.
demo="$prefix/share/zorvexa/DemoVideos/demo_session.avi"
(cd "$work" && "$prefix/bin/zorvexa-analyze" --quiet "$demo") >"$work/analyze.out" 2>&1
rc=$?
ups=$(sed -n 's/^counted:.* UP=\([0-9]*\).*/\1/p' "$work/analyze.out")
if [ "$rc" = 0 ] && [ "${ups:-0}" -gt 0 ]; then
  pass "installed analyzer on the installed demo session: $(grep '^counted:' "$work/analyze.out")"
else
  fail "installed analyzer (exit $rc):"; tail -5 "$work/analyze.out"
fi
(cd "$work" && "$prefix/bin/zorvexa-analyze" --quiet --config "$prefix/share/zorvexa/config.xml" \
   "$demo") >"$work/dry.out" 2>&1
grep -q -- '-> \[default\]' "$work/dry.out" && pass "dry run with the installed config.xml" ||
  { fail "dry run with the installed config.xml:"; tail -5 "$work/dry.out"; }
[ -z "$(ls -A "$work" | grep -v -e '\.out$' -e '^install.log$' -e '^files')" ] ||
  fail "the analyzer wrote into its working directory: $(ls "$work")"

echo "$failures failure(s)"
[ $failures = 0 ]
