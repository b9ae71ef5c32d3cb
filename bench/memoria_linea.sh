#!/usr/bin/env bash
# Pipes one huge line (256 MiB by default, or the MiB given) through the
# built program to encrypt it, without the check, and reports the peak
# resident memory (GNU time) and the time taken; the output must be exactly
# the transcript whose cipher text the tests' model computes.
#   bench/memoria_linea.sh [MiB] [build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
mib=${1:-256}
build=${2:-build}
clave="clave de la medida"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

g++ -std=c++20 -O2 -DDATOS='""' -Itests tests/vectores.cpp bench/modelo_linea.cpp -o "$tmp/modelo"
head -c $((mib << 20)) /dev/urandom | tr '\n' 'x' >"$tmp/linea"
"$tmp/modelo" "$clave" <"$tmp/linea" >"$tmp/cifrada"
{ printf 'c\n'; cat "$tmp/linea"; printf '\n%s\nn\ns\n' "$clave"; } >"$tmp/entrada"
{
  printf '(C)ifrar/(D)escifrar/(S)alir?: Escriba la linea a interpretar: \nEscriba la clave: \nCadena cifrada: \n'
  cat "$tmp/cifrada"
  printf '\nDesea comprobar el resultado? s/n: (C)ifrar/(D)escifrar/(S)alir?: '
} >"$tmp/esperada"

cat "$tmp/entrada" | /usr/bin/time -v "$build/cifrador" >"$tmp/salida" 2>"$tmp/tiempo"
cmp -s "$tmp/salida" "$tmp/esperada" || { echo "la salida no es la esperada"; exit 1; }
pico=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$tmp/tiempo")
reloj=$(awk -F': ' '/Elapsed \(wall clock\)/ {print $2}' "$tmp/tiempo")
limite=$(((3 * mib + 16) * 1024))
echo "linea de $mib MiB: salida correcta, pico de memoria $pico KiB (limite $limite KiB), tiempo $reloj"
((pico <= limite))
