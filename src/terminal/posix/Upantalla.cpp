#include "Upantalla.h"

#include <cstdio>

#include "Ubloque.h"
#include "Utabla850.h"

winsize PantallaTerminal::Medida() {
    winsize ventana{};
    if (ioctl(descriptor, TIOCGWINSZ, &ventana) != 0) ventana = {};
    return ventana;
}

std::size_t PantallaTerminal::Ancho() {
    const winsize ventana = Medida();
    return ventana.ws_col != 0 ? ventana.ws_col : kAnchoSupuesto;
}

std::size_t PantallaTerminal::Alto() {
    const winsize ventana = Medida();
    return ventana.ws_row != 0 ? ventana.ws_row : kAltoSupuesto;
}

void PantallaTerminal::Ir(std::ptrdiff_t filas, std::size_t columna) {
    char orden[64] = "\r";
    std::size_t largo = 1;
    const auto agregar = [&](std::size_t n, char final) {
        if (n > 0) largo += static_cast<std::size_t>(std::snprintf(orden + largo, sizeof orden - largo, "\x1b[%zu%c", n, final));
    };
    if (filas < 0) agregar(static_cast<std::size_t>(-filas), 'A');
    if (filas > 0) agregar(static_cast<std::size_t>(filas), 'B');
    agregar(columna, 'C');
    Escribir(orden);
}

void PantallaTerminal::Limpiar() { Escribir("\x1b[J"); }

void PantallaTerminal::Escribir(const char* ascii) {
    Tramo tramo(utf8);
    for (; *ascii != '\0'; ++ascii) tramo.Poner(static_cast<unsigned char>(*ascii));
    tramo.Entregar();
}

bool SumideroUtf8::Poner(const char32_t* simbolos, std::size_t n) {
    auto bloque = EnBloques<char>([&](const char* datos, std::size_t largo) {
        return destino.sputn(datos, static_cast<std::streamsize>(largo)) == static_cast<std::streamsize>(largo);
    });
    char utf8[3];
    for (std::size_t k = 0; k < n; ++k)
        for (std::size_t b = 0, m = CodificarUtf8(simbolos[k], utf8); b < m; ++b) bloque.Poner(utf8[b]);
    Borrar(utf8, sizeof utf8);
    return bloque.Entregar();
}
