// The line editor every terminal and console of the program shares, free of
// platform code. A line is a line of bytes, and every byte is shown as one
// character of one column (Utabla850.h), so the prompt and the line are cells
// 0, 1, 2 ... laid out in rows of the screen's width, and the cursor's place
// is arithmetic. Each platform turns what it reads into keys of the one key
// model (Utecla.h, whose table binds them) and gives the editor a Pantalla to
// draw on; the editing and the drawing are all here. Nothing configures it,
// nothing typed is kept for recall, and every byte deleted is wiped.
//
// The editor knows the screen's height too. While the prompt and the line fit
// on it, all their rows are shown; when they are taller, the rows around the
// cursor, following it, each showing exactly its part of the line. It only
// ever moves the cursor among the rows it has drawn, every one of them on the
// screen, and draws only what changed: the work for a key is bounded by the
// screen's size, not by the line's length. After Enter a line that did not
// fit is written out whole, once, so that the terminal's history holds it.
#ifndef UEDITOR_H
#define UEDITOR_H

#include <cstddef>
#include <cstdint>
#include <optional>

#include "Ucadenaext.h"
#include "Uentrada.h"
#include "Usumidero.h"
#include "Utecla.h"

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

class Editor {
public:
    enum class Resultado { Sigue, Linea, FinDeEntrada };

    explicit Editor(Pantalla& pantalla) : pantalla(pantalla) {}

    // Starts an empty line after `prompt`, the open line of the output that
    // is not on the screen yet, and shows the prompt.
    void Empezar(const CadenaExt& prompt);
    // Acts on a key, as AccionDeTecla binds it; after Ctrl-V, a key that
    // sends a character (SimboloDeTecla) types it, a control character as
    // its byte (a newline is refused). Linea when Enter ends the line;
    // FinDeEntrada for Ctrl-D on an empty line or Enter on a line that starts
    // with Ctrl-Z.
    Resultado Aplicar(const Tecla& tecla);
    // Takes a character of a marked paste: text, a control character typed
    // as its byte, or CR and LF, which end the line as Enter does, except an
    // empty one: a paste never answers with an empty line (so a pasted CR LF,
    // or the CR CR a terminal makes of it, is one line end).
    Resultado Pegar(char32_t simbolo);
    // Whether the next key is to be typed as its byte (Ctrl-V was pressed).
    bool Literal() const { return literal; }
    // Brings the screen up to date with the line and the cursor. Keys are
    // applied in a batch (a paste) and the screen refreshed once after them.
    void Refrescar();
    // After Linea: the whole line is on the screen or just written out, and
    // the cursor on the row after it. After FinDeEntrada: the line is blanked
    // from the screen.
    void Acabar(Resultado resultado);
    // Ends the screen row after the line as it stands (before a signal takes
    // effect); Redibujar(false) then draws prompt and line again on the next.
    void TerminarFila();
    // Draws prompt and line again: in place (Ctrl-L), or on the row the
    // cursor is on, at its start (after TerminarFila).
    void Redibujar(bool en_sitio);
    // The screen changed size: clears what was drawn and draws prompt and
    // line again, once, the cursor on its byte. `fila` and `columna` (from 1)
    // say where the cursor is now, 0 when unknown: with them the editor tells
    // a terminal that rewrapped its rows from one that did not, and one that
    // moved the cursor off its character, to find the first row it drew;
    // without them it clears as far up as any of them may need.
    void Redimensionar(std::size_t fila, std::size_t columna);

    LineaTecleada& Linea() { return linea; }
    const LineaTecleada& Linea() const { return linea; }

private:
    enum class Reflujo : unsigned char { Desconocido, Si, No };

    // Types `simbolo`, a control character as its byte.
    void Escribir(char32_t simbolo);
    // Enter: the line, or the end of the input after a Ctrl-Z.
    Resultado Terminada() const;
    void Cambiado(std::size_t byte);
    void Quitar(std::size_t desde, std::size_t hasta);
    std::size_t InicioDePalabra() const;
    std::size_t FinDePalabra() const;
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
    LineaTecleada linea;
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
    bool literal = false;        // Ctrl-V was pressed
};

// Reads lines with the editor: the one loop from the keys of a FuenteTeclas
// to the screen, the same on every platform.
class LectorDeLineas {
public:
    LectorDeLineas(FuenteTeclas& fuente, Pantalla& pantalla) : fuente(fuente), editor(pantalla) {}

    // Edits one line after `prompt` (shown first) until Enter, the end of the
    // input the user asks for, or the keys are gone (FinDeEntrada); the screen
    // is brought up to date once no more keys are waiting.
    Editor::Resultado Leer(const CadenaExt& prompt);
    // The line read, until the next Leer; the caller may empty it.
    LineaTecleada& Linea() { return editor.Linea(); }

private:
    FuenteTeclas& fuente;
    Editor editor;
    // Held from one key to the next, across lines too: an Escape, or a CR
    // whose LF may follow.
    TeclasSeguidas seguidas;
};

#endif
