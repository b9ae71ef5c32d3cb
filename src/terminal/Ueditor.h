// The line editor every terminal and console of the program shares, free of
// platform code. A line is a line of bytes, and every byte is shown as one
// character of one column (Utabla850.h), so the cursor is a byte index and
// its place on the screen is arithmetic: the prompt's width plus that index,
// wrapped at the screen's width. Each platform turns what it reads into keys
// of the one key model (Utecla.h, whose table binds them) and gives the
// editor a Pantalla to draw on; the editing and the drawing are all here. Nothing configures it, nothing
// typed is kept for recall, and every byte deleted is wiped.
#ifndef UEDITOR_H
#define UEDITOR_H

#include <cstddef>

#include "Ucadenaext.h"
#include "Uentrada.h"
#include "Usumidero.h"
#include "Utecla.h"

// Where the editor draws: the characters of a Sumidero, laid out from the
// first column of a row and wrapped at Ancho() columns, and a cursor that the
// editor places by its distance in cells from the prompt's first cell (the
// row's first), the only frame both platforms share.
class Pantalla : public Sumidero {
public:
    // The screen's width in columns, at least 1.
    virtual std::size_t Ancho() = 0;
    // The cursor is `desde` cells from the prompt's first: puts it `hasta`
    // cells from it, the screen being `ancho` columns wide.
    virtual void Ir(std::size_t desde, std::size_t hasta, std::size_t ancho) = 0;
    // Blanks the `n` cells from the cursor on, and at least the rest of what
    // the line took on the screen; the cursor stays.
    virtual void Limpiar(std::size_t n) = 0;
    // The characters just shown filled their row to its last column: puts the
    // cursor at the start of the next row, whatever the screen does at the
    // edge (a terminal holds the cursor in the last column until the next
    // character, a console may move it at once).
    virtual void FinDeFila() = 0;

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
    virtual bool Leer(Suceso& suceso) = 0;
    // Whether a key is there to be read at once (more of a paste), so that
    // the screen can wait for it.
    virtual bool Pendiente() = 0;

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
    // sends a character (CaracterDeTecla) types it, a control character as
    // its byte (a newline is refused). Linea when Enter ends the line;
    // FinDeEntrada for Ctrl-D on an empty line or Enter on a line that starts
    // with Ctrl-Z.
    Resultado Aplicar(const Tecla& tecla);
    // Brings the screen up to date with the line and the cursor. Keys are
    // applied in a batch (a paste) and the screen refreshed once after them.
    void Refrescar();
    // After Linea: the whole line is on the screen, and the cursor on the row
    // after it. After FinDeEntrada: the line is blanked from the screen.
    void Acabar(Resultado resultado);
    // Ends the screen row after the line as it stands (before a signal takes
    // effect); Redibujar then draws prompt and line again on a fresh row.
    void TerminarFila();
    // Draws prompt and line again: in place, the cursor's row found at the
    // screen's present width (Ctrl-L, a change of size), or on a fresh row.
    void Redibujar(bool en_sitio);

    LineaTecleada& Linea() { return linea; }

private:
    static constexpr std::size_t kNada = static_cast<std::size_t>(-1);

    void Cambiado(std::size_t desde);
    void Quitar(std::size_t desde, std::size_t hasta);
    std::size_t InicioDePalabra() const;
    std::size_t FinDePalabra() const;
    void Ir(std::size_t hasta);
    // Shows `n` bytes from the line at the cursor, or the prompt's when
    // `bytes` is null, ending `fin` cells from the prompt's first.
    void Mostrar(const unsigned char* bytes, std::size_t n, std::size_t fin);

    Pantalla& pantalla;
    LineaTecleada linea;
    CadenaExt prompt{0};
    std::size_t ancho = 1;
    std::size_t pos = 0;        // the screen's cursor, in cells from the prompt's first
    std::size_t mostrado = 0;   // the line's length as last shown
    std::size_t sucio = kNada;  // the first byte that may be shown wrong
    bool literal = false;       // Ctrl-V was pressed
};

#endif
