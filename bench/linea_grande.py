#!/usr/bin/env python3
"""Times cifrador on one very long line beside a comparison command.

Makes a line of random bytes 32 to 255 with a tab every 128 bytes, types the
dialogue "c", the line, the key, "n", "s" at cifrador and at the comparison
command, alternating between the two for several rounds, and prints for each
the median wall time, the MB/s (10^6 bytes of line per second) and the median
peak resident memory reported by /usr/bin/time -v, and the ratios between them.

With --verificar the comparison must be the plain-array limit program, which
writes only the cipher line: the script then checks that cifrador's cipher
line is the same, byte for byte. With --tuberia the input comes through a
pipe from cat rather than a redirected file. With --sin-paginas-grandes both
programs run with transparent huge pages disabled for the process (Linux
prctl PR_SET_THP_DISABLE), as on a system that does not give them. Neither
program asks for them: they get them only where the system gives them to
every process ("always").

    python3 bench/linea_grande.py --verificar -- ./build/bench/rc224
    python3 bench/linea_grande.py -- openssl enc -rc4 -provider legacy \\
        -provider default -K 000102030405060708090a0b0c0d0e0f -nosalt
"""

import argparse
import ctypes
import os
import random
import re
import statistics
import subprocess
import sys
import tempfile
import time

MIB = 1024 * 1024
PR_SET_THP_DISABLE = 41


def Linea(bytes_linea, semilla):
    """Random bytes 32..255 (uniform), a tab at every 128th position."""
    azar = random.Random(semilla)
    a_simbolo = bytes((b + 32) if b < 224 else 0 for b in range(256))
    fuera = bytes(range(224, 256))
    partes, reunidos = [], 0
    while reunidos < bytes_linea:
        trozo = azar.randbytes(1 << 22).translate(a_simbolo, fuera)
        partes.append(trozo)
        reunidos += len(trozo)
    linea = bytearray(b"".join(partes)[:bytes_linea])
    linea[127::128] = b"\t" * len(range(127, bytes_linea, 128))
    return bytes(linea)


def SinPaginasGrandes():
    """In the child before exec: no transparent huge pages for it and for the
    program it runs (the setting is inherited and kept across exec)."""
    libc = ctypes.CDLL(None, use_errno=True)
    if libc.prctl(PR_SET_THP_DISABLE, 1, 0, 0, 0) != 0:
        raise OSError(ctypes.get_errno(), "prctl(PR_SET_THP_DISABLE)")


def Medir(orden, ruta_entrada, ruta_salida, ruta_tiempo, tuberia, sin_paginas_grandes):
    """Runs `orden` on the input file, redirected or through a pipe from cat;
    answers (wall seconds, peak RSS KiB)."""
    with open(ruta_entrada, "rb") as entrada, open(ruta_salida, "wb") as salida:
        inicio = time.perf_counter()
        gato = subprocess.Popen(["cat"], stdin=entrada, stdout=subprocess.PIPE) if tuberia else None
        proceso = subprocess.run(["/usr/bin/time", "-v", "-o", ruta_tiempo, *orden],
                                 stdin=gato.stdout if gato else entrada, stdout=salida,
                                 preexec_fn=SinPaginasGrandes if sin_paginas_grandes else None)
        if gato:
            gato.stdout.close()
            gato.wait()
        pared = time.perf_counter() - inicio
    if proceso.returncode != 0:
        sys.exit(f"linea_grande: {orden[0]} terminó con estado {proceso.returncode}")
    with open(ruta_tiempo) as informe:
        pico = re.search(r"Maximum resident set size \(kbytes\): (\d+)", informe.read())
    if not pico:
        sys.exit("linea_grande: /usr/bin/time -v no informó la memoria máxima")
    return pared, int(pico.group(1))


def LineaCifrada(salida):
    """The cipher line of cifrador's transcript: what follows its header."""
    encabezado = b"Cadena cifrada: \n"
    inicio = salida.find(encabezado)
    if inicio < 0:
        sys.exit("linea_grande: cifrador no escribió la cadena cifrada")
    inicio += len(encabezado)
    return salida[inicio:salida.index(b"\n", inicio)]


def main():
    raiz = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--cifrador", default=os.path.join(raiz, "build", "cifrador"))
    p.add_argument("--mib", type=int, default=64, help="longitud de la línea en MiB")
    p.add_argument("--veces", type=int, default=5, help="ejecuciones de cada programa")
    p.add_argument("--clave", default="clave de prueba")
    p.add_argument("--semilla", type=int, default=1)
    p.add_argument("--tuberia", action="store_true",
                   help="dar la entrada por una tubería desde cat en vez de un archivo")
    p.add_argument("--verificar", action="store_true",
                   help="la comparación es el programa límite: exigir la misma línea cifrada")
    p.add_argument("--sin-paginas-grandes", action="store_true",
                   help="ejecutar ambos programas sin páginas grandes transparentes (prctl)")
    p.add_argument("comparacion", nargs="+", help="orden de comparación (tras --)")
    args = p.parse_args()

    linea = Linea(args.mib * MIB, args.semilla)
    with tempfile.TemporaryDirectory(prefix="linea-grande-") as dir:
        ruta_entrada = os.path.join(dir, "entrada")
        with open(ruta_entrada, "wb") as f:
            f.write(b"c\n" + linea + b"\n" + args.clave.encode() + b"\nn\ns\n")
        programas = {"cifrador": [args.cifrador], "comparacion": args.comparacion}
        medidas = {nombre: [] for nombre in programas}
        salidas = {nombre: os.path.join(dir, nombre + ".salida") for nombre in programas}
        for vuelta in range(args.veces):
            # Alternate which program goes first, so that neither always meets
            # the other's leftovers (page cache, CPU frequency, neighbours).
            orden = list(programas) if vuelta % 2 == 0 else list(reversed(programas))
            for nombre in orden:
                medidas[nombre].append(Medir(programas[nombre], ruta_entrada, salidas[nombre],
                                             os.path.join(dir, "tiempo"), args.tuberia,
                                             args.sin_paginas_grandes))

        if args.verificar:
            with open(salidas["cifrador"], "rb") as f:
                cifrada = LineaCifrada(f.read())
            with open(salidas["comparacion"], "rb") as f:
                esperada = f.read()
            if esperada != cifrada + b"\n":
                sys.exit("linea_grande: la línea cifrada de cifrador difiere de la de la comparación")

    bytes_linea = len(linea)
    via = "una tubería" if args.tuberia else "un archivo"
    paginas = ", sin páginas grandes" if args.sin_paginas_grandes else ""
    print(f"línea: {bytes_linea} bytes ({args.mib} MiB), entrada desde {via}{paginas}, "
          f"{args.veces} ejecuciones alternas de cada programa")
    print(f"{'programa':<12} {'mediana s':>10} {'MB/s':>8} {'pico MiB':>9}   tiempos (s)")
    resumen = {}
    for nombre in programas:
        paredes = [m[0] for m in medidas[nombre]]
        picos = [m[1] for m in medidas[nombre]]
        pared, pico = statistics.median(paredes), statistics.median(picos) / 1024
        resumen[nombre] = (pared, pico)
        print(f"{nombre:<12} {pared:>10.3f} {bytes_linea / pared / 1e6:>8.1f} {pico:>9.1f}   "
              + " ".join(f"{t:.3f}" for t in paredes))
    (t_c, m_c), (t_r, m_r) = resumen["cifrador"], resumen["comparacion"]
    limite_memoria = 2.1 * args.mib
    objetivo = " (objetivo frente al límite: <= 1.0)" if args.verificar else ""
    print(f"cociente de tiempos cifrador/comparación: {t_c / t_r:.3f}{objetivo}")
    print(f"cociente de memoria cifrador/comparación: {m_c / m_r:.3f}")
    print(f"memoria de cifrador: {m_c:.1f} MiB (objetivo: <= {limite_memoria:.1f} MiB, 2,1 veces la línea)")
    if args.verificar:
        print("línea cifrada: idéntica a la de la comparación")


if __name__ == "__main__":
    main()
