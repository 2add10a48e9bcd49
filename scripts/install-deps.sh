#!/usr/bin/env bash
# Installs every package the build and the tests need, with apt, when it is missing, and the
# packages named as arguments (scripts/bench.sh names its peers). Idempotent and quiet when
# everything is already there.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config ccache
    qt6-base-dev fonts-dejavu-core
    libsqlite3-dev sqlite3
    libcurl4-openssl-dev zlib1g-dev uuid-dev
    libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev
    libssl-dev libcrypt-dev liblnk-utils
    python3
    dpkg-dev lintian
    "$@"
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q >/dev/null
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
