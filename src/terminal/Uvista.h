// The view of the line being edited: what the terminal or console holds of
// the prompt and the line, and the drawing of it, free of platform code.
// Every byte is shown as one character of one column (Utabla850.h), so the
// prompt and the line are cells 0, 1, 2 ... laid out in rows of the screen's
// width, and the cursor's place is arithmetic.
//
// While the prompt and the line fit on the screen, all their rows are shown;
// when they are taller, the rows around the cursor, following it, each
// showing exactly its part of the line. The view only ever moves the cursor
// among the rows it has drawn, every one of them on the screen, and draws
// only what changed: the work for a key is bounded by the screen's size, not
// by the line's length. After Enter a line that did not fit is written out
// whole, once, so that the terminal's history holds it. After a change of
// size the prompt and the line are on the screen once, whatever the terminal
// did with the rows it held.
#ifndef UVISTA_H
#define UVISTA_H

#include <cstddef>
#include <optional>

#include "Ucadenaext.h"
#include "Ulinea.h"
#include "Uplataforma.h"

class Vista {
public:
    // Draws on `pantalla` a prompt and `linea`, which it only reads.
    Vista(Pantalla& pantalla, const LineaTecleada& linea) : pantalla(pantalla), linea(linea) {}

    // Shows `prompt`, the open line of the output that is not on the screen
    // yet, and the line after it, from the cursor's row.
    void Empezar(const CadenaExt& prompt);
    // The line changed from byte `byte` on.
    void Cambiada(std::size_t byte);
    // Brings the screen up to date with the line and the cursor. Keys are
    // applied in a batch (a paste) and the screen refreshed once after them.
    void Refrescar();
    // After Lectura::Linea: the whole line is on the screen or just written
    // out, and the cursor on the row after it. After FinDeEntrada: the line,
    // emptied, is blanked from the screen.
    void Acabar(Lectura lectura);
    // Ends the screen row after the line as it stands (before a signal takes
    // effect); Redibujar(false) then draws prompt and line again on the next.
    void TerminarFila();
    // Draws prompt and line again: in place (Ctrl-L), or on the row the
    // cursor is on, at its start (after TerminarFila).
    void Redibujar(bool en_sitio);
    // The screen changed size: clears what was drawn and draws prompt and
    // line again, once, the cursor on its byte. `fila` and `columna` (from 1)
    // say where the cursor is now, 0 when unknown: with them the view tells a
    // terminal that rewrapped its rows from one that did not, and one that
    // moved the cursor off its character, to find the first row it drew;
    // without them it clears as far up as any of them may need.
    void NuevoTamano(std::size_t fila, std::size_t columna);

private:
    enum class Reflujo : unsigned char { Desconocido, Si, No };

    std::size_t Celdas() const { return prompt.Longitud() + linea.Largo(); }
    char32_t SimboloDeCelda(std::size_t celda) const;
    // The row the cursor is physically on.
    std::size_t FilaFisica() const { return (en_espera ? pos - 1 : pos) / ancho; }
    // Puts the cursor on `celda`, on a row shown or at the start of the one
    // after them (which it draws); `o_esperando`: waiting in the last column
    // before it will do, as when more is shown from there.
    void Ir(std::size_t celda, bool o_esperando = false);
    // Shows cells `desde` (where the cursor is) to `hasta`, within the rows
    // the screen holds.
    void Mostrar(std::size_t desde, std::size_t hasta);
    // The rows from here on are drawn afresh: the cursor is at the start of a
    // row, where the first row shown will be. `limpiar_debajo`: an earlier
    // drawing may be there, to be cleared after the line's end (clearing
    // before would, from a screen's first cell, have some terminals push the
    // whole screen into their history).
    void EmpezarFilas(bool limpiar_debajo = false);
    // "\n" after the line's last cell drawn.
    void TerminarEn(std::size_t fin);
    // The first row drawn now starts a line of the terminal's.
    void OlvidarPrevias() {
        previas = 0;
        previas_exactas = true;
    }

    Pantalla& pantalla;
    const LineaTecleada& linea;
    CadenaExt prompt{0};
    std::size_t ancho = 1, alto = 1;
    // On the screen: rows `primera` to `primera + filas - 1` of the prompt and
    // the line, where row r holds cells r * ancho to (r + 1) * ancho - 1; the
    // cursor on cell `pos`, or, `en_espera`, in the last column of the row
    // before it, waiting to wrap.
    std::size_t primera = 0, filas = 1, pos = 0;
    bool en_espera = false;
    // Cells of prompt and line as last shown; none when drawn afresh over an
    // earlier drawing, which may reach as far down as the screen holds rows.
    std::optional<std::size_t> mostradas = 0;
    std::optional<std::size_t> sucia;  // the first cell that may be shown wrong
    Reflujo reflujo = Reflujo::Desconocido;  // whether the terminal rewraps its rows
    // Cells that a terminal that rewraps its rows may hold, above the screen,
    // as the start of the line whose first shown row is the editor's first:
    // never fewer than it holds, so that rows of an old drawing it brings
    // back are cleared, at worst with a row of what was above them.
    std::size_t previas = 0;
    // Whether `previas` is what the terminal holds, not only as much as it
    // may: only then can the cursor's column tell the kind of terminal.
    bool previas_exactas = true;
};

#endif
