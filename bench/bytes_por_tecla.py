#!/usr/bin/env python3
"""Counts the bytes cifrador writes to its terminal for one key typed at the
start of a very long line: the work the line editor does per key.

In a pseudo-terminal of 80 x 24 (TERM=xterm, C.UTF-8) it answers the menu
with "c", pastes a line of N characters at the text prompt, waits until the
program has drawn it and is quiet, presses Home, waits again, then types one
character and counts what the program writes in answer, until it has been
quiet for half a second. The count covers what the program writes for that
key alone; the paste and Home are not counted.

    python3 bench/bytes_por_tecla.py [--caracteres N] [PROGRAMA ...]

Each program given (default build/cifrador) is measured in turn, so that two
builds can be compared.
"""
import argparse
import fcntl
import os
import pty
import select
import struct
import termios
import time


def leer(maestro: int, hasta: float, silencio: float) -> bytes:
    """What the program writes until `hasta` has passed, or it has written
    nothing for `silencio` seconds."""
    leido = bytearray()
    ultimo = time.monotonic()
    while time.monotonic() < hasta:
        listos, _, _ = select.select([maestro], [], [], 0.05)
        if listos:
            try:
                bloque = os.read(maestro, 1 << 16)
            except OSError:
                break
            if not bloque:
                break
            leido += bloque
            ultimo = time.monotonic()
        elif time.monotonic() - ultimo > silencio:
            break
    return bytes(leido)


def escribir(maestro: int, datos: bytes):
    """Types `datos`, reading what the program shows meanwhile so that neither
    side blocks."""
    while datos:
        _, listos, _ = select.select([maestro], [maestro], [], 1)
        if listos:
            datos = datos[os.write(maestro, datos[:4096]):]
        else:
            leer(maestro, time.monotonic() + 0.01, 0.01)


def medir(programa: str, caracteres: int) -> int:
    hijo, maestro = pty.fork()
    if hijo == 0:
        os.execve(programa, [programa], {"TERM": "xterm", "LANG": "C.UTF-8", "PATH": "/usr/bin:/bin"})
    fcntl.ioctl(maestro, termios.TIOCSWINSZ, struct.pack("HHHH", 24, 80, 0, 0))
    try:
        leer(maestro, time.monotonic() + 2, 0.5)
        escribir(maestro, b"c\r")
        leer(maestro, time.monotonic() + 2, 0.5)
        linea = bytes(ord("a") + n % 26 for n in range(caracteres))
        escribir(maestro, linea)
        leer(maestro, time.monotonic() + 600, 1.0)
        escribir(maestro, b"\x1b[H")
        leer(maestro, time.monotonic() + 60, 0.5)
        escribir(maestro, b"A")
        return len(leer(maestro, time.monotonic() + 60, 0.5))
    finally:
        os.kill(hijo, 9)
        os.waitpid(hijo, 0)
        os.close(maestro)


def main():
    argumentos = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    argumentos.add_argument("--caracteres", type=int, default=1_000_000)
    argumentos.add_argument("programas", nargs="*", default=["build/cifrador"])
    opciones = argumentos.parse_args()
    for programa in opciones.programas:
        print(f"{programa}: {medir(programa, opciones.caracteres)} bytes por una tecla al principio de "
              f"{opciones.caracteres} caracteres")


if __name__ == "__main__":
    main()
