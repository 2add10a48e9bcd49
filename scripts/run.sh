#!/usr/bin/env bash
# Builds and starts tlinstall on a machine prefix of its own (default: build-run/prefix).
# Usage: scripts/run.sh          (TALLYMAR_PREFIX and TALLYMAR_FILE_SERVER are honoured)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTL_BUILD_TESTS=OFF -DTL_BUILD_BENCHMARKS=OFF \
    "${launcher[@]}" >/dev/null
cmake --build build-run --parallel "$(nproc)" --target tlinstall
export TALLYMAR_PREFIX=${TALLYMAR_PREFIX:-$PWD/build-run/prefix}
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
fi
echo "Machine prefix: $TALLYMAR_PREFIX"
exec build-run/wizard/tlinstall
