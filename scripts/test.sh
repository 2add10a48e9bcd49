#!/usr/bin/env bash
# Installs dependencies, configures, builds from nothing (warnings are errors) and runs every test.
# Usage: scripts/test.sh [build-folder]   (default: build-ci)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=${1:-build-ci}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTL_WERROR=ON
cmake --build "$build" --parallel "$(nproc)"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" --timeout 300
