#!/usr/bin/env bash
# Builds the benchmarks (Release, in a build folder of their own) and runs every row of the
# performance table: each hot path of the program beside the tool a user would otherwise reach
# for, on the same input, in the same run, at least five runs a side. Prints the table (median
# [min-max] of both, their ratio and the row's target) with the machine's load before and after,
# then the same figures as JSON, also written to <build-folder>/bench.json.
# The peers come from Debian packages that this script installs; none is linked into the product.
# Usage: scripts/bench.sh [--runs N] [build-folder]     (default: build-bench, 5 runs)
set -euo pipefail
cd "$(dirname "$0")/.."

runs=5
build=build-bench
while [[ $# -gt 0 ]]; do
    case "$1" in
    --runs) runs=${2:?--runs needs a number}; shift 2 ;;
    -h|--help) sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) build=$1; shift ;;
    esac
done
[[ $runs =~ ^[0-9]+$ && $runs -ge 5 ]] || { echo "bench.sh: --runs takes a number of at least 5" >&2; exit 2; }

# The peers: pugixml and libxml2 (the manifest), curl and pigz (the downloads), GNU time (the
# peers' peak memory). OpenSSL's libcrypto (Blowfish) comes with libssl-dev of the build.
scripts/install-deps.sh libpugixml-dev libxml2-dev curl pigz time

launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTL_BUILD_BENCHMARKS=ON -DTL_BUILD_TESTS=OFF \
    "${launcher[@]}" >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target \
    tl_bench_manifest tl_bench_blowfish tl_bench_download tl_bench_import tl_bench_update_list \
    tlinstall tlpublish tlserve tlmfimprt sample_releases

build=$(cd "$build" && pwd)
work=$build/bench-work
rows=$build/bench-rows.jsonl
rm -rf "$work"
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
: >"$rows"
export TL_BENCH_RUNS=$runs TL_BENCH_WORK=$work

# The inputs that take a while to make are made before the load is taken: the update list's
# installation of 10,000 files and the next release's manifest.
data=$work/update-list-data
python3 benchmarks/make-release.py "$data/first" --program "$build/sample/libsample_state_ca.so" \
    --modules 100 --support-files 9900
python3 benchmarks/make-release.py "$data/next" --next-of "$data/first" --changed 500 \
    --program "$build/sample/libsample_state_tx_2.so"
"$build/tools/publish/tlpublish" "$data/next" "$data/published" >/dev/null

before=$(uptime)
step() { echo "== $1" >&2; }
step "parse + bind the manifest";          "$build/benchmarks/tl_bench_manifest" >>"$rows"
step "Blowfish block function";            "$build/benchmarks/tl_bench_blowfish" >>"$rows"
step "download 60 MB";                     "$build/benchmarks/tl_bench_download" >>"$rows"
step "import 100,000 creditors";           "$build/benchmarks/tl_bench_import" >>"$rows"
step "update list over 10,000 files";      "$build/benchmarks/tl_bench_update_list" "$data/first" \
                                               "$data/published/CurrentVersion.xml" >>"$rows"
rm -rf "$data"
step "full installation and update";       python3 benchmarks/install-bench.py --build "$build" \
                                               --work "$work/install" --runs "$runs" >>"$rows"
after=$(uptime)

echo
python3 benchmarks/bench-table.py "$rows" --json "$build/bench.json" --load-before "$before" --load-after "$after"
