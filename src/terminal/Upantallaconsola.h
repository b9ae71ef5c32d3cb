// The line editor's screen on a Windows console, free of platform code so that
// it runs against a model of a console in the tests too.
//
// Consola is a console screen buffer as Windows gives it: rows of cells, a
// window onto some of them, a cursor. Written at the cursor (Sumidero::Poner,
// WriteConsoleW) a console wraps at once: a character in the last column
// takes the cursor to the next row, scrolling the buffer at its last row.
// Written to cells (PonerEn, WriteConsoleOutputCharacterW) nothing moves.
//
// PantallaConsola makes of one the screen the editor expects (Uplataforma.h), the
// same on every console: a character shown in the last column keeps the
// cursor there until the next one, which then wraps. Runs of characters go
// out at the cursor, so that the console wraps them and scrolls as it does
// for any program; only a run that ends in the last column has its last
// character put in its cell, where the console cannot move on yet. The
// window is the screen: its rows are Alto(), and the editor is kept to them.
#ifndef UPANTALLACONSOLA_H
#define UPANTALLACONSOLA_H

#include <cstddef>

#include "Uplataforma.h"

class Consola : public Sumidero {
public:
    struct Medida {
        std::size_t ancho;            // of the buffer
        std::size_t arriba, filas;    // the window: its first row in the buffer, how many rows
        std::size_t x, y;             // the cursor, in the buffer
    };
    // The buffer, its window and the cursor; false when the console cannot
    // say.
    virtual bool Medir(Medida& medida) = 0;
    // Shows `n` characters in the cells from (x, y) on, the next row's after
    // the last column; the cursor stays and nothing scrolls.
    virtual bool PonerEn(std::size_t x, std::size_t y, const char32_t* simbolos, std::size_t n) = 0;
    virtual void LlevarCursor(std::size_t x, std::size_t y) = 0;

protected:
    ~Consola() = default;
};

class PantallaConsola final : public Pantalla {
public:
    explicit PantallaConsola(Consola& consola) : consola(consola) {}
    // Forgets the character it kept.
    ~PantallaConsola();
    PantallaConsola(const PantallaConsola&) = delete;
    PantallaConsola& operator=(const PantallaConsola&) = delete;

    // "\n" ends the row, as on the console.
    bool Poner(const char32_t* simbolos, std::size_t n) override;
    bool Enviar() override { return consola.Enviar(); }
    // The buffer's width and the window's height; 80 and 24 when the console
    // does not say.
    std::size_t Ancho() override;
    std::size_t Alto() override;
    // Within the window's rows.
    void Ir(std::ptrdiff_t filas, std::size_t columna) override;
    // Blanks to the end of the window.
    void Limpiar() override;
    // The cursor in the window, always known.
    bool Cursor(std::size_t& fila, std::size_t& columna) override;

private:
    // Shows a run with no newline in it.
    bool Tramo(const char32_t* simbolos, std::size_t n, const Consola::Medida& medida);

    Consola& consola;
    // A character was put in the last column of row `y_espera`, the cursor
    // left there, and the next one wraps: it is shown again before it.
    bool espera = false;
    std::size_t y_espera = 0;
    char32_t ultimo = 0;
};

#endif
