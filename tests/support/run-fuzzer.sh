#!/usr/bin/env bash
# Builds one libFuzzer target with clang in its own folder and runs it for a bounded
# number of inputs, from its seed corpus. A crash, a leak, an input that runs longer than
# 25 s or a failed check fails the run.
# Usage: run-fuzzer.sh SOURCE_DIR BUILD_DIR [RUNS] [NAME]
#   NAME: config (default), commands, ini, numbers or dispatch: the target zorvexa-fuzz-NAME
#   with the seeds in fuzz/corpus/NAME
set -euo pipefail
src=$1
build=$2
runs=${3:-200000}
name=${4:-config}
command -v clang++ >/dev/null || { echo "clang++ not installed: fuzzer skipped"; exit 77; }
cmake -S "$src/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target "zorvexa-fuzz-$name" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$src/fuzz/corpus/$name"/* "$work/"
dict=()
case $name in config | commands | dispatch) dict=(-dict="$src/fuzz/config.dict") ;; esac
# -detect_leaks=1 is the default with AddressSanitizer: a leak fails the run.
"$build/zorvexa-fuzz-$name" -runs="$runs" -max_len=4096 -timeout=25 "${dict[@]}" "$work" 2>&1 | tail -n 5
