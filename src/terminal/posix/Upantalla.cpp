#include "Upantalla.h"

#include <sys/ioctl.h>

#include <cstdio>

namespace {

constexpr std::size_t kAnchoSupuesto = 80;

}  // namespace

std::size_t PantallaTerminal::Ancho() {
    winsize ventana{};
    if (ioctl(descriptor, TIOCGWINSZ, &ventana) != 0 || ventana.ws_col == 0) return kAnchoSupuesto;
    return ventana.ws_col;
}

void PantallaTerminal::Ir(std::size_t desde, std::size_t hasta, std::size_t ancho) {
    const std::size_t fila_desde = desde / ancho, fila_hasta = hasta / ancho, columna = hasta % ancho;
    char orden[64] = "\r";
    std::size_t largo = 1;
    const auto agregar = [&](std::size_t n, char final) {
        if (n > 0) largo += static_cast<std::size_t>(std::snprintf(orden + largo, sizeof orden - largo, "\x1b[%zu%c", n, final));
    };
    if (fila_desde > fila_hasta) agregar(fila_desde - fila_hasta, 'A');
    if (fila_hasta > fila_desde) agregar(fila_hasta - fila_desde, 'B');
    agregar(columna, 'C');
    Escribir(orden);
}

void PantallaTerminal::Limpiar(std::size_t) { Escribir("\x1b[J"); }

void PantallaTerminal::FinDeFila() { Escribir("\r\n"); }

void PantallaTerminal::Escribir(const char* ascii) {
    char32_t caracteres[32];
    std::size_t n = 0;
    for (; *ascii != '\0'; ++ascii) {
        caracteres[n++] = static_cast<unsigned char>(*ascii);
        if (n == std::size(caracteres)) {
            utf8.Poner(caracteres, n);
            n = 0;
        }
    }
    utf8.Poner(caracteres, n);
}
