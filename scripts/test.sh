#!/usr/bin/env bash
# Installs dependencies, configures, builds from nothing (warnings are errors) and runs every test;
# then builds the Debian package from that build, installs it, runs it and removes it again.
# Usage: scripts/test.sh [build-folder]   (default: build-ci)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=${1:-build-ci}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTL_WERROR=ON
cmake --build "$build" --parallel "$(nproc)"
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" --timeout 300)

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
