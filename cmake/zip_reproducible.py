#!/usr/bin/env python3
"""zip_reproducible.py ARCHIVO.zip SEGUNDOS: writes a ZIP again so that its
bytes depend on its files alone.

CMake 3.25 gives each member the DOS time in the builder's time zone, extra
fields with the owner's user and group numbers, and the order of its file
listing. Here the members go in name order, each with SEGUNDOS (seconds since
1970, SOURCE_DATE_EPOCH) as a UTC time, mode 0755 or 0644 after its execute
bit, and no extra fields.
"""
import sys
import time
import zipfile

archivo, segundos = sys.argv[1], int(sys.argv[2])
fecha = time.gmtime(segundos)[:6]
with zipfile.ZipFile(archivo) as origen:
    miembros = sorted((m.filename, m.external_attr >> 16, origen.read(m)) for m in origen.infolist())
with zipfile.ZipFile(archivo, "w") as destino:
    for nombre, modo, datos in miembros:
        miembro = zipfile.ZipInfo(nombre, fecha)
        miembro.create_system = 3  # Unix: the mode below is read by unzip
        miembro.external_attr = (0o100755 if modo & 0o111 else 0o100644) << 16
        destino.writestr(miembro, datos, zipfile.ZIP_DEFLATED, 9)
