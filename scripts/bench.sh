#!/bin/bash
# Runs the benchmarks and prints their tables: platform calls per refresh on
# the host (fake platform), then refresh speed and start-up under Wine.
# Arguments go to the Wine benchmark (e.g. --counts 0,50,200,400 --reps 7).
set -euo pipefail
VINDREL_ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$VINDREL_ROOT/scripts/setup.sh"
. "$VINDREL_ROOT/scripts/wine-env.sh"
. "$VINDREL_ROOT/scripts/build.sh"

build_tree host-bench
build_windows

echo "== host: platform calls per refresh, fake platform =="
"$VINDREL_ROOT/build/host-bench/bin/host_refresh_bench"

trap wine_stop EXIT
wine_display
wine_env_init
wineserver -p >/dev/null 2>&1 </dev/null
echo "== Wine ($WINEARCH): refresh and start-up =="
"$VINDREL_ROOT/scripts/wine-run.sh" "$VINDREL_RUN_TREE/bin/refresh_bench.exe" "$@"
