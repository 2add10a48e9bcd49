#!/usr/bin/env bash
# Installs dependencies, configures, builds from nothing (warnings are errors) and runs every test;
# then builds the Debian package from that build, installs it, runs it and removes it again; then
# builds the whole suite again with AddressSanitizer and UndefinedBehaviorSanitizer in a second
# build folder and runs it (GUI tests included, offscreen). Any sanitizer report, from a test or
# from a program a test starts, fails the run.
# Usage: scripts/test.sh [build-folder]   (default: build-ci; the sanitizer build is <folder>-sanitize)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=${1:-build-ci}
sanitize="$build-sanitize"
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

# ccache makes a rebuild of unchanged sources nearly free; a cold cache costs a few per cent.
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

# Line tables are all the debug information a failing test's backtrace needs, and they compile in
# about 60 per cent of the time that full debug information takes.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTL_WERROR=ON "${launcher[@]}" \
    "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG"
cmake --build "$build" --parallel "$jobs"
ctest --test-dir "$build" --output-on-failure --parallel "$jobs" --timeout 300

# The package, from the build just tested: it installs, its commands answer, it goes away whole.
scripts/package.sh "$build"
sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
$sudo dpkg -i "$build"/package/tallymar-setup_*.deb >/dev/null
trap '$sudo dpkg --purge tallymar-setup >/dev/null' EXIT
/usr/bin/tlinstall --help >/dev/null
/usr/bin/tlpublish --help >/dev/null
/usr/bin/tlserve --help >/dev/null
trap - EXIT
$sudo dpkg --purge tallymar-setup >/dev/null
! dpkg-query -W tallymar-setup >/dev/null 2>&1 || { echo "tallymar-setup is still installed" >&2; exit 1; }
echo "The package installs, runs and is removed again."

# A sanitizer report fails the run even when the process that made it was a child whose exit
# status nobody checks: AddressSanitizer and LeakSanitizer write theirs to files as well, and the
# output of every test, passed or not, is searched for reports. The micro-benchmarks are not part
# of the suite. Unoptimized, the instrumented build compiles in about half the time and the suite
# runs as fast (its time goes to processes, files and sockets); the optimized build above is the one
# whose warnings depend on optimization.
cmake -S . -B "$sanitize" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTL_WERROR=ON -DTL_SANITIZE=ON \
    -DTL_BUILD_BENCHMARKS=OFF "${launcher[@]}"
cmake --build "$sanitize" --parallel "$jobs"
results=$(realpath -m "$sanitize")
reports="$results/sanitizer-reports"
rm -rf "$reports"
mkdir -p "$reports"
export ASAN_OPTIONS="detect_leaks=1:log_path=$reports/asan:log_exe_name=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
status=0
ctest --test-dir "$sanitize" --output-on-failure --parallel "$jobs" --timeout 300 \
    --test-output-size-passed 1048576 --output-junit "$results/ctest-results.xml" || status=$?
found=0
if compgen -G "$reports/*" >/dev/null; then
    cat "$reports"/* >&2
    found=1
fi
if grep -E "runtime error:|ERROR: (Address|Leak)Sanitizer" "$results/ctest-results.xml" >&2; then
    found=1
fi
if [[ $found -ne 0 ]]; then
    echo "The sanitizers reported errors (above)." >&2
    exit 1
fi
exit "$status"
