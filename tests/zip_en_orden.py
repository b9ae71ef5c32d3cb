#!/usr/bin/env python3
"""cmake/paquete_reproducible.py on ZIPs that hold the same files listed in
other orders, as cpack takes them from the order in which a file system lists
a folder: each must come out with its members in name order, and all of them
as the same bytes. Two builds on one file system list alike, so the
comparison of two builds in .ci/run cannot see an order left to the file
system; this can.

zip_en_orden.py PAQUETE_REPRODUCIBLE.PY
"""
import os
import subprocess
import sys
import tempfile
import zipfile

# The ZIP's files; their contents stand in for the real ones.
ARCHIVOS = {
    "LICENCIAS-TERCEROS.txt": b"avisos",
    "LICENSE": b"licencia",
    "README.md": b"# cifrador",
    "cifrador.exe": b"MZ",
    "cifrador.txt": b"manual",
}
ORDENES = {
    "en orden": sorted(ARCHIVOS),
    "al reves": list(reversed(ARCHIVOS)),
    "mezclado": ["cifrador.txt", "LICENSE", "cifrador.exe", "LICENCIAS-TERCEROS.txt", "README.md"],
}


def main() -> int:
    guion = sys.argv[1]
    hechos = {}
    with tempfile.TemporaryDirectory() as carpeta:
        for nombre_orden, orden in ORDENES.items():
            ruta = os.path.join(carpeta, nombre_orden.replace(" ", "-") + ".zip")
            with zipfile.ZipFile(ruta, "w") as zip_cpack:
                for nombre in orden:
                    zip_cpack.writestr(nombre, ARCHIVOS[nombre])
            subprocess.run([sys.executable, guion, ruta, "1700000000"], check=True)
            with zipfile.ZipFile(ruta) as hecho:
                miembros = hecho.namelist()
            with open(ruta, "rb") as f:
                hechos[nombre_orden] = (miembros, f.read())
    fallos = [f"{orden}: los miembros quedan {miembros}"
              for orden, (miembros, _) in hechos.items() if miembros != sorted(ARCHIVOS)]
    bytes_distintos = {datos for _, datos in hechos.values()}
    if len(bytes_distintos) != 1:
        fallos.append(f"los {len(hechos)} órdenes dan {len(bytes_distintos)} ZIP distintos")
    for fallo in fallos:
        print(fallo)
    return 1 if fallos else 0


sys.exit(main())
