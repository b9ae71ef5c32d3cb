#include "Upantallaconsola.h"

#include <algorithm>
#include <string>

#include "Uborrado.h"

PantallaConsola::~PantallaConsola() { Borrar(&ultimo, sizeof ultimo); }

bool PantallaConsola::Poner(const char32_t* simbolos, std::size_t n) {
    Consola::Medida medida{};
    if (!consola.Medir(medida) || medida.ancho == 0) return false;
    // The dialogue's own output moves the cursor too: then nothing waits.
    if (espera && (medida.x + 1 != medida.ancho || medida.y != y_espera)) espera = false;
    bool bien = true;
    std::size_t desde = 0;
    for (std::size_t k = 0; bien && k <= n; ++k) {
        if (k < n && simbolos[k] != U'\n') continue;
        if (k > desde) bien = Tramo(simbolos + desde, k - desde, medida);
        if (bien && k < n) {
            const char32_t nueva_linea = U'\n';
            bien = consola.Poner(&nueva_linea, 1) && consola.Medir(medida);
            espera = false;
        }
        desde = k + 1;
    }
    return bien;
}

bool PantallaConsola::Tramo(const char32_t* simbolos, std::size_t n, const Consola::Medida& medida) {
    std::size_t x = medida.x;
    // Waiting in the last column: that character is shown again at the
    // cursor, and the console wraps from it into the run, as a terminal
    // would, and scrolls at the buffer's last row.
    if (espera) {
        espera = false;
        if (!consola.Poner(&ultimo, 1)) return false;
        x = 0;
    }
    if ((x + n) % medida.ancho != 0) return consola.Poner(simbolos, n);
    // It ends in the last column: the last character goes in its cell, where
    // the console does not move the cursor on at once.
    Consola::Medida despues{};
    if ((n > 1 && !consola.Poner(simbolos, n - 1)) || !consola.Medir(despues)) return false;
    if (!consola.PonerEn(medida.ancho - 1, despues.y, simbolos + n - 1, 1)) return false;
    consola.LlevarCursor(medida.ancho - 1, despues.y);
    espera = true;
    y_espera = despues.y;
    ultimo = simbolos[n - 1];
    return true;
}

std::size_t PantallaConsola::Ancho() {
    Consola::Medida medida{};
    return consola.Medir(medida) && medida.ancho > 0 ? medida.ancho : kAnchoSupuesto;
}

std::size_t PantallaConsola::Alto() {
    Consola::Medida medida{};
    return consola.Medir(medida) && medida.filas > 0 ? medida.filas : kAltoSupuesto;
}

void PantallaConsola::Ir(std::ptrdiff_t filas, std::size_t columna) {
    Consola::Medida medida{};
    if (!consola.Medir(medida) || medida.ancho == 0 || medida.filas == 0) return;
    espera = false;
    const auto arriba = static_cast<std::ptrdiff_t>(medida.arriba);
    const std::ptrdiff_t y = std::clamp(static_cast<std::ptrdiff_t>(medida.y) + filas, arriba,
                                        arriba + static_cast<std::ptrdiff_t>(medida.filas) - 1);
    consola.LlevarCursor(std::min(columna, medida.ancho - 1), static_cast<std::size_t>(y));
}

void PantallaConsola::Limpiar() {
    Consola::Medida medida{};
    if (!consola.Medir(medida) || medida.y >= medida.arriba + medida.filas) return;
    const std::size_t n = (medida.arriba + medida.filas - medida.y) * medida.ancho - medida.x;
    const std::u32string blancos(n, U' ');
    consola.PonerEn(medida.x, medida.y, blancos.data(), n);
}

bool PantallaConsola::Cursor(std::size_t& fila, std::size_t& columna) {
    Consola::Medida medida{};
    if (!consola.Medir(medida)) return false;
    fila = medida.y >= medida.arriba ? medida.y - medida.arriba + 1 : 1;
    columna = medida.x + 1;
    return true;
}
