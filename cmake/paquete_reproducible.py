#!/usr/bin/env python3
"""paquete_reproducible.py PAQUETE SEGUNDOS: makes a package written by cpack
depend on its files alone.

CMake 3.25 still lets the builder into two kinds of field. A ZIP's members get
the DOS time in the builder's time zone, extra fields with the owner's user
and group numbers, and the order of its file listing: the ZIP is written
again with its members in name order, each with SEGUNDOS (seconds since 1970,
SOURCE_DATE_EPOCH) as a UTC time, mode 0755 or 0644 after its execute bit,
and no extra fields. A .deb's ar members get their modes from the builder's
umask: each gets 0644, as dpkg-deb writes them.
"""
import sys
import time
import zipfile

ARMAG = b"!<arch>\n"


def zip_reproducible(archivo: str, segundos: int):
    fecha = time.gmtime(segundos)[:6]
    with zipfile.ZipFile(archivo) as origen:
        miembros = sorted((m.filename, m.external_attr >> 16, origen.read(m)) for m in origen.infolist())
    with zipfile.ZipFile(archivo, "w") as destino:
        for nombre, modo, datos in miembros:
            miembro = zipfile.ZipInfo(nombre, fecha)
            miembro.create_system = 3  # Unix: the mode below is read by unzip
            miembro.external_attr = (0o100755 if modo & 0o111 else 0o100644) << 16
            destino.writestr(miembro, datos, zipfile.ZIP_DEFLATED, 9)


def deb_reproducible(archivo: str):
    with open(archivo, "rb") as f:
        datos = bytearray(f.read())
    if not datos.startswith(ARMAG):
        sys.exit(f"{archivo}: no es un archivo ar")
    # Each member: a 60-byte header (name 16, time 12, user 6, group 6, mode 8,
    # size 10, "`\n"), its data, and a padding byte up to an even offset.
    posicion = len(ARMAG)
    while posicion < len(datos):
        cabecera = datos[posicion:posicion + 60]
        if len(cabecera) != 60 or cabecera[58:60] != b"`\n":
            sys.exit(f"{archivo}: cabecera ar dañada en el byte {posicion}")
        datos[posicion + 40:posicion + 48] = b"100644  "
        tamano = int(cabecera[48:58])
        posicion += 60 + tamano + tamano % 2
    with open(archivo, "wb") as f:
        f.write(datos)


paquete, segundos = sys.argv[1], int(sys.argv[2])
if paquete.endswith(".zip"):
    zip_reproducible(paquete, segundos)
elif paquete.endswith(".deb"):
    deb_reproducible(paquete)
else:
    sys.exit(f"{paquete}: no sé hacerlo reproducible")
