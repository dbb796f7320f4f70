#!/bin/bash
# Installs what is missing, builds Vindrel.exe and starts it under Wine in a
# Wine virtual desktop. With a display ($DISPLAY) it opens there; without
# one it runs in Xvfb, clicks "刷新列表", writes a screenshot of the
# program's window and prints its path.
#   scripts/run.sh [--screenshot FILE [--list]]
#       (default build/vindrel-screenshot.png; docs/screenshot.png is made
#       this way, and with --list, of the window list, docs/window-list.png)
set -euo pipefail
VINDREL_ROOT=$(cd "$(dirname "$0")/.." && pwd)
shot="$VINDREL_ROOT/build/vindrel-screenshot.png"
if [ "${1:-}" = --screenshot ] && [ -n "${2:-}" ]; then
    shot=$(realpath -m "$2")
    unset DISPLAY  # a screenshot is made in Xvfb
fi
click_args=""
if [ "${3:-}" = --list ]; then
    click_args=list
fi
"$VINDREL_ROOT/scripts/setup.sh"
. "$VINDREL_ROOT/scripts/wine-env.sh"
. "$VINDREL_ROOT/scripts/build.sh"

build_windows
echo "built: $VINDREL_ROOT/build/win32/bin/Vindrel.exe (32-bit; runs on Windows as it is)"
if [ "$VINDREL_WINE_BITS" = 64 ]; then
    echo "note: this kernel cannot run 32-bit programs; running the 64-bit build of the same sources"
fi
exe="$VINDREL_RUN_TREE/bin/Vindrel.exe"
had_display=${DISPLAY:-}
trap wine_stop EXIT
wine_display
wine_env_init

if [ -n "$had_display" ] && [ "$DISPLAY" = "$had_display" ]; then
    echo "run: Vindrel.exe on $DISPLAY (close its window to end)"
    "$VINDREL_WINE" "$exe" >"$WINEPREFIX.run.log" 2>&1
    exit 0
fi

if [ -n "$click_args" ]; then
    # Windows of other programs for the list to show.
    "$VINDREL_WINE" notepad >>"$WINEPREFIX.run.log" 2>&1 &
    "$VINDREL_WINE" winemine >>"$WINEPREFIX.run.log" 2>&1 &
    sleep 2
fi
"$VINDREL_WINE" "$exe" >"$WINEPREFIX.run.log" 2>&1 &
# The window's rectangle on the screen, which the Wine desktop fills from
# its top left corner.
rect_file=$(mktemp)
timeout -k 5 60 "$VINDREL_WINE" "$VINDREL_RUN_TREE/bin/refresh_click.exe" $click_args >"$rect_file" 2>>"$WINEPREFIX.run.log"
rect=$(grep -Eo '^[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+' "$rect_file" || true)
rm -f "$rect_file"
sleep 1
mkdir -p "$(dirname "$shot")"
if [ -n "$rect" ]; then
    import -window root -crop "$rect" +repage "$shot"
else
    echo "run: the window's rectangle is unknown; the screenshot shows the whole screen" >&2
    import -window root "$shot"
fi
echo "screenshot: $shot"
