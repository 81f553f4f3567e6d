#!/usr/bin/env bash
# The code that decides behaviour stays free of Qt and Xlib, so it builds and is
# tested with no display.
set -u
root=${1:-.}
status=0
for dir in common main/motion main/control commandtool/store commandtool/controller main/shell/app webcamtool/core; do
  [ -d "$root/$dir" ] || continue
  hits=$(grep -rnE '#\s*include\s*[<"](Q[A-Za-z]+|Qt[A-Za-z]*/|X11/)' "$root/$dir" --include='*.h' --include='*.cpp' || true)
  if [ -n "$hits" ]; then
    echo "$dir must not include Qt or Xlib headers:"
    echo "$hits"
    status=1
  fi
done
[ $status -eq 0 ] && echo "layering ok"
exit $status
