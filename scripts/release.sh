#!/bin/bash
# Makes the release a Windows user downloads:
#   dist/Vindrel-<version>-win32.zip
# holding Vindrel.exe (the 32-bit program, symbols stripped), 使用说明.txt
# (the guide) and SHA256SUMS. The same commit gives the same bytes on any
# machine with the same Debian packages.
#   scripts/release.sh [--build DIR] [--dist DIR]
# --build names the build folder of the product (default build/win32),
# --dist the folder the zip goes to (default dist).
set -euo pipefail
VINDREL_ROOT=$(cd "$(dirname "$0")/.." && pwd)
build="$VINDREL_ROOT/build/win32"
dist="$VINDREL_ROOT/dist"
while [ $# -gt 0 ]; do
    case "$1" in
    --build) build=$2; shift 2 ;;
    --dist) dist=$2; shift 2 ;;
    *) echo "usage: $0 [--build DIR] [--dist DIR]" >&2; exit 2 ;;
    esac
done

"$VINDREL_ROOT/scripts/setup.sh"
. "$VINDREL_ROOT/scripts/build.sh"
build_product "$build"

version=$(cat "$build/vindrel-version.txt")
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
# strip writes the time of day into the PE header unless given a fixed
# time; the linked program has none (0), and keeps none.
SOURCE_DATE_EPOCH=0 i686-w64-mingw32-strip --strip-all -o "$stage/Vindrel.exe" "$build/bin/Vindrel.exe"
cp "$VINDREL_ROOT/release/使用说明.txt" "$stage/"
(cd "$stage" && LC_ALL=C.UTF-8 sha256sum Vindrel.exe 使用说明.txt >SHA256SUMS)
mkdir -p "$dist"
zip="$dist/Vindrel-$version-win32.zip"
python3 "$VINDREL_ROOT/scripts/release_zip.py" "$zip" "$stage" Vindrel.exe 使用说明.txt SHA256SUMS
echo "release: $zip"
