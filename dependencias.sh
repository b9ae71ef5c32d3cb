#!/usr/bin/env bash
# Installs the Debian packages that building cifrador and running its tests
# need, and any named on the command line, when some are missing; with all of
# them present it does nothing and needs no privileges. With --windows, also
# what the Windows preset needs: the MinGW-w64 cross compiler, GoogleTest's
# sources, Wine and Python for running the Windows tests, and unzip for
# looking into the ZIP.
set -euo pipefail

paquetes=(cmake g++ libgtest-dev libbenchmark-dev dpkg-dev file groff-base lintian locales mandoc python3 tmux valgrind)
for argumento in "$@"; do
  if [ "$argumento" = --windows ]; then
    paquetes+=(g++-mingw-w64-x86-64-posix googletest wine wine64 python3 unzip)
  else
    paquetes+=("$argumento")
  fi
done
faltan=()
for paquete in "${paquetes[@]}"; do
  dpkg -s "$paquete" >/dev/null 2>&1 || faltan+=("$paquete")
done
((${#faltan[@]})) || exit 0

como_root=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "dependencias.sh: faltan ${faltan[*]}; instálelos como root con apt-get install" >&2
    exit 1
  fi
  como_root=(sudo)
fi
echo "dependencias.sh: instalando ${faltan[*]}"
"${como_root[@]}" apt-get update -q
"${como_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${faltan[@]}"
