#!/usr/bin/env python3
"""Counts the instructions cifrador and the plain-array limit execute on one long line.

Types the same dialogue as linea_grande.py ("c", a line of random bytes 32 to
255 with a tab every 128 bytes, the key, "n", "s") at cifrador and at the
limit program, each run once under valgrind's callgrind, checks that both
give the same cipher line, and prints side by side the instructions each
executed in all and outside the C library's mem* functions (memcpy, memset,
memmove and their variants, explicit_bzero), per byte of line, and the
ratios. Callgrind counts a `rep` string instruction once per byte it
repeats, so those functions, which do the wiping and the copies and are
cheap in time, would otherwise weigh far more than their share.

    python3 bench/instrucciones.py
    python3 bench/instrucciones.py --mib 16 --limite ./build/bench/rc224
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

from linea_grande import MIB, Linea, LineaCifrada

# A function of the C library's mem* family, as callgrind_annotate names it
# after the file: "…/memmove-vec-unaligned-erms.S:__memcpy_avx_unaligned_erms".
FUNCION_MEM = re.compile(r":(__)?(mem(cpy|set|move|pcpy)|explicit_bzero)\w*")
FILA = re.compile(r"\s*([\d,]+)\s+\(\s*[\d.]+%\)\s+(.*)$")


def Contar(orden, ruta_entrada, dir):
    """Runs `orden` under callgrind on the input file; answers its output and
    the instructions counted (total, inside mem* functions)."""
    datos = os.path.join(dir, "callgrind." + os.path.basename(orden[0]))
    with open(ruta_entrada, "rb") as entrada:
        proceso = subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=" + datos, *orden],
                                 stdin=entrada, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if proceso.returncode != 0:
        sys.exit(f"instrucciones: {orden[0]} terminó con estado {proceso.returncode} bajo callgrind:\n"
                 + proceso.stderr.decode(errors="replace"))
    informe = subprocess.run(["callgrind_annotate", "--auto=no", "--inclusive=no", "--threshold=100", datos],
                             stdout=subprocess.PIPE, check=True, text=True).stdout
    total, en_mem = None, 0
    for linea in informe.splitlines():
        fila = FILA.match(linea)
        if not fila:
            continue
        cuenta = int(fila.group(1).replace(",", ""))
        if fila.group(2).startswith("PROGRAM TOTALS"):
            total = cuenta
        elif FUNCION_MEM.search(fila.group(2)):
            en_mem += cuenta
    if total is None:
        sys.exit("instrucciones: callgrind_annotate no dio el total del programa")
    return proceso.stdout, total, en_mem


def main():
    raiz = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--cifrador", default=os.path.join(raiz, "build", "cifrador"))
    p.add_argument("--limite", default=os.path.join(raiz, "build", "bench", "rc224"))
    p.add_argument("--mib", type=int, default=4, help="longitud de la línea en MiB")
    p.add_argument("--clave", default="clave de prueba")
    p.add_argument("--semilla", type=int, default=1)
    args = p.parse_args()
    for herramienta in ("valgrind", "callgrind_annotate"):
        if not shutil.which(herramienta):
            sys.exit(f"instrucciones: falta {herramienta} (apt-get install valgrind)")

    linea = Linea(args.mib * MIB, args.semilla)
    with tempfile.TemporaryDirectory(prefix="instrucciones-") as dir:
        ruta_entrada = os.path.join(dir, "entrada")
        with open(ruta_entrada, "wb") as f:
            f.write(b"c\n" + linea + b"\n" + args.clave.encode() + b"\nn\ns\n")
        salida_c, total_c, mem_c = Contar([args.cifrador], ruta_entrada, dir)
        salida_l, total_l, mem_l = Contar([args.limite], ruta_entrada, dir)
    if salida_l != LineaCifrada(salida_c) + b"\n":
        sys.exit("instrucciones: la línea cifrada de cifrador difiere de la del límite")

    n = len(linea)
    print(f"línea: {n} bytes ({args.mib} MiB); instrucciones contadas por callgrind, "
          "fuera de mem* = sin memcpy, memset, memmove ni explicit_bzero de la biblioteca de C")
    print(f"{'programa':<10} {'total':>14} {'fuera de mem*':>14} {'por byte':>9} {'por byte fuera de mem*':>23}")
    for nombre, total, mem in (("cifrador", total_c, mem_c), ("límite", total_l, mem_l)):
        print(f"{nombre:<10} {total:>14,} {total - mem:>14,} {total / n:>9.2f} {(total - mem) / n:>23.2f}")
    print(f"{'cociente':<10} {total_c / total_l:>14.3f} {(total_c - mem_c) / (total_l - mem_l):>14.3f}"
          "   (objetivo fuera de mem*: <= 1.25)")
    print("línea cifrada: idéntica a la del límite")


if __name__ == "__main__":
    main()
