#!/bin/sh
# Installs what the build, the program and the tests need on Debian 12.
# Idempotent: packages already installed and a locale already generated are
# skipped, so a machine that has everything makes no network access.
set -eu

# The 64-bit MinGW and Wine are for kernels that cannot run 32-bit Linux
# programs, where the tests run a 64-bit build of the same sources.
NATIVE_PKGS="cmake g++ make python3 googletest libgtest-dev libgmock-dev libbenchmark-dev
clang libclang-rt-14-dev clang-format g++-mingw-w64-i686-posix mingw-w64-i686-dev
g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine wine64
xvfb xdotool imagemagick fonts-wqy-zenhei fonts-arphic-uming fonts-wine locales"
I386_PKGS="wine32:i386"

missing=""
for p in $NATIVE_PKGS $I386_PKGS; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    case "$status" in
    "install ok installed") ;;
    *) missing="$missing $p" ;;
    esac
done

if [ -n "$missing" ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "setup: missing packages:$missing (run as root to install them)" >&2
        exit 1
    fi
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    echo "setup: installing$missing"
    apt-get update -q
    # shellcheck disable=SC2086
    apt-get install -y -q --no-install-recommends $missing
fi

# Wine takes its ANSI code page from the locale: without zh_CN.UTF-8 it falls
# back to 1252 and the program's double-byte text crossings are wrong.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "setup: locale zh_CN.UTF-8 missing (run as root to generate it)" >&2
        exit 1
    fi
    sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >>/etc/locale.gen
    locale-gen
fi
