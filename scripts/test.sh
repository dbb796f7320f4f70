#!/bin/bash
# Installs what is missing, builds the host and Windows trees, and runs every
# test: the unit tests on the host (with AddressSanitizer and
# UndefinedBehaviorSanitizer), a short run of the conversions' fuzz target
# (libFuzzer), the same unit tests built for Windows under Wine, and the
# end-to-end tests of Vindrel.exe under Wine.
set -euo pipefail
VINDREL_ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$VINDREL_ROOT/scripts/setup.sh"
. "$VINDREL_ROOT/scripts/wine-env.sh"
. "$VINDREL_ROOT/scripts/build.sh"

build_tree host -DVINDREL_SANITIZE=ON
build_tree fuzz -DVINDREL_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
build_windows

# The product itself: a 32-bit GUI program with a Unicode entry point.
exe="$VINDREL_ROOT/build/win32/bin/Vindrel.exe"
headers=$(i686-w64-mingw32-objdump -p "$exe")
grep -q '^Magic[[:space:]]*010b' <<<"$headers" || { echo "Vindrel.exe is not PE32" >&2; exit 1; }
grep -q '^Subsystem[[:space:]]*00000002' <<<"$headers" || { echo "Vindrel.exe is not a GUI program" >&2; exit 1; }
symbols=$(i686-w64-mingw32-nm "$exe")
grep -q ' T _wWinMain@16$' <<<"$symbols" || { echo "Vindrel.exe has no wWinMain" >&2; exit 1; }
echo "check: $exe is a PE32 Windows GUI program with a Unicode entry point"

echo "test: host unit tests (ASan, UBSan)"
(cd "$VINDREL_ROOT/build/host" && ctest --output-on-failure -j "$(nproc)")

echo "test: fuzzing the conversions for a few seconds (docs/fuzzing.md runs it longer)"
(cd "$VINDREL_ROOT/build/fuzz" && ctest --output-on-failure)

if [ "$VINDREL_WINE_BITS" = 64 ]; then
    echo "note: this kernel cannot run 32-bit programs; the Windows tests run the 64-bit build under 64-bit Wine"
fi
trap wine_stop EXIT
wine_display
wine_env_init
# One wineserver for the whole run: the session, its handles and its
# virtual desktop stay up between the test programs.
wineserver -p >/dev/null 2>&1 </dev/null
echo "test: Windows unit tests and end-to-end tests under Wine ($WINEARCH)"
(cd "$VINDREL_RUN_TREE" && ctest --output-on-failure)
