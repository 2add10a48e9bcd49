#!/usr/bin/env bash
# Builds the XML fuzz target with clang, AddressSanitizer and UndefinedBehaviorSanitizer in a build
# folder of its own and runs it for the given number of seconds. New inputs that the fuzzer finds go
# to a working corpus in the build folder; the seeds in tests/data/xml/corpus are only read.
# Usage: scripts/fuzz-xml.sh <seconds> [build-folder]   (default: build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:?usage: scripts/fuzz-xml.sh <seconds> [build-folder]}
build=${2:-build-fuzz}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DTL_FUZZ=ON -DTL_SANITIZE=ON -DTL_BUILD_GUI=OFF -DTL_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --target tl_xml_fuzzer

corpus="$build/xml-corpus"
mkdir -p "$corpus"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
"$build/tests/xml/tl_xml_fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$build/" "$corpus" tests/data/xml/corpus
