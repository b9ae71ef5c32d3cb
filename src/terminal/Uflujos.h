// The stream buffers between the program's bytes and a terminal that speaks
// UTF-8, through the byte table (Utabla850.h): what the dialogue writes is
// shown as the table's characters, and what is typed comes back as bytes.
#ifndef UFLUJOSUTF8_H
#define UFLUJOSUTF8_H

#include <streambuf>
#include <string>

#include "Ucadenaext.h"
#include "Ulineadatos.h"
#include "Utabla850.h"

// Output towards a UTF-8 terminal: each byte written is passed on to
// `destino` as its character of the table, and a line marked as the user's
// data shows the spaces that end it as ␠ (MostradorLineas). Flushing flushes
// `destino`.
class SalidaTerminal : public std::streambuf, public LineasDeDatos {
public:
    explicit SalidaTerminal(std::streambuf& destino) : destino(destino) {}
    // Shows the spaces still held back, as the end of their line.
    ~SalidaTerminal() override;

    void LineaDeDatos() override { mostrador.LineaDeDatos(); }

    // While on, the open line (what was written after the last newline) is
    // held back, flushes included, until a newline ends it or the line editor
    // takes it to show as its prompt. Turning it off writes out what is held.
    void RetenerLineaAbierta(bool retener);
    // The open line held back, in UTF-8; it is no longer held.
    std::string TomarLineaAbierta();
    // Shows AvisoDesconocidos(desconocidos) as a line of its own, at once;
    // called after a line typed, when the cursor is at the start of a line.
    void Avisar(unsigned desconocidos);
    // The input ended where the line editor had left the cursor after what it
    // echoed: the screen line is ended there and then. A newline the program
    // writes next, which would end that same line, is not written again.
    void TerminarLineaDePantalla();

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

private:
    // Passes bytes on converted; answers how many went through.
    std::streamsize Pasar(const char* s, std::streamsize n);
    bool PasarAbierta();

    std::streambuf& destino;
    MostradorLineas mostrador;
    bool retener = false;
    bool linea_terminada = false;
    CadenaExt abierta{0};
};

// Input from a UTF-8 terminal: the characters read from `fuente` come out as
// the table's bytes (DecodificadorUtf8). It waits on `fuente` only while it has
// nothing to give, so a line is handed on as soon as its newline is read. When
// `avisos` is given (the output is that terminal too), a line in which
// characters were read as "?" is followed there by the notice that says how
// many, as soon as its newline is read. Its buffer, which holds typed lines
// and keys, is wiped when it goes away.
class EntradaTerminal : public std::streambuf {
public:
    explicit EntradaTerminal(std::streambuf& fuente, SalidaTerminal* avisos = nullptr)
        : fuente(fuente), avisos(avisos) {}
    ~EntradaTerminal() override;

protected:
    int_type underflow() override;

private:
    void Avisar();

    std::streambuf& fuente;
    SalidaTerminal* avisos;
    DecodificadorUtf8 decodificador;
    char buffer[512];
};

// Whether a locale with this name (null when it could not be set) and this
// codeset counts as UTF-8: a UTF-8 codeset, or the C and POSIX locales, which
// today's terminals run in UTF-8 all the same.
bool LocaleUtf8(const char* nombre, const char* codeset);

#endif
