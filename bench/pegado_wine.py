#!/usr/bin/env python3
"""Times a paste into the Windows program's console under Wine, beside cmd's own line input.

For each size (2,000, 10,000 and 100,000 characters by default) makes a line
of random lowercase letters, digits and spaces and pastes it, followed by
Enter, into an 80x24 tmux pane running, under Wine, either cifrador.exe at its
"Escriba la linea a interpretar: " prompt or Wine's cmd at
`set /p v=Escriba: ` (the console's own line input, which cmd uses). A round
times one program from the moment tmux is told to paste the line and press
Enter until the program's next output shows in the pane: "Escriba la clave:"
for cifrador, "LISTO" for cmd. Rounds alternate between the two programs (3
of each per size by default); the script prints each one's median seconds,
the ratio cifrador/cmd and every round's time. A round that has not finished
within the time limit (300 s by default) counts as "no terminó" and ends that
program's rounds at that size.

The pane is polled with `tmux capture-pane` every 10 ms (--intervalo), and
each capture is a tmux client of its own, some 10 ms on the loaded machine
below. So a time is late by up to one interval plus two captures, some 30 ms
there: small beside the larger pastes, while at 2,000 characters both
programs take about that much and the ratio says little.

Each paste is checked outside the timed part. Once per size, cifrador gets
the same paste with its output going to a file (the line is still read and
shown on the console), is answered a key, and the cipher line in the file
must be, byte for byte, what the same program writes for the same line and
key when both come through a pipe: the whole line was read, nothing dropped.
In every cmd round, cmd then writes what `set /p` kept to a file, which must
be the start of the line: Wine's cmd keeps at most 8,191 characters of a
line, so the script prints how many it kept.

The two are not drawn alike. Wine's console shows what cooked-mode input
echoes only up to the bottom of the window and never scrolls it: cmd's pane
shows at most the 1,911 characters that fit after its prompt, whereas
cifrador's editor shows the whole line, scrolling. cmd's time still covers
its console taking in every pasted character up to the Enter.

Run from the repository root after the Windows build (the Wine prefix is
made on first use, which takes a while):

    cmake --preset windows && cmake --build --preset windows
    python3 bench/pegado_wine.py
    python3 bench/pegado_wine.py --tamanos 2000 10000 --rondas 5 --limite 120

Measured on the development machine (Wine 8.0, tmux 3.3a, 2 CPUs, load
average about 1), median seconds of 3 rounds of each, the editor reading up
to 8,192 console events at once and refreshing the screen once per read,
drawing at most the window's rows:

    caracteres  cifrador    cmd   cifrador/cmd
         2000     0.054   0.260   0.21
        10000     0.126   0.309   0.41
       100000     1.000   0.321   3.11

Reading one event per call, as the program did before, the same machine took
3.34 s for 2,000 characters (13 times cmd) and 15.3 s for 10,000 (68 times).
"""

import argparse
import itertools
import os
import random
import shlex
import statistics
import subprocess
import sys
import tempfile
import time

# Lowercase only: the texts the rounds wait for ("Escriba la clave:", "LISTO",
# "s/n:") have a capital or a colon, so the pasted line can never fake them.
ALFABETO = "abcdefghijklmnopqrstuvwxyz0123456789 "
CABECERA_CIFRADA = b"Cadena cifrada: \r\n"


def Linea(caracteres, semilla):
    """Random characters of ALFABETO, with no space at either end (cmd's
    `set /p` and the screen would both hide where a line of blanks ends)."""
    azar = random.Random(semilla)
    cuerpo = "".join(azar.choices(ALFABETO, k=caracteres))
    return "a" + cuerpo[1:-1] + "z" if caracteres > 1 else "a" * caracteres


def Esperar(condicion, limite, intervalo):
    """Polls `condicion` until it holds (answers True) or the monotonic clock
    passes `limite` (answers False)."""
    while not condicion():
        if time.monotonic() > limite:
            return False
        time.sleep(intervalo)
    return True


class Panel:
    """One tmux server with one 80x24 pane running `orden` under Wine."""

    numero = itertools.count()

    def __init__(self, dir, wine, prefijo, orden, salida=None):
        # A socket of its own: the last panel's server may still be going
        # away on the old one.
        self.socket = os.path.join(dir, f"tmux{next(Panel.numero)}")
        redireccion = f" > {shlex.quote(salida)}" if salida else ""
        linea_orden = (f"env LANG=C.UTF-8 {shlex.join([wine, prefijo, *orden])}{redireccion}; "
                       "echo ESTADO=$?; sleep 3600")
        self.tmux("new-session", "-d", "-x", "80", "-y", "24", linea_orden)

    def tmux(self, *argumentos, entrada=None):
        return subprocess.run(["tmux", "-u", "-f", "/dev/null", "-S", self.socket, *argumentos],
                              input=entrada, capture_output=True, text=True, check=True).stdout

    def muestra(self, texto):
        return texto in self.tmux("capture-pane", "-p")

    def cerrar(self):
        # Ends the pane's shell and, through the hangup, whatever Wine program
        # is still running in it (one that did not finish in time).
        subprocess.run(["tmux", "-S", self.socket, "kill-server"], capture_output=True)


def Pegar(panel, linea, fin, limite, intervalo):
    """Pastes the line and Enter; answers the seconds until `fin` shows in
    the pane, or None if it does not by `limite`."""
    # Loaded from standard input: tmux refuses a set-buffer argument of
    # 100,000 characters.
    panel.tmux("load-buffer", "-", entrada=linea)
    inicio = time.perf_counter()
    # One client for both, so nothing of ours comes between the paste and
    # the Enter.
    panel.tmux("paste-buffer", ";", "send-keys", "Enter")
    if not Esperar(lambda: panel.muestra(fin), time.monotonic() + limite, intervalo):
        return None
    return time.perf_counter() - inicio


def RondaCifrador(args, dir, linea):
    panel = Panel(dir, args.wine, args.prefijo, [args.cifrador])
    try:
        limite = time.monotonic() + args.limite
        if not Esperar(lambda: panel.muestra("(S)alir?:"), limite, args.intervalo):
            sys.exit("pegado_wine: cifrador no mostró el menú")
        panel.tmux("send-keys", "c", "Enter")
        if not Esperar(lambda: panel.muestra("interpretar:"), limite, args.intervalo):
            sys.exit("pegado_wine: cifrador no pidió la línea")
        return Pegar(panel, linea, "Escriba la clave:", args.limite, args.intervalo)
    finally:
        panel.cerrar()


def RondaCmd(args, dir, linea):
    """One cmd round; answers (seconds or None, characters `set /p` kept)."""
    guardado = os.path.join(dir, "guardado.txt")
    if os.path.exists(guardado):
        os.remove(guardado)
    # Delayed expansion (!v!): %v% would be expanded when the whole line is
    # read, before `set /p` runs. The file is written after LISTO shows, so
    # outside the time.
    orden = ["cmd", "/v:on", "/c",
             "set /p v=Escriba: & echo LISTO & >Z:" + guardado.replace("/", "\\") + " echo !v!"]
    panel = Panel(dir, args.wine, args.prefijo, orden)
    try:
        if not Esperar(lambda: panel.muestra("Escriba:"), time.monotonic() + args.limite, args.intervalo):
            sys.exit("pegado_wine: cmd no mostró su pregunta")
        segundos = Pegar(panel, linea, "LISTO", args.limite, args.intervalo)
        if segundos is None:
            return None, None
        if not Esperar(lambda: panel.muestra("ESTADO="), time.monotonic() + args.limite, args.intervalo):
            sys.exit("pegado_wine: cmd no terminó tras LISTO")
    finally:
        panel.cerrar()
    with open(guardado, "rb") as f:
        conservado = f.read().decode("ascii").rstrip("\r\n")
    if not conservado or not linea.startswith(conservado):
        sys.exit(f"pegado_wine: cmd guardó algo que no es el principio de la línea ({len(conservado)} caracteres)")
    return segundos, len(conservado)


def CifradaPorTuberia(args, linea):
    entrada = b"c\n" + linea.encode("ascii") + b"\n" + args.clave.encode() + b"\nn\ns\n"
    salida = subprocess.run([args.wine, args.prefijo, args.cifrador], input=entrada,
                            capture_output=True, check=True).stdout
    return salida.split(CABECERA_CIFRADA, 1)[1].split(b"\r\n", 1)[0]


def Comprobar(args, dir, linea):
    """The paste once more with cifrador's output in a file, where its
    prompts go too; answers whether the cipher line there is the pipe's."""
    archivo = os.path.join(dir, "salida")
    panel = Panel(dir, args.wine, args.prefijo, [args.cifrador], salida=archivo)

    def Escrito(texto):
        try:
            with open(archivo, "rb") as f:
                return texto.encode() in f.read()
        except FileNotFoundError:
            return False

    try:
        limite = time.monotonic() + args.limite
        for pregunta, respuesta in (("(S)alir?:", "c"), ("interpretar:", None), ("clave:", args.clave)):
            if not Esperar(lambda: Escrito(pregunta), limite, args.intervalo):
                sys.exit(f"pegado_wine: comprobación: cifrador no escribió {pregunta!r}")
            if respuesta is None:
                panel.tmux("load-buffer", "-", entrada=linea)
                panel.tmux("paste-buffer", ";", "send-keys", "Enter")
            else:
                panel.tmux("send-keys", "-l", respuesta)
                panel.tmux("send-keys", "Enter")
        if not Esperar(lambda: Escrito("s/n:"), limite, args.intervalo):
            sys.exit("pegado_wine: comprobación: cifrador no mostró la línea cifrada")
    finally:
        panel.cerrar()
    with open(archivo, "rb") as f:
        cifrada = f.read().split(CABECERA_CIFRADA, 1)[1].split(b"\r\n", 1)[0]
    return cifrada == CifradaPorTuberia(args, linea)


def Mediana(tiempos):
    hechos = [t for t in tiempos if t is not None]
    return statistics.median(hechos) if hechos else None


def Texto(segundos):
    return "no terminó" if segundos is None else f"{segundos:.3f}"


def main():
    raiz = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    compilacion = os.path.join(raiz, "build-windows")
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--cifrador", default=os.path.join(compilacion, "cifrador.exe"))
    p.add_argument("--prefijo", default=os.path.join(compilacion, "wine"),
                   help="prefijo de Wine (se crea la primera vez)")
    p.add_argument("--wine", default=os.path.join(raiz, "cmake", "wine.sh"),
                   help="orden que ejecuta un programa de Windows: WINE PREFIJO PROGRAMA...")
    p.add_argument("--tamanos", type=int, nargs="+", default=[2000, 10000, 100000],
                   help="caracteres de cada línea pegada")
    p.add_argument("--rondas", type=int, default=3, help="rondas de cada programa por tamaño")
    p.add_argument("--limite", type=float, default=300, help="segundos como máximo por ronda")
    p.add_argument("--intervalo", type=float, default=0.01, help="segundos entre dos miradas al panel")
    p.add_argument("--clave", default="clave")
    p.add_argument("--semilla", type=int, default=1)
    args = p.parse_args()
    args.cifrador, args.prefijo = os.path.abspath(args.cifrador), os.path.abspath(args.prefijo)
    os.makedirs(args.prefijo, exist_ok=True)

    # The load average, because a few tenths of a second under Wine move
    # with whatever else the machine runs.
    print(f"pegado en un panel de 80x24 bajo Wine, {args.rondas} rondas alternas de cada programa, "
          f"límite {args.limite:g} s por ronda, carga media {os.getloadavg()[0]:.1f} "
          f"en {os.cpu_count()} CPU")
    print(f"{'caracteres':>10} {'cifrador s':>11} {'cmd s':>9} {'cociente':>9}   "
          "tiempos cifrador | cmd (s)   cmd guardó")
    for caracteres in args.tamanos:
        linea = Linea(caracteres, args.semilla)
        tiempos = {"cifrador": [], "cmd": []}
        guardados = set()
        with tempfile.TemporaryDirectory(prefix="pegado-wine-") as dir:
            for ronda in range(args.rondas):
                # Alternate which program goes first, so that neither always
                # meets the other's leftovers (a wineserver still ending,
                # CPU frequency).
                orden = ["cifrador", "cmd"] if ronda % 2 == 0 else ["cmd", "cifrador"]
                for nombre in orden:
                    if None in tiempos[nombre]:
                        continue
                    if nombre == "cifrador":
                        tiempos[nombre].append(RondaCifrador(args, dir, linea))
                    else:
                        segundos, guardado = RondaCmd(args, dir, linea)
                        tiempos[nombre].append(segundos)
                        if guardado is not None:
                            guardados.add(guardado)
            if any(t is not None for t in tiempos["cifrador"]) and not Comprobar(args, dir, linea):
                sys.exit(f"pegado_wine: con {caracteres} caracteres, la línea cifrada en la consola "
                         "no es la de la tubería: cifrador no leyó la línea entera")
        m_c, m_r = Mediana(tiempos["cifrador"]), Mediana(tiempos["cmd"])
        cociente = f"{m_c / m_r:.2f}" if m_c is not None and m_r is not None else "-"
        print(f"{caracteres:>10} {Texto(m_c):>11} {Texto(m_r):>9} {cociente:>9}   "
              + " ".join(Texto(t) for t in tiempos["cifrador"]) + " | "
              + " ".join(Texto(t) for t in tiempos["cmd"]) + "   "
              + ",".join(str(g) for g in sorted(guardados)))
        sys.stdout.flush()
    print("cifrador: la línea cifrada en la consola es la de la tubería en cada tamaño que terminó")


if __name__ == "__main__":
    main()
