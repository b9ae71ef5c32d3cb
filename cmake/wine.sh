#!/bin/sh
# Runs a Windows program under Wine for CTest (CMAKE_CROSSCOMPILING_EMULATOR):
# wine.sh PREFIX PROGRAM [ARGUMENTS...]. The Wine prefix is PREFIX, inside the
# build folder, never ~/.wine; a fresh one is made on first use, which takes a
# while (.ci/run makes it once, and keeps a wineserver running meanwhile).
prefijo=$1
shift
export WINEPREFIX="$prefijo" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
# Debian's wine wrapper wants a 32-bit Wine too; the 64-bit loader is enough.
if [ -x /usr/lib/wine/wine64 ]; then exec /usr/lib/wine/wine64 "$@"; fi
exec wine "$@"
