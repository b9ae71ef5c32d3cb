// A terminal reduced to its cells, for the line editor's tests and fuzz
// target: a screen of Ancho() x Alto() cells with its history above it, a
// cursor that waits in the last column after a character there (the next one
// wraps, and at the screen's last row scrolls the screen up into the
// history), rows that remember whether they wrapped into the next, moves that
// stop at the screen's edges, and a change of size that either rewraps the
// rows (as tmux, VTE and Windows Terminal do) or keeps them as they are (as
// xterm does). It can say whether it shows a line around its cursor as the
// editor promises.
#ifndef REJILLA_H
#define REJILLA_H

#include <string>
#include <vector>

#include "Ueditor.h"
#include "Upantallaconsola.h"

class Rejilla final : public Pantalla {
public:
    // `reflujo`: a change of size rewraps the rows.
    Rejilla(std::size_t ancho, std::size_t alto, bool reflujo = false);

    bool Poner(const char32_t* simbolos, std::size_t n) override;
    bool Enviar() override { return true; }
    std::size_t Ancho() override { return ancho; }
    std::size_t Alto() override { return filas.size(); }
    void Ir(std::ptrdiff_t filas, std::size_t columna) override;
    void Limpiar() override;
    // A terminal says it only when asked (TecladoTerminal).
    bool Cursor(std::size_t&, std::size_t&) override { return false; }

    // As a Windows console is written (ConsolaModelo): at the cursor, wrapping
    // at once after the last column; in cells, moving nothing; the cursor put.
    void PonerAlInstante(const char32_t* simbolos, std::size_t n);
    void PonerEn(std::size_t x, std::size_t y, const char32_t* simbolos, std::size_t n);
    void LlevarCursor(std::size_t x, std::size_t y);

    // The window becomes `ancho` x `alto`.
    void CambiarTamano(std::size_t nuevo_ancho, std::size_t nuevo_alto);
    // Rows of text written by another program before the line, as the
    // dialogue's own output would be: each ends with CR LF.
    void Escribir(const std::u32string& texto);
    // A new line is edited from here on: what was drawn for the one before
    // is no longer the editor's.
    void NuevaLinea() { ++marca; }

    // Whether the screen shows `texto` (a prompt and a line, one cell per
    // character) around the cursor, on cell `cursor`: the cursor's row and
    // every row of the text that is on the screen show exactly their part of
    // it, as many of its rows as the screen holds, rows above the text hold
    // nothing drawn for this line, rows below it are blank.
    // When not, says why in `por_que`.
    bool MuestraLinea(const std::u32string& texto, std::size_t cursor, std::string& por_que) const;
    // Whether every character written by Escribir is still in the history
    // or on the screen, but those the terminal itself cut off.
    bool AnteriorIntacta() const;
    // Whether the history and the screen hold `texto` whole, in rows ending
    // just above the cursor's.
    bool HistoriaConLinea(const std::u32string& texto) const;
    // The screen's rows, trailing blanks left out.
    std::vector<std::u32string> Filas() const;
    // The screen's rows in ASCII ("?" for any other character), each ended
    // by "|", and where the cursor is: for the messages of failed checks.
    std::string Volcado() const;

    std::size_t x = 0, y = 0;
    bool espera = false;
    // Characters received, for the work the editor does.
    std::size_t simbolos = 0;

private:
    struct Fila {
        std::u32string celdas;
        std::u32string marcas;  // for each cell, the line it was drawn for (0: none)
        bool partida = false;   // wrapped into the next row
    };
    // Whether cell `k` of `fila` holds a character written by Escribir.
    static bool Anterior(const Fila& fila, std::size_t k) { return fila.celdas[k] != U' ' && fila.marcas[k] == 0; }
    Fila FilaBlanca() const { return {std::u32string(ancho, U' '), std::u32string(ancho, 0)}; }
    void Bajar();

    // Characters other than blanks written by Escribir, and of them those a
    // change of size cut off.
    std::size_t anteriores = 0, cortadas = 0;
    std::size_t ancho;
    bool reflujo;
    char32_t marca = 1;
    std::vector<Fila> historia, filas;
};

// A Windows console on a Rejilla, as Upantallaconsola.h's Consola: its window is the
// whole buffer, as under Windows Terminal or Wine, and it wraps at once.
class ConsolaModelo final : public Consola {
public:
    explicit ConsolaModelo(Rejilla& rejilla) : rejilla(rejilla) {}
    bool Poner(const char32_t* simbolos, std::size_t n) override {
        rejilla.PonerAlInstante(simbolos, n);
        return true;
    }
    bool Enviar() override { return true; }
    bool Medir(Medida& medida) override {
        medida = {rejilla.Ancho(), 0, rejilla.Alto(), rejilla.x, rejilla.y};
        return true;
    }
    bool PonerEn(std::size_t x, std::size_t y, const char32_t* simbolos, std::size_t n) override {
        rejilla.PonerEn(x, y, simbolos, n);
        return true;
    }
    void LlevarCursor(std::size_t x, std::size_t y) override { rejilla.LlevarCursor(x, y); }

private:
    Rejilla& rejilla;
};

// A source of no keys, for an editor driven key by key (Editor::Tomar).
class SinTeclas final : public FuenteTeclas {
public:
    void Abrir() override {}
    void Cerrar() override {}
    bool Leer(Suceso&, bool) override { return false; }
    bool HayMas() override { return false; }
};

// A key for an editor driven key by key.
inline Lectura Pulsar(Editor& editor, const Tecla& tecla) { return editor.Tomar({Suceso::Tipo::Tecla, tecla}); }

#endif
