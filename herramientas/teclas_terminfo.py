#!/usr/bin/env python3
"""teclas_terminfo.py > tests/datos/teclas-terminfo.txt: the key strings that
the terminfo database (Debian's ncurses-term, read with infocmp -x) declares
for the terminal families the program is tried on, one line each:

    FAMILIA CAPACIDAD BYTES-EN-HEXADECIMAL

for the cursor and editing keys with every modifier the family declares
(kcub1, kLFT, kLFT3 to kLFT8 and their kin), Shift-Tab (kcbt), Backspace
(kbs) and F1 to F24. The program reads no terminfo when it runs, so that a
wrong TERM cannot change what a key does; its decoder is tested against this
file instead, which is made again by running this script.
"""
import re
import subprocess
import sys

FAMILIAS = ("xterm-256color xterm rxvt-unicode-256color linux screen-256color tmux-256color putty-256color "
            "konsole-256color vte-256color alacritty kitty st-256color mintty ms-terminal").split()
BASICAS = "kcub1 kcuf1 kcuu1 kcud1 khome kend kdch1 kich1 kpp knp kcbt kbs".split()
MODIFICADAS = "kLFT kRIT kUP kDN kHOM kEND kDC kIC kPRV kNXT".split()
CAPACIDADES = set(BASICAS) | {f"kf{n}" for n in range(1, 25)} | {
    m + s for m in MODIFICADAS for s in ("", "3", "4", "5", "6", "7", "8")}
ESCAPES = {"E": b"\x1b", "e": b"\x1b", "n": b"\n", "r": b"\r", "t": b"\t", "b": b"\b", "f": b"\f", "s": b" ",
           "l": b"\n", "^": b"^", "\\": b"\\", ",": b",", ":": b":", "0": b"\x80"}


def bytes_de_terminfo(valor: str) -> bytes:
    """The bytes of a string capability as infocmp writes it."""
    salida, k = bytearray(), 0
    while k < len(valor):
        c = valor[k]
        if c == "\\":
            octal = re.match(r"[0-7]{3}", valor[k + 1:])
            if octal:
                salida.append(int(octal.group(), 8))
                k += 4
                continue
            salida += ESCAPES[valor[k + 1]]
            k += 2
        elif c == "^":
            siguiente = valor[k + 1]
            salida.append(0x7F if siguiente == "?" else ord(siguiente) & 0x1F)
            k += 2
        else:
            salida += c.encode()
            k += 1
    return bytes(salida)


def main():
    for familia in FAMILIAS:
        descripcion = subprocess.run(["infocmp", "-x", "-1", familia], capture_output=True, text=True,
                                     check=True).stdout
        for linea in descripcion.splitlines():
            campo = re.match(r"\s+([A-Za-z0-9]+)=(.*),$", linea)
            if campo and campo.group(1) in CAPACIDADES:
                print(familia, campo.group(1), bytes_de_terminfo(campo.group(2)).hex())


if __name__ == "__main__":
    sys.exit(main())
