#!/usr/bin/env bash
# The main job in one command, on a fresh Debian 12 machine: installs what is missing, builds,
# publishes sample release 1, serves it on a free loopback port and runs tlinstall on a fresh
# machine prefix against it (the wizard with a display, else unattended with sample/answers.ini),
# then prints what was installed where.
# Usage: scripts/run.sh           first installation (prefix build-run/demo/prefix)
#        scripts/run.sh update    publishes sample release 2 and updates that installation
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTL_BUILD_TESTS=OFF \
    -DTL_BUILD_BENCHMARKS=OFF "${launcher[@]}" >/dev/null
cmake --build build-run --parallel "$(nproc)" --target tlinstall tlpublish tlserve tl_demo_summary sample_releases
exec scripts/demo.sh build-run "${1:-install}"
