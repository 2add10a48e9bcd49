#!/usr/bin/env bash
# Builds the Debian package tallymar-setup_<version>_<architecture>.deb and checks it with lintian,
# which must report no error.
# Usage: scripts/package.sh [build-folder]   (default: build-package; a configured build folder,
#        such as the one scripts/test.sh made, is reused as it is)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=${1:-build-package}
if [[ ! -f "$build/CMakeCache.txt" ]]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTL_BUILD_TESTS=OFF \
        -DTL_BUILD_BENCHMARKS=OFF >/dev/null
fi
cmake --build "$build" --parallel "$(nproc)"
rm -f "$build"/package/tallymar-setup_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/package/tallymar-setup_*.deb)
# Everything lintian says is shown (but its note about running as root, as CI does); an error fails.
status=0
lintian --fail-on error "$deb" >"$build/package/lintian.txt" 2>&1 || status=$?
grep -v "^running with root privileges" "$build/package/lintian.txt" || true
[[ $status -eq 0 ]] || { echo "lintian found errors in $deb" >&2; exit 1; }
echo "Package: $deb ($(du -k "$deb" | cut -f1) KiB)"
