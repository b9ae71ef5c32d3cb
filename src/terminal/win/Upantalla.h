// PantallaConsola: the terminal layer's output on a Windows console, and the
// line editor's screen there. The console is written in UTF-16, so what it
// shows does not depend on its code page; every character of the byte table
// is one UTF-16 unit. The cursor is placed in the screen buffer's own
// coordinates, taken afresh each time, so the editor follows the buffer as it
// scrolls.
#ifndef UPANTALLA_H
#define UPANTALLA_H

#include <windows.h>

#include "Ueditor.h"

class PantallaConsola final : public Pantalla {
public:
    // Writes to the console screen buffer `consola`, which it does not close.
    explicit PantallaConsola(HANDLE consola) : consola(consola) {}

    bool Poner(const char32_t* caracteres, std::size_t n) override;
    // Nothing is held back.
    bool Vaciar() override { return true; }
    // The screen buffer's width; 80 when the console does not say.
    std::size_t Ancho() override;
    void Ir(std::size_t desde, std::size_t hasta, std::size_t ancho) override;
    void Limpiar(std::size_t n) override;
    // A console that moved the cursor on at once has nothing to do; one that
    // wraps late is given a newline.
    void FinDeFila() override;

private:
    HANDLE consola;
};

#endif
