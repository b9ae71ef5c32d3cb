// The stream buffers between the program's bytes and a terminal or console,
// through the byte table (Utabla850.h), the same on every platform: what the
// dialogue writes is shown as the table's characters on the platform's
// Sumidero, and what is typed comes back as bytes, through the line editor
// (Ueditor.h) or, where the terminal edits lines itself, as it arrives.
#ifndef UBUFERES_H
#define UBUFERES_H

#include <cstddef>
#include <iosfwd>
#include <streambuf>

#include "Ucadenaext.h"
#include "Ueditor.h"
#include "Ulinea.h"
#include "Ulineadatos.h"
#include "Uplataforma.h"
#include "Utabla850.h"
#include "Uutf.h"

// Output towards a terminal or console: each byte written is shown on
// `sumidero` as its character of the table, and a line marked as the user's
// data shows the spaces that end it as ␠ (MostradorLineas). Flushing flushes
// `sumidero`.
class SalidaTerminal : public std::streambuf, public LineasDeDatos {
public:
    explicit SalidaTerminal(Sumidero& sumidero) : sumidero(sumidero) {}
    // Shows the spaces still held back, as the end of their line.
    ~SalidaTerminal() override;

    void LineaDeDatos() override { mostrador.LineaDeDatos(); }

    // While on, the open line (what was written after the last newline) is
    // held back, flushes included, until a newline ends it or the line editor
    // takes it to show as its prompt. Turning it off writes out what is held.
    void RetenerLineaAbierta(bool retener);
    // The open line held back, as bytes.
    const CadenaExt& LineaAbierta() const { return abierta; }
    // The line editor has shown the open line: it is no longer held.
    void OlvidarLineaAbierta();
    // Shows AvisoDesconocidos(desconocidos) as a line of its own, at once;
    // called after a line typed, when the cursor is at the start of a line.
    void Avisar(std::size_t desconocidos);
    // The input ended at the editor's line: the screen line is ended there and
    // then. A newline the program writes next, which would end that same
    // line, is not written again.
    void TerminarLineaDePantalla();

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

private:
    // Passes bytes on converted; answers how many went through.
    std::streamsize Pasar(const char* s, std::streamsize n);
    bool PasarAbierta();

    Sumidero& sumidero;
    MostradorLineas mostrador;
    bool retener = false;
    bool linea_terminada = false;
    CadenaExt abierta{0};
};

// Input from a UTF-8 terminal that edits lines itself (when the output goes
// elsewhere, or the terminal cannot take the line editor's cursor moves): the
// characters read from `fuente` come out as the table's bytes, through
// LineaTecleada, a line at a time, handed on as soon as its newline is read.
// When `avisos` is given (the output is that terminal), a line that holds
// characters read as "?" is followed there by the notice that says how many.
// Its line, which holds what was typed, is wiped.
class EntradaTerminal : public std::streambuf {
public:
    explicit EntradaTerminal(std::streambuf& fuente, SalidaTerminal* avisos = nullptr)
        : fuente(fuente), avisos(avisos) {}

protected:
    int_type underflow() override;

private:
    std::streambuf& fuente;
    SalidaTerminal* avisos;
    DecodificadorUtf8 decodificador;
    LineaTecleada linea;
    bool fin = false;
};

// Input through the line editor: each line is edited on `pantalla` with the
// keys of `fuente`, after the open line of `salida` as its prompt, and given
// once Enter is pressed, then its newline. When `avisar` (the output is that
// terminal or console), a line that holds characters read as "?" is followed
// there by the notice that says how many. End of input when the user ends it
// (FinDeEntrada), the screen line then ended (TerminarLineaDePantalla), when
// the keys are gone, or, with no line edited, once `dialogo` (the stream the
// program writes its questions to) has failed.
class LineasEditadas : public std::streambuf {
public:
    LineasEditadas(FuenteTeclas& fuente, Pantalla& pantalla, SalidaTerminal& salida, bool avisar,
                   const std::ostream& dialogo);
    // Lets the output show its open line again; the line read is wiped.
    ~LineasEditadas() override;
    LineasEditadas(const LineasEditadas&) = delete;
    LineasEditadas& operator=(const LineasEditadas&) = delete;

protected:
    int_type underflow() override;

private:
    Lectura Editar();

    Editor editor;
    SalidaTerminal& salida;
    bool avisar;
    const std::ostream& dialogo;
    bool dada = false;  // the get area holds the line, its newline still due
    char fin_de_linea = '\n';
};

// Whether a locale with this name (null when it could not be set) and this
// codeset counts as UTF-8: a UTF-8 codeset, or the C and POSIX locales, which
// today's terminals run in UTF-8 all the same.
bool LocaleUtf8(const char* nombre, const char* codeset);

#endif
