#!/bin/bash
# Runs the layout tests of the end-to-end suite at another screen DPI: sets
# the Wine prefix's LogPixels, restarts the wineserver so that it applies,
# runs the tests, and restores 96 DPI whatever they gave.
#   e2e-dpi.sh DPI path/to/e2e_tests.exe
set -u
dpi=$1
exe=$2
VINDREL_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$VINDREL_ROOT/scripts/wine-env.sh"

set_dpi() {
    wine_reg 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1"
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    wineserver -p >/dev/null 2>&1 </dev/null
}

set_dpi "$dpi"
VINDREL_E2E_DPI=$dpi "$VINDREL_ROOT/scripts/wine-run.sh" "$exe" --gtest_filter='Startup.*'
status=$?
set_dpi 96
exit $status
