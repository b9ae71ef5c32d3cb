// PantallaTerminal: the line editor's screen on a POSIX terminal that speaks
// UTF-8: the characters go out as UTF-8 to the program's standard output
// stream, and the cursor moves with ANSI (ECMA-48) sequences.
#ifndef UPANTALLA_H
#define UPANTALLA_H

#include <streambuf>

#include "Ueditor.h"

class PantallaTerminal final : public Pantalla {
public:
    // Writes to `destino`; asks the terminal open as `descriptor` for its size.
    PantallaTerminal(std::streambuf& destino, int descriptor) : utf8(destino), descriptor(descriptor) {}

    bool Poner(const char32_t* caracteres, std::size_t n) override { return utf8.Poner(caracteres, n); }
    bool Vaciar() override { return utf8.Vaciar(); }
    // The terminal's width; 80 when it does not say.
    std::size_t Ancho() override;
    // Moves by rows and columns from where the cursor is.
    void Ir(std::size_t desde, std::size_t hasta, std::size_t ancho) override;
    // Erases from the cursor to the end of the screen.
    void Limpiar(std::size_t n) override;
    // The terminal holds the cursor in the last column: CR LF takes it on.
    void FinDeFila() override;

private:
    void Escribir(const char* ascii);

    SumideroUtf8 utf8;
    int descriptor;
};

#endif
