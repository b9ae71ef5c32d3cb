// The output and the screen of a POSIX terminal that speaks UTF-8: the
// characters go out as UTF-8 to the program's standard output stream
// (SumideroUtf8), and the line editor's cursor moves with ANSI (ECMA-48)
// sequences (PantallaTerminal).
#ifndef UPANTALLA_H
#define UPANTALLA_H

#include <sys/ioctl.h>

#include <streambuf>

#include "Uplataforma.h"

// A Sumidero that writes UTF-8 to a stream buffer (a terminal's standard
// output); its own block of UTF-8 is wiped.
class SumideroUtf8 final : public Sumidero {
public:
    explicit SumideroUtf8(std::streambuf& destino) : destino(destino) {}
    bool Poner(const char32_t* simbolos, std::size_t n) override;
    bool Enviar() override { return destino.pubsync() == 0; }

private:
    std::streambuf& destino;
};

class PantallaTerminal final : public Pantalla {
public:
    // Writes to `destino`; asks the terminal open as `descriptor` for its size.
    PantallaTerminal(std::streambuf& destino, int descriptor) : utf8(destino), descriptor(descriptor) {}

    bool Poner(const char32_t* simbolos, std::size_t n) override { return utf8.Poner(simbolos, n); }
    bool Enviar() override { return utf8.Enviar(); }
    // The terminal's width and height; 80 and 24 when it does not say.
    std::size_t Ancho() override;
    std::size_t Alto() override;
    // CR, then up or down (which stops at the screen's edge), then right.
    void Ir(std::ptrdiff_t filas, std::size_t columna) override;
    // Erases from the cursor to the end of the screen.
    void Limpiar() override;
    // A terminal tells it only when asked (TecladoTerminal, after a change
    // of size), which it reports itself by a signal.
    bool Cursor(std::size_t&, std::size_t&) override { return false; }

private:
    winsize Medida();
    void Escribir(const char* ascii);

    SumideroUtf8 utf8;
    int descriptor;
};

#endif
