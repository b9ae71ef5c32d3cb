// The stream buffers between the program's bytes and a terminal that speaks
// UTF-8, through the byte table (Utabla850.h): what the dialogue writes is
// shown as the table's characters, and what is typed comes back as bytes.
#ifndef UFLUJOSUTF8_H
#define UFLUJOSUTF8_H

#include <streambuf>
#include <string>

#include "Ucadenaext.h"
#include "Utabla850.h"

// Output towards a UTF-8 terminal: each byte written is passed on to
// `destino` as its character of the table. Flushing flushes `destino`.
class SalidaTerminal : public std::streambuf {
public:
    explicit SalidaTerminal(std::streambuf& destino) : destino(destino) {}

    // While on, the open line (what was written after the last newline) is
    // held back, flushes included, until a newline ends it or the line editor
    // takes it to show as its prompt. Turning it off writes out what is held.
    void RetenerLineaAbierta(bool retener);
    // The open line held back, in UTF-8; it is no longer held.
    std::string TomarLineaAbierta();

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

private:
    // Passes bytes on converted; answers how many went through.
    std::streamsize Pasar(const char* s, std::streamsize n);
    bool PasarAbierta();

    std::streambuf& destino;
    bool retener = false;
    CadenaExt abierta{0};
};

// Input from a UTF-8 terminal: the characters read from `fuente` come out as
// the table's bytes. It waits on `fuente` only while it has nothing to give,
// so a line is handed on as soon as its last character is complete. Its
// buffer, which holds typed lines and keys, is wiped when it goes away.
class EntradaTerminal : public std::streambuf {
public:
    explicit EntradaTerminal(std::streambuf& fuente) : fuente(fuente) {}
    ~EntradaTerminal() override;

protected:
    int_type underflow() override;

private:
    std::streambuf& fuente;
    DecodificadorUtf8 decodificador;
    char buffer[512];
};

// Whether a locale with this name (null when it could not be set) and this
// codeset counts as UTF-8: a UTF-8 codeset, or the C and POSIX locales, which
// today's terminals run in UTF-8 all the same.
bool LocaleUtf8(const char* nombre, const char* codeset);

#endif
