// ConsolaWin: a Windows console screen buffer as Upantallaconsola.h's Consola: the
// terminal layer's output goes to it at the cursor (WriteConsoleW, in UTF-16,
// so that what it shows does not depend on the console's code page; every
// character of the byte table is one UTF-16 unit), and the line editor's
// screen (PantallaConsola) puts characters in cells and moves the cursor
// through it.
#ifndef UPANTALLA_H
#define UPANTALLA_H

#include <windows.h>

#include "Upantallaconsola.h"

class ConsolaWin final : public Consola {
public:
    // Writes to the console screen buffer `consola`, which it does not close.
    explicit ConsolaWin(HANDLE consola) : consola(consola) {}

    bool Poner(const char32_t* simbolos, std::size_t n) override;
    // Nothing is held back.
    bool Enviar() override { return true; }
    bool Medir(Medida& medida) override;
    bool PonerEn(std::size_t x, std::size_t y, const char32_t* simbolos, std::size_t n) override;
    void LlevarCursor(std::size_t x, std::size_t y) override;

private:
    HANDLE consola;
};

#endif
