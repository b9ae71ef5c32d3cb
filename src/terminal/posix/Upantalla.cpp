#include "Upantalla.h"

#include <cstdio>

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
