#!/usr/bin/env python3
"""The Windows program on a console, under Wine in a tmux pane: Wine's console
takes the code page from LANG (437 with C.UTF-8, 850 with es_ES.UTF-8) and the
program must show and read the same characters with both.

consola_wine.py EMULADOR... CIFRADOR.EXE REDIMENSIONAR.EXE
(EMULADOR: the command that runs them under Wine; REDIMENSIONAR: the test
tool that runs the program and changes the console's width on request)

Per code page: a menu answer that wraps, edited with Home, Delete, End and
Backspace; keys with no editing meaning that must type nothing (function
keys, PgUp, PgDn, Insert, Ctrl-Home, Alt-x), and the key typed with the
editing keys of a POSIX terminal; a Spanish line with accents enciphered, its cipher text checked
against the same program's output through a pipe (which the end-to-end tests
compare with Linux byte for byte) and the notice for the "€" it lacks, then
pasted back and deciphered; the Up
arrow at each line and key prompt, which must bring back nothing (a recalled
line would change the key); and Ctrl-Z Enter (code page 437) or Ctrl-D (850)
at the menu, which ends with status 0. Then once more with the output going
to a file: no notice on the console, the cipher text's bytes in the file;
and to /dev/full, which stops the dialogue at its first question. The
terminal closed under the console at the menu, SIGHUP ignored: a failed read,
said.
Then the script of modified keys the Linux tmux test types
(datos/teclas-modificadas.txt), which must give the same line here. Last, a
line taller than the window edited at its start, and a wrapped line through
changes of the console's width: each time on the screen once, the cursor on
its byte. tmux sends Home and End as ESC [1~ and ESC [4~, which Wine's console
does not decode, so they are typed as the xterm sequences ESC [H and ESC [F.
"""
import os
import random
import re
import shlex
import subprocess
import sys
import tempfile
import time

*EMULADOR, CIFRADOR, REDIMENSIONAR = sys.argv[1:]
LINEA = "¿Canción del pingüino? ¡Sí, señor! Ñandú 100 €"
CLAVE = "clave"
INICIO, FIN = "\x1b[H", "\x1b[F"


def mostrado(datos: bytes) -> str:
    """What the screen shows for a line of data: code page 850, control
    pictures, the program's stand-ins for 127, 240 and 255, and ␠ for each
    space that ends it."""
    propios = {0x7F: "⌂", 0xF0: "‐", 0xFF: "⍽"}
    cuerpo = datos.rstrip(b" ")
    texto = "".join(propios.get(b) or (chr(0x2400 + b) if b < 32 else bytes([b]).decode("cp850")) for b in cuerpo)
    return texto + "␠" * (len(datos) - len(cuerpo))


def cifrado_por_tuberia(linea: bytes, clave: str = CLAVE) -> bytes:
    entrada = b"c\n" + linea + b"\n" + clave.encode() + b"\nn\ns\n"
    salida = subprocess.run([*EMULADOR, CIFRADOR], input=entrada, capture_output=True, check=True).stdout
    return salida.split(b"Cadena cifrada: \r\n", 1)[1].split(b"\r\n", 1)[0]


def windows(ruta: str) -> str:
    """A path of this machine as Wine's programs see it, on drive Z:."""
    return "Z:" + os.path.abspath(ruta).replace("/", "\\")


class Panel:
    def __init__(self, lang: str, directorio: str, salida: str = "", filas: int = 40, anchos: str = ""):
        self.socket = os.path.join(directorio, lang + salida.replace("/", "_") + ("-anchos" if anchos else ""))
        redireccion = f" > {shlex.quote(salida)}" if salida else ""
        programa = [*EMULADOR, REDIMENSIONAR, windows(anchos), windows(CIFRADOR)] if anchos else [*EMULADOR, CIFRADOR]
        orden = (f"stty susp undef; env LANG={lang} {shlex.join(programa)}{redireccion}; "
                 "echo ESTADO=$?; sleep 60")
        self.tmux("new-session", "-d", "-x", "60", "-y", str(filas), orden)

    def tmux(self, *argumentos: str) -> str:
        return subprocess.run(["tmux", "-u", "-f", "/dev/null", "-S", self.socket, *argumentos],
                              capture_output=True, text=True, check=True).stdout

    def teclas(self, *teclas: str):
        for t in teclas:
            self.tmux("send-keys", "-l", t) if len(t) == 1 or t[0] == "\x1b" else self.tmux("send-keys", t)

    def escribir(self, texto: str):
        self.tmux("send-keys", "-l", texto)

    def pegar(self, texto: str, tal_cual: bool = False):
        self.tmux("set-buffer", texto)
        # tmux makes each LF of a paste a CR unless told to leave it.
        self.tmux("paste-buffer", *(["-r"] if tal_cual else []))

    # The screen's rows, without their trailing blanks.
    def pantalla(self) -> list[str]:
        return self.tmux("capture-pane", "-p").split("\n")

    def cursor(self) -> tuple[int, int]:
        x, y = self.tmux("display-message", "-p", "#{cursor_x} #{cursor_y}").split()
        return int(x), int(y)

    def esperar(self, texto: str, veces: int = 1) -> list[str]:
        limite = time.monotonic() + 30
        while sum(l.count(texto) for l in self.pantalla()) < veces:
            if time.monotonic() > limite:
                raise AssertionError(f"no aparece {texto!r}:\n" + "\n".join(self.pantalla()))
            time.sleep(0.05)
        return self.pantalla()


def probar(lang: str, directorio: str, esperado: str, fin: tuple[str, ...]):
    panel = Panel(lang, directorio)
    try:
        panel.esperar("(S)alir?:")
        # Wrapped past the 60 columns; edited back into "cifrar…".
        panel.escribir("xifrar" + "y" * 60 + "z")
        panel.teclas(INICIO, "DC", "c", FIN, "BSpace", "Enter")
        panel.esperar("interpretar:")
        panel.teclas("Up", "F7", "F5", "F12", "PPage", "NPage", "IC", "C-Home", "M-x")
        panel.escribir(LINEA)
        # Shown as typed, before Enter.
        panel.esperar(LINEA.replace("€", "?"))
        panel.teclas("Enter")
        panel.esperar("clave:")
        # The editing keys of a POSIX terminal, the same here: Ctrl-U, Ctrl-A,
        # Ctrl-E, Ctrl-W, Ctrl-H, Ctrl-B, Ctrl-F, Ctrl-K.
        panel.escribir("xx")
        panel.teclas("Up", "C-u")
        panel.escribir("cla")
        panel.teclas("C-a", "C-e")
        panel.escribir("ve " + "o" * 70)
        panel.esperar("o" * 10)
        panel.teclas("C-w")
        time.sleep(0.5)
        # What the editing took out, two rows of it, is gone from the screen.
        fila = panel.pantalla()
        clave = fila.index("Escriba la clave:") + 1
        assert fila[clave:clave + 2] == ["clave", ""], fila
        panel.teclas("C-h", "C-b", "C-b", "C-f", "C-f", "C-k")
        panel.teclas("Enter")
        lineas = panel.esperar("s/n:")
        assert lineas[0] == "(C)ifrar/(D)escifrar/(S)alir?: cifrar" + "y" * 23, lineas[0]
        assert lineas[1] == "y" * 37, lineas[1]
        assert lineas[3] == LINEA.replace("€", "?"), lineas[3]
        # The notice wraps at the pane's 60 columns.
        aviso = "Aviso: 1 carácter sin equivalente en la página 850 se leyó como «?»."
        assert lineas[4] + lineas[5] == aviso, lineas[4:6]
        cifrada = lineas.index("Cadena cifrada:") + 1
        assert lineas[cifrada] == esperado, (lineas[cifrada], esperado)

        panel.teclas("n", "Enter")
        panel.esperar("(S)alir?:", 2)
        panel.teclas("d", "Enter")
        panel.esperar("interpretar:", 2)
        # Pasted with its CR LF, as copied from a Windows document: one line end.
        panel.pegar(esperado + "\r\n", tal_cual=True)
        panel.esperar("clave:", 2)
        panel.teclas("Up", "Up")
        panel.escribir(CLAVE)
        panel.teclas("Enter")
        lineas = panel.esperar("s/n:", 2)
        original = lineas.index("Cadena original:") + 1
        assert lineas[original] == LINEA.replace("€", "?"), lineas[original]

        panel.teclas("n", "Enter")
        panel.esperar("(S)alir?:", 3)
        panel.teclas(*fin)
        panel.esperar("ESTADO=")
        assert "ESTADO=0" in panel.pantalla(), panel.pantalla()
        print(f"{lang}: bien")
    finally:
        subprocess.run(["tmux", "-S", panel.socket, "kill-server"], capture_output=True)


def probar_salida_a_archivo(directorio: str, esperado: str):
    """Output to a file: the keys are still edited and echoed on the console,
    the file gets the cipher text's bytes, and no notice shows anywhere."""
    archivo = os.path.join(directorio, "salida")
    panel = Panel("C.UTF-8", directorio, archivo)
    try:
        time.sleep(2)
        panel.teclas("c", "Enter")
        panel.escribir(LINEA)
        panel.teclas("Enter")
        panel.escribir(CLAVE)
        panel.teclas("Enter", "n", "Enter", "s", "Enter")
        lineas = panel.esperar("ESTADO=0")
        assert LINEA.replace("€", "?") in lineas, lineas
        assert not any("Aviso" in l for l in lineas), lineas
        with open(archivo, "rb") as f:
            cifrado = re.split(rb"Cadena cifrada: \r?\n", f.read())[1].split(b"\n")[0].rstrip(b"\r")
        assert mostrado(cifrado) == esperado, (mostrado(cifrado), esperado)
        print("salida a un archivo: bien")
    finally:
        subprocess.run(["tmux", "-S", panel.socket, "kill-server"], capture_output=True)


def probar_salida_llena(directorio: str):
    """Output that cannot be written (/dev/full), the keys from the console:
    the dialogue stops at its first question, with no key awaited, and says
    why."""
    panel = Panel("C.UTF-8", directorio, "/dev/full")
    try:
        lineas = panel.esperar("ESTADO=1")
        assert "cifrador: no se pudo escribir la salida estandar" in lineas, lineas
        print("salida llena: bien")
    finally:
        subprocess.run(["tmux", "-S", panel.socket, "kill-server"], capture_output=True)


def probar_consola_perdida(directorio: str):
    """The terminal under Wine's console closed while the program waits at
    the menu, SIGHUP ignored: the console cannot be read any more, which is
    said, with status 1."""
    errores, estado = os.path.join(directorio, "errores"), os.path.join(directorio, "estado")
    tmux = ["tmux", "-u", "-f", "/dev/null", "-S", os.path.join(directorio, "perdida")]
    orden = (f"trap '' HUP; env LANG=C.UTF-8 {shlex.join([*EMULADOR, CIFRADOR])} 2>{shlex.quote(errores)}; "
             f"echo $? > {shlex.quote(estado)}")
    subprocess.run([*tmux, "new-session", "-d", "-x", "60", "-y", "20", orden], check=True)
    try:
        pantalla = lambda: subprocess.run([*tmux, "capture-pane", "-p"], capture_output=True, text=True).stdout
        assert hasta(lambda: "(S)alir?:" in pantalla()), pantalla()
    finally:
        subprocess.run([*tmux, "kill-server"], capture_output=True)
    assert hasta(lambda: os.path.exists(estado) and open(estado).read().strip() != ""), "el programa no acaba"
    with open(estado) as e, open(errores) as f:
        codigo, dicho = e.read(), f.read()
    assert codigo == "1\n", codigo
    assert dicho.startswith("cifrador: no se pudo leer la entrada estandar: "), dicho
    print("consola perdida: bien")


def probar_teclas_modificadas(directorio: str):
    """The script of modified keys the Linux tmux test types too: the same line."""
    panel = Panel("C.UTF-8", directorio)
    try:
        panel.esperar("(S)alir?:")
        panel.teclas("c", "Enter")
        panel.esperar("interpretar:")
        linea = b""
        with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "datos", "teclas-modificadas.txt")) as f:
            for renglon in f:
                tipo, _, resto = renglon.rstrip("\n").partition(" ")
                if tipo == "texto":
                    panel.escribir(resto)
                elif tipo == "tecla":
                    panel.tmux("send-keys", resto)
                elif tipo == "linea":
                    linea = bytes.fromhex(resto)
        panel.teclas("Enter")
        panel.esperar("clave:")
        panel.teclas("k", "Enter")
        lineas = panel.esperar("s/n:")
        cifrada = lineas.index("Cadena cifrada:") + 1
        esperado = mostrado(cifrado_por_tuberia(linea, "k"))
        assert lineas[cifrada] == esperado, (lineas[cifrada], esperado)
        panel.teclas("n", "Enter", "s", "Enter")
        panel.esperar("ESTADO=0")
        print("teclas modificadas: bien")
    finally:
        subprocess.run(["tmux", "-S", panel.socket, "kill-server"], capture_output=True)


def hasta(condicion, segundos: float = 15) -> bool:
    limite = time.monotonic() + segundos
    while not condicion():
        if time.monotonic() > limite:
            return False
        time.sleep(0.05)
    return True


def probar_pantalla(directorio: str):
    """A line taller than the 60 x 24 window, edited at its start; a wrapped
    line through widths of 40, 25, 60 and 50 columns."""
    anchos = os.path.join(directorio, "anchos")
    os.makedirs(anchos, exist_ok=True)
    panel = Panel("C.UTF-8", directorio, filas=24, anchos=anchos)
    try:
        panel.esperar("(S)alir?:")
        panel.teclas("c", "Enter")
        panel.esperar("interpretar:")
        # Letters with no period, so that each row of it is its own.
        azar = random.Random(7)
        largo = "".join(azar.choice("abcdefghijklmnopqrstuvwxyz") for _ in range(2000))
        panel.pegar(largo)
        # The rows about the cursor, at the end: the screen's, to its top.
        partes = [largo[k:k + 60] for k in range(0, len(largo), 60)]
        assert hasta(lambda: [f for f in panel.pantalla() if f] == partes[-24:]), panel.pantalla()
        assert panel.cursor() == (len(largo) % 60, 23), panel.cursor()
        panel.teclas(INICIO, "A", "C-k", "h", "o", "l", "a")
        assert hasta(lambda: "Ahola" in panel.pantalla()), panel.pantalla()
        filas = panel.pantalla()
        fila = filas.index("Ahola")
        assert all(f == "" for f in filas[fila + 1:]), filas
        assert panel.cursor() == (5, fila), (panel.cursor(), fila)
        panel.teclas("Enter")
        panel.esperar("clave:")
        panel.teclas("k", "Enter")
        lineas = panel.esperar("s/n:")
        cifrada = lineas.index("Cadena cifrada:") + 1
        assert lineas[cifrada] == mostrado(cifrado_por_tuberia(b"Ahola", "k")), lineas[cifrada]
        panel.teclas("n", "Enter")
        assert hasta(lambda: [f for f in panel.pantalla() if f][-1] == "(C)ifrar/(D)escifrar/(S)alir?:"), panel.pantalla()

        prompt, respuesta = "(C)ifrar/(D)escifrar/(S)alir?: ", "cifrar" + "x" * 100
        panel.escribir(respuesta)
        panel.teclas("Left", "Left", "Left")
        texto, cursor = prompt + respuesta, len(prompt + respuesta) - 3
        for ancho in (40, 25, 60, 50):
            peticion = os.path.join(anchos, f"ancho-{ancho}")
            open(peticion, "w").close()
            assert hasta(lambda: not os.path.exists(peticion)), "la consola no cambió de ancho"
            panel.teclas("Up")  # a key that does nothing: the console's change shows there
            partes = [texto[k:k + ancho] for k in range(0, len(texto), ancho)]

            def una_vez() -> bool:
                # The line's rows from the last one that starts it, and
                # nothing of it above them.
                filas = [f[:ancho].rstrip() for f in panel.pantalla()]
                primeras = [k for k in range(len(filas)) if filas[k:k + len(partes)] == partes]
                if not primeras:
                    return False
                primera = primeras[-1]
                encima = filas[:primera]
                return (not any("cifrarx" in f or (f and set(f) == {"x"}) for f in encima) and
                        panel.cursor() == (cursor % ancho, primera + cursor // ancho))
            assert hasta(una_vez), (ancho, panel.pantalla(), panel.cursor())
        panel.teclas("Y", "Enter")
        assert hasta(lambda: [f for f in panel.pantalla() if f][-1] == "Escriba la linea a interpretar:"), panel.pantalla()
        panel.teclas("C-d")
        panel.esperar("Debe escribir")
        panel.teclas("C-z", "Enter")
        panel.esperar("ESTADO=0")
        print("pantalla: bien")
    finally:
        subprocess.run(["tmux", "-S", panel.socket, "kill-server"], capture_output=True)


def main():
    esperado = mostrado(cifrado_por_tuberia(LINEA.replace("€", "?").encode("cp850")))
    disponibles = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.lower().split()
    with tempfile.TemporaryDirectory(prefix="cifrador-wine-") as directorio:
        probar("C.UTF-8", directorio, esperado, ("C-z", "Enter"))
        if "es_es.utf8" in disponibles:
            probar("es_ES.UTF-8", directorio, esperado, ("C-d",))
        else:
            print("es_ES.UTF-8 no está generado: la página 850 no se prueba")
        probar_salida_a_archivo(directorio, esperado)
        probar_salida_llena(directorio)
        probar_consola_perdida(directorio)
        probar_teclas_modificadas(directorio)
        probar_pantalla(directorio)


main()
