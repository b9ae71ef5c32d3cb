// What each platform provides the terminal layer, side by side: where its
// characters go (Sumidero), the screen the line editor draws on (Pantalla)
// and where the editor's keys come from (FuenteTeclas). POSIX terminals give
// them in posix/Upantalla.h and posix/Uteclado.h, the Windows console in
// win/Upantalla.h (through Upantallaconsola.h) and win/Uteclado.h; the tests
// give models of them.
#ifndef UPLATAFORMA_H
#define UPLATAFORMA_H

#include <cstddef>

#include "Utecla.h"

// The screen's size where a terminal or console does not say it.
constexpr std::size_t kAnchoSupuesto = 80, kAltoSupuesto = 24;

class Sumidero {
public:
    // Shows `n` characters, each below U+10000; false when the output refused
    // them.
    virtual bool Poner(const char32_t* simbolos, std::size_t n) = 0;
    // Passes on whatever it holds; false when the output refused it.
    virtual bool Enviar() = 0;

protected:
    ~Sumidero() = default;
};

// Where the editor draws: a screen of Ancho() columns and Alto() rows that
// behaves as a terminal does. Characters are shown from the cursor on, filling
// its row; a character shown in the last column leaves the cursor waiting
// there, and the next one wraps into the next row (at the last row of the
// screen, the screen scrolls up for it); "\n" ends the row (CR LF). Moving
// the cursor takes it out of the wait.
class Pantalla : public Sumidero {
public:
    // The screen's width in columns and its height in rows, each at least 1.
    virtual std::size_t Ancho() = 0;
    virtual std::size_t Alto() = 0;
    // Moves the cursor `filas` rows down (up when negative) and to `columna`.
    // The editor keeps to rows on the screen; a move past its top or bottom
    // stops there, as terminals do.
    virtual void Ir(std::ptrdiff_t filas, std::size_t columna) = 0;
    // Blanks from the cursor to the end of the screen; the cursor stays.
    virtual void Limpiar() = 0;
    // Where the cursor is on the screen, row and column from 1, when the
    // screen can tell without asking the terminal (a console); a change of
    // size is then seen by asking Ancho() and Alto() again.
    virtual bool Cursor(std::size_t& fila, std::size_t& columna) = 0;

protected:
    ~Pantalla() = default;
};

// Where the editor's keys come from, the platform's way.
class FuenteTeclas {
public:
    // Takes the terminal or console for editing a line (no line mode, no
    // echo): from here on keys come one at a time.
    virtual void Abrir() = 0;
    // Gives the terminal or console back as it was. After Suceso::Senal it
    // delivers the signal, which may end the program there or stop it until
    // it goes on.
    virtual void Cerrar() = 0;
    // Waits for the next key or event; false when the input is gone.
    // `literal`: the key is to be typed as its byte (after Ctrl-V), so an
    // Escape is that key at once, not the start of a sequence.
    virtual bool Leer(Suceso& suceso, bool literal) = 0;
    // Whether a key is there to be read at once (more of a paste), so that
    // the screen can wait for it.
    virtual bool HayMas() = 0;

protected:
    ~FuenteTeclas() = default;
};

#endif
