#!/usr/bin/env bash
# Installs the built program into a temporary root, and again from its .deb,
# and checks that each installed copy runs a dialogue and carries its manual,
# and that lintian finds nothing to say about the .deb.
set -euo pipefail
build=$1
dialogos=$2
# Tags that do not apply to this build (comma-separated; none for a release).
omitidas=${3:-}
raiz=$(mktemp -d)
trap 'rm -rf "$raiz"' EXIT

# Runs an installed cifrador on every reference dialogue.
probar() {
  local prefijo=$1
  [ -x "$prefijo/bin/cifrador" ] || { echo "falta $prefijo/bin/cifrador"; exit 1; }
  for entrada in "$dialogos"/*.in; do
    "$prefijo/bin/cifrador" <"$entrada" | cmp - "${entrada%.in}.out"
  done
  local manual="$prefijo/share/man/man1/cifrador.1.gz"
  [ -f "$manual" ] || { echo "falta $manual"; exit 1; }
  local avisos
  avisos=$(gzip -dc "$manual" | groff -man -ww -z 2>&1)
  [ -z "$avisos" ] || { echo "groff da avisos sobre el manual: $avisos"; exit 1; }
  avisos=$(mandoc -T lint "$manual" 2>&1) || true
  [ -z "$avisos" ] || { echo "mandoc da avisos sobre el manual: $avisos"; exit 1; }
  [ -f "$prefijo/share/doc/cifrador/README.md" ] || { echo "falta README.md"; exit 1; }
}

DESTDIR="$raiz/destdir" cmake --install "$build" --prefix /usr >/dev/null
probar "$raiz/destdir/usr"

(cd "$build" && cpack -G DEB -B "$raiz/paquete" >/dev/null)
paquetes=("$raiz"/paquete/cifrador_*_amd64.deb)
[ ${#paquetes[@]} -eq 1 ] && [ -f "${paquetes[0]}" ] || { echo "no hay un cifrador_*_amd64.deb"; exit 1; }
informe=$(dpkg-deb -I "${paquetes[0]}")
grep -q '^ Depends: .*libc6' <<<"$informe" || { echo "el paquete no lista sus dependencias:"; echo "$informe"; exit 1; }
grep -q '^ Maintainer: ' <<<"$informe" || { echo "el paquete no tiene Maintainer"; exit 1; }
# Lines are edited by the program itself: no line-editing library, and with it
# no configuration file of its own, comes with the package.
if grep -qi 'libedit\|readline' <<<"$informe"; then echo "el paquete depende de una biblioteca de edicion:"; echo "$informe"; exit 1; fi
# Debian's own checker, every tag shown: any tag at all fails.
etiquetas=$(lintian --pedantic --display-info --display-experimental ${omitidas:+--suppress-tags "$omitidas"} \
  --fail-on error,warning,info,pedantic,experimental "${paquetes[0]}") \
  || { echo "lintian falla:"; echo "$etiquetas"; exit 1; }
[ -z "$etiquetas" ] || { echo "lintian da etiquetas:"; echo "$etiquetas"; exit 1; }
dpkg-deb -x "${paquetes[0]}" "$raiz/deb"
probar "$raiz/deb/usr"
echo "instalacion correcta"
