#!/bin/bash
# Installs what is missing, builds the host and Windows trees, and runs every
# test: the unit tests on the host (with AddressSanitizer and
# UndefinedBehaviorSanitizer), a short run of the fuzz targets (libFuzzer:
# the conversions and the change record file's reader), the same unit tests
# built for Windows under Wine, and the end-to-end tests of Vindrel.exe
# under Wine.
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
grep -q '^MajorOSystemVersion[[:space:]]*6$' <<<"$headers" &&
    grep -q '^MinorOSystemVersion[[:space:]]*1$' <<<"$headers" &&
    grep -q '^MajorSubsystemVersion[[:space:]]*6$' <<<"$headers" &&
    grep -q '^MinorSubsystemVersion[[:space:]]*1$' <<<"$headers" ||
    { echo "Vindrel.exe does not name Windows 7 (6.1) as its oldest system" >&2; exit 1; }
echo "check: $exe is a PE32 Windows GUI program for Windows 7 on, with a Unicode entry point"

# The release: made, checked, and made again from another build folder,
# which must give the same bytes.
"$VINDREL_ROOT/scripts/release.sh"
version=$(cat "$VINDREL_ROOT/build/win32/vindrel-version.txt")
zip="$VINDREL_ROOT/dist/Vindrel-$version-win32.zip"
python3 "$VINDREL_ROOT/scripts/check_release.py" "$zip" "$VINDREL_ROOT/release/使用说明.txt" "$VINDREL_ROOT"
again="$VINDREL_ROOT/build/reproduce"
rm -rf "$again"
"$VINDREL_ROOT/scripts/release.sh" --build "$again/win32-second" --dist "$again/dist"
exe_sum() {
    python3 -c 'import hashlib, sys, zipfile
print(hashlib.sha256(zipfile.ZipFile(sys.argv[1]).read("Vindrel.exe")).hexdigest())' "$1"
}
zip_sum() { sha256sum "$1" | cut -d' ' -f1; }
first_exe=$(exe_sum "$zip") second_exe=$(exe_sum "$again/dist/$(basename "$zip")")
first_zip=$(zip_sum "$zip") second_zip=$(zip_sum "$again/dist/$(basename "$zip")")
echo "check: Vindrel.exe built twice: $first_exe, $second_exe"
echo "check: the zip built twice: $first_zip, $second_zip"
if [ "$first_exe" != "$second_exe" ] || [ "$first_zip" != "$second_zip" ]; then
    echo "the release is not reproducible" >&2
    exit 1
fi

echo "test: host unit tests (ASan, UBSan)"
(cd "$VINDREL_ROOT/build/host" && ctest --output-on-failure -j "$(nproc)")

echo "test: fuzzing the conversions, the record file reader and the command line for a few seconds (docs/fuzzing.md runs it longer)"
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
