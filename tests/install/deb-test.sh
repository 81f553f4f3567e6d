#!/usr/bin/env bash
# The Debian package on a throwaway machine (CI, as root): builds it with CPack, checks its
# contents and dependencies with dpkg-deb, installs it with apt, runs the installed
# programs' tests against /usr and removes it again. The package is removed on every way
# out, a failed step included; a zorvexa package installed before is left alone (the
# test refuses to run).
# Usage: deb-test.sh [BUILD_DIR]
set -u
cd "$(dirname "$0")/../.."
build=${1:-build}
here=tests/install

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
installed() { dpkg-query -W -f='${Status}' zorvexa 2>/dev/null | grep -q "install ok installed"; }

if [ "$(id -u)" -ne 0 ]; then echo "deb-test: needs root (it installs a package)"; exit 77; fi
if installed; then echo "deb-test: a zorvexa package is installed already; not touching it"; exit 1; fi

rm -rf "$build/package"
cpack --config "$build/CPackConfig.cmake" >"$build/cpack.log" 2>&1 || { cat "$build/cpack.log"; exit 1; }
deb=$(ls "$build"/package/zorvexa_*_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || { echo "FAIL: no .deb made"; exit 1; }
version=$(sed -n 's/^project(Zorvexa VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ "$(basename "$deb")" = "zorvexa_${version}_$(dpkg --print-architecture).deb" ] &&
  pass "package $(basename "$deb")" || fail "package name $(basename "$deb")"

# Contents: the install's file list under /usr, nothing else.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's#^\./usr/##' | LC_ALL=C sort >"$build/deb-files"
diff -u "$here/expected-files.txt" "$build/deb-files" && pass "package contents" ||
  fail "package contents differ from expected-files.txt"
dpkg-deb -c "$deb" | awk '$6 ~ /^\.\/usr\/bin\/./ && $1 != "-rwxr-xr-x" { print }' | grep . &&
  fail "programs without mode 755"
# Fields and dependencies: libraries from the binaries, the X11 plugin named by hand.
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libopencv-contrib406 libopencv-videoio406 libqt6widgets6 libqt6svg6 libpugixml1v5 \
           libx11-6 libxtst6 qt6-qpa-plugins; do
  echo "$depends" | grep -qE "(^|, )$dep( |,|$)" || fail "Depends lacks $dep: $depends"
done
pass "Depends: $depends"
[ "$(dpkg-deb -f "$deb" Section)" = x11 ] || fail "Section $(dpkg-deb -f "$deb" Section)"
dpkg-deb -f "$deb" Description | sed -n 2p | grep -q . || fail "no long description"

# Install; from here on the package goes again whatever happens.
cleanup() {
  if installed; then
    DEBIAN_FRONTEND=noninteractive apt-get remove -y --purge zorvexa >>"$build/deb-apt.log" 2>&1 ||
      dpkg --purge zorvexa >>"$build/deb-apt.log" 2>&1
  fi
  installed && echo "FAIL: zorvexa is still installed"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP # a signal ends the script through the EXIT trap too
if ! DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "./$deb" \
     >"$build/deb-apt.log" 2>&1; then
  tail -20 "$build/deb-apt.log"; echo "FAIL: apt-get install ./$deb"; exit 1
fi
pass "apt-get install ./$(basename "$deb")"
# The folders' own triggers register the menu entries, icons and manual pages.
for owner in desktop-file-utils hicolor-icon-theme man-db; do
  if dpkg-query -W -f='${Status}' "$owner" 2>/dev/null | grep -q "install ok installed"; then
    grep -q "Processing triggers for $owner" "$build/deb-apt.log" && pass "$owner trigger ran" ||
      fail "no $owner trigger"
  fi
done
# Minimal images tell dpkg to leave manual pages out; then there is nothing to find.
if grep -qs '^path-exclude.*/usr/share/man' /etc/dpkg/dpkg.cfg.d/*; then
  echo "note: dpkg excludes /usr/share/man here; manual pages not checked"
else
  man -w zorvexa-analyze >/dev/null 2>&1 && pass "man zorvexa-analyze finds the page" ||
    fail "man zorvexa-analyze finds no page"
fi
(cd /tmp && zorvexa-analyze --quiet /usr/share/zorvexa/DemoVideos/demo_session.avi) |
  grep -q '^counted: UP=[1-9]' && pass "zorvexa-analyze from PATH" || fail "zorvexa-analyze from PATH"

# A desktop test on a shared machine gets one more try, as in the suite; the first
# try's output stays in the log.
smoke() {
  tests/support/with-xvfb.sh "$here/installed-smoke-test.sh" /usr "$build/bin/platform_x11_probe" \
    "$build/test-output/deb"
}
if ! smoke; then
  echo "note: the installed smoke test failed; trying once more"
  smoke || fail "installed smoke test of the package"
fi

DEBIAN_FRONTEND=noninteractive apt-get remove -y --purge zorvexa >>"$build/deb-apt.log" 2>&1
if installed || [ -e /usr/bin/zorvexa ] || [ -e /usr/share/zorvexa ]; then
  fail "the package did not go cleanly"
else
  pass "apt-get remove --purge zorvexa"
fi
echo "$failures failure(s)"
[ $failures = 0 ]
