#!/bin/sh
# Runs a Windows program under Wine with the loader that fits the machine:
# the 32-bit one where the kernel runs 32-bit programs, else the 64-bit one.
# ctest uses this as the emulator of the Windows builds.
#
# The program's output goes through a file, not straight to our caller:
# Wine's background processes (services, the desktop) inherit the output of
# the program that started them and would hold the caller's pipe open long
# after the program has ended.
if [ -z "${VINDREL_WINE:-}" ]; then
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then
        VINDREL_WINE=/usr/lib/wine/wine
    else
        VINDREL_WINE=/usr/lib/wine/wine64
    fi
fi
out=$(mktemp)
"$VINDREL_WINE" "$@" >"$out" 2>&1 </dev/null
status=$?
cat "$out"
rm -f "$out"
exit $status
