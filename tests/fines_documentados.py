#!/usr/bin/env python3
"""What the README and the manual say the program writes at the end of a
line, checked against what it writes.

fines_documentados.py PLATAFORMA README MANUAL EJECUTAR...

PLATAFORMA is Linux or Windows, what the program was built for; EJECUTAR the
command that runs it (on Windows, the emulator first). Each document must say
at least once, in these words, what the fourth line of the output is, with
its line end, for the answers c, Hola mundo, clave, n and s given through a
pipe: "… los bytes 93 … 0a en Linux y 93 … 0d 0a en Windows". The program
must write the bytes given for its platform there; on Windows, with the
answers' lines ending in LF and in CR LF (as cmd's echo and type and Notepad
write them) alike. The manual is read as groff renders it for a terminal.
"""
import re
import subprocess
import sys

HEX = r"((?:[0-9a-f]{2} )+[0-9a-f]{2})"
AFIRMACION = re.compile(HEX + r" en Linux y " + HEX + r" en Windows")
RESPUESTAS = ["c", "Hola mundo", "clave", "n", "s"]


def texto(ruta: str) -> str:
    """The document as a reader sees it, its white space runs made single
    blanks: Markdown without its code marks, the manual rendered (and its
    words hyphenated at a line's end joined again)."""
    if ruta.endswith(".1"):
        leido = subprocess.run(["groff", "-K", "utf8", "-man", "-Tutf8", "-P-cbou", ruta],
                               capture_output=True, check=True).stdout.decode()
        leido = re.sub("\u2010\n *", "", leido)
    else:
        with open(ruta, encoding="utf-8") as f:
            leido = f.read().replace("`", "")
    return " ".join(leido.split())


def cuarta_linea(ejecutar: list[str], fin: bytes) -> bytes:
    entrada = b"".join(r.encode() + fin for r in RESPUESTAS)
    hecho = subprocess.run(ejecutar, input=entrada, capture_output=True, check=True)
    return hecho.stdout.splitlines(keepends=True)[3]


def main() -> int:
    plataforma, *documentos = sys.argv[1:4]
    ejecutar = sys.argv[4:]
    fines = [b"\n"] if plataforma == "Linux" else [b"\n", b"\r\n"]
    escritas = {fin: cuarta_linea(ejecutar, fin).hex(" ") for fin in fines}
    fallos = []
    for documento in documentos:
        afirmaciones = AFIRMACION.findall(texto(documento))
        if not afirmaciones:
            fallos.append(f"{documento}: no dice qué bytes acaban la cuarta línea")
        for linux, windows in afirmaciones:
            dicho = linux if plataforma == "Linux" else windows
            for fin, escrito in escritas.items():
                if escrito != dicho:
                    fallos.append(f"{documento} dice {dicho} en {plataforma}; con las respuestas en "
                                  f"{fin!r} el programa escribe {escrito}")
    for fallo in fallos:
        print(fallo)
    return 1 if fallos else 0


sys.exit(main())
