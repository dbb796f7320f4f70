# Sourced by the run and test scripts: one Wine prefix for this checkout,
# a display, and the settings every Wine run here needs.
#   wine_env_init   creates or checks the prefix (idempotent)
#   wine_display    makes sure DISPLAY names a live X server (Xvfb if none)
#   wine_stop       stops this prefix's Wine processes and our Xvfb

# VINDREL_ROOT must name the checkout before this file is sourced.

# The program is a 32-bit Windows program, run by 32-bit Wine. Where the
# kernel cannot run 32-bit Linux programs (IA-32 emulation off), 32-bit Wine
# cannot start: the same sources are then built for 64-bit Windows and run
# by 64-bit Wine. VINDREL_WINE_BITS says which (32 or 64).
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    export VINDREL_WINE_BITS=32 WINEARCH=win32 VINDREL_WINE=/usr/lib/wine/wine
else
    export VINDREL_WINE_BITS=64 WINEARCH=win64 VINDREL_WINE=/usr/lib/wine/wine64
fi
export WINELOADER=$VINDREL_WINE
export WINEPREFIX=${WINEPREFIX:-$VINDREL_ROOT/build/wineprefix-$WINEARCH}
export WINEDEBUG=${WINEDEBUG:--all}
# Without these overrides the first start waits on a dialog offering Mono/Gecko.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine takes its ANSI code page from the locale: 936 under zh_CN.
export LC_ALL=zh_CN.UTF-8

VINDREL_XVFB_PID=

wine_reg() {
    timeout -k 5 60 "$VINDREL_WINE" reg add "$@" /f >>"$WINEPREFIX.log" 2>&1
}

wine_env_init() {
    mkdir -p "$(dirname "$WINEPREFIX")"
    if [ ! -f "$WINEPREFIX/.vindrel-ready" ]; then
        echo "wine: creating prefix $WINEPREFIX"
        rm -rf "$WINEPREFIX"
        timeout -k 5 300 "$VINDREL_WINE" wineboot -i >"$WINEPREFIX.log" 2>&1
        # A virtual desktop: on a bare X display Wine waits about 2 s for a
        # window manager on every hide and close, and windows get no title bar.
        wine_reg 'HKCU\Software\Wine\Explorer' /v Desktop /d Default
        wine_reg 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024
        # A crash must fail the test, not wait on a dialog.
        wine_reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
        timeout -k 5 60 wineserver -w
        touch "$WINEPREFIX/.vindrel-ready"
    fi
    # The program asks for 宋体 (SimSun), which Wine on Debian lacks: its
    # fallback draws small captions with the lower strokes cut. AR PL UMing
    # (fonts-arphic-uming) stands in for it, a Song typeface as designed.
    # Added to prefixes made before this too, once.
    if [ ! -f "$WINEPREFIX/.vindrel-fonts" ]; then
        wine_reg 'HKCU\Software\Wine\Fonts\Replacements' /v 宋体 /d 'AR PL UMing CN'
        wine_reg 'HKCU\Software\Wine\Fonts\Replacements' /v SimSun /d 'AR PL UMing CN'
        timeout -k 5 60 wineserver -w
        touch "$WINEPREFIX/.vindrel-fonts"
    fi
    # Caption buttons are drawn with Marlett, which Wine does not find in
    # Debian's fonts-wine by itself: without it they show as letters. A copy
    # in the prefix's own font folder serves, and touches nothing outside.
    if [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ] &&
        [ -f /usr/share/wine/fonts/marlett.ttf ]; then
        mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
        cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
}

wine_display() {
    if [ -n "${DISPLAY:-}" ] && display_alive; then
        return 0
    fi
    for n in $(seq 90 130); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            # Every Wine process with a window is an X client: the
            # benchmark's largest count needs more than the default 256.
            Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -maxclients 2048 >/dev/null 2>&1 &
            VINDREL_XVFB_PID=$!
            export DISPLAY=":$n"
            for _ in $(seq 1 50); do
                [ -e "/tmp/.X11-unix/X$n" ] && return 0
                sleep 0.1
            done
            echo "wine: Xvfb :$n did not start" >&2
            return 1
        fi
    done
    echo "wine: no free display number" >&2
    return 1
}

display_alive() {
    # xdotool is installed by the set-up script; it fails when the display is dead.
    xdotool getdisplaygeometry >/dev/null 2>&1
}

wine_stop() {
    timeout -k 5 30 wineserver -k >/dev/null 2>&1 || true
    if [ -n "$VINDREL_XVFB_PID" ]; then
        kill "$VINDREL_XVFB_PID" 2>/dev/null || true
        wait "$VINDREL_XVFB_PID" 2>/dev/null || true
        VINDREL_XVFB_PID=
    fi
}
