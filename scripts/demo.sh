#!/usr/bin/env bash
# The demonstration on a built tree: publishes a sample release, serves it on a free loopback
# port, runs tlinstall against it on a machine prefix of its own and prints what it left there.
# Usage: scripts/demo.sh BUILD_FOLDER [install|update]
#   install  publishes sample release 1 and makes a first installation on a fresh prefix
#   update   publishes sample release 2 and updates the installation on that prefix
# With a display tlinstall shows its wizard; without one (or with TL_DEMO_UNATTENDED=1) it runs
# unattended with sample/answers.ini and the passwords below on standard input.
# TALLYMAR_PREFIX names the prefix (default BUILD_FOLDER/demo/prefix); one that is given must be
# empty or missing for an installation. TL_DEMO_WORK names the folder of the published release
# and the server's log (default BUILD_FOLDER/demo).
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:?usage: scripts/demo.sh BUILD_FOLDER [install|update]}
mode=${2:-install}
case "$mode" in
install) release=1 ;;
update) release=2 ;;
*) echo "demo.sh: unknown mode '$mode' (install or update)" >&2; exit 2 ;;
esac

build=$(cd "$build" && pwd)
work=${TL_DEMO_WORK:-$build/demo}
prefix=${TALLYMAR_PREFIX:-$build/demo/prefix}
www=$work/www

if [[ $mode == install ]]; then
    if [[ -z ${TALLYMAR_PREFIX:-} ]]; then
        rm -rf "$prefix"
    elif [[ -e $prefix && -n $(ls -A "$prefix") ]]; then
        echo "demo.sh: the machine prefix $prefix is not empty; a first installation needs a fresh one" >&2
        exit 2
    fi
elif [[ ! -d $prefix/registry ]]; then
    echo "demo.sh: no installation in $prefix to update; run scripts/run.sh first" >&2
    exit 2
fi
mkdir -p "$work" "$prefix"
export TALLYMAR_PREFIX=$prefix

echo "== Publishing sample release $release"
"$build/tools/publish/tlpublish" "$build/sample/release-$release" "$www" | tail -n 1

# A free port: tlserve takes one when asked for port 0 and names it on its first line.
serverLog=$work/tlserve.log
"$build/tools/serve/tlserve" "$www" --port 0 --bind 127.0.0.1 >"$serverLog" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null || true' EXIT
# A loaded machine can take a while to start it: up to 30 seconds.
for _ in $(seq 600); do
    grep -q '^Serving ' "$serverLog" 2>/dev/null && break
    kill -0 $server 2>/dev/null || { cat "$serverLog" >&2; exit 1; }
    sleep 0.05
done
url=$(sed -n 's/^Serving .* at \(http:[^ ]*\)$/\1/p' "$serverLog")
[[ -n $url ]] || { echo "demo.sh: tlserve did not start" >&2; cat "$serverLog" >&2; exit 1; }
export TALLYMAR_FILE_SERVER=$url
echo "== Serving it at $url (requests in $serverLog)"

# The demonstration's passwords: never in a file that others may read, and never printed.
passwords() {
    cat <<'PASSWORDS'
MasterPassword=Quartz-Lantern-2025
AttorneyPassword=Brief&Gavel7
StaffPassword=Docket-Clerk-19
[Attorney Margaret Ellison]
Password=Pacer:Ellison#88
Ecf1Password=Ecf-NY-5521
[Attorney Daniel Okafor]
Ecf1Password=Ecf-TX-7730
PASSWORDS
}

status=0
if [[ ${TL_DEMO_UNATTENDED:-0} != 1 && ( -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ) ]]; then
    echo "== Running the wizard of tlinstall on $prefix"
    "$build/wizard/tlinstall" || status=$?
else
    echo "== Running tlinstall --answers sample/answers.ini --password-stdin on $prefix"
    passwords | "$build/wizard/tlinstall" --answers sample/answers.ini --password-stdin || status=$?
fi

echo
echo "== What tlinstall left on the machine (exit status $status)"
"$build/sample/tl_demo_summary" || true
exit $status
