#!/usr/bin/env bash
# Builds the config.xml loader fuzzer with clang in its own folder and runs it for a
# bounded number of inputs. Usage: run-fuzzer.sh SOURCE_DIR BUILD_DIR [RUNS]
set -euo pipefail
src=$1
build=$2
runs=${3:-200000}
command -v clang++ >/dev/null || { echo "clang++ not installed: fuzzer skipped"; exit 77; }
cmake -S "$src/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$src"/fuzz/corpus/config/* "$work/"
# -detect_leaks=1 is the default with AddressSanitizer: a leak fails the run.
"$build/zorvexa-fuzz-config" -runs="$runs" -max_len=4096 -dict="$src/fuzz/config.dict" "$work" 2>&1 | tail -n 5
