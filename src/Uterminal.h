// The terminal layer: what stands between the standard streams and a terminal
// that speaks UTF-8. The dialogue, the byte string and the cipher only ever
// see bytes; on such a terminal every byte of the data is shown as one visible
// character, the one code page 850 gives it, and what is typed or pasted comes
// back as those bytes. Pipes and files are left alone: they carry raw bytes.
//
// The byte table, both ways:
//   10 (newline)          the newline itself; it ends lines
//   0..31 but 10          the control pictures U+2400 + byte (␉, ␍, ␛, ␀ ...)
//   32..126               ASCII
//   127                   ⌂ U+2302
//   128..255              code page 850, except two that most terminals show
//                         as nothing or as a blank, and copying often changes:
//   240 (soft hyphen)     ‐ U+2010 HYPHEN
//   255 (no-break space)  ⍽ U+237D, the keyboard symbol for a no-break space
// Reading also takes code page 850's own U+00AD and U+00A0 as 240 and 255, and
// any ASCII byte as itself. Every other character, and every ill-formed UTF-8
// sequence (each maximal ill-formed part of one), is read as "?".
#ifndef UTERMINAL_H
#define UTERMINAL_H

#include <cstddef>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>

#include "Ucadenaext.h"

constexpr char32_t kSustitutoGuionBlando = 0x2010;
constexpr char32_t kSustitutoEspacioDuro = 0x237D;

// The character byte `byte` is shown as.
char32_t CaracterDeByte(unsigned char byte);
// The byte a character read from the terminal stands for; '?' when none.
unsigned char ByteDeCaracter(char32_t caracter);
// Writes the UTF-8 form of CaracterDeByte(byte) to `utf8` (room for 3 bytes)
// and answers its length.
std::size_t CodificarByte(unsigned char byte, char* utf8);

// Turns a UTF-8 byte stream, fed one byte at a time, into the table's bytes.
// A character split between two feeds is carried over.
class DecodificadorUtf8 {
public:
    // Takes the next byte of UTF-8 and writes the finished bytes (0, 1 or 2:
    // "?" for a sequence the byte breaks off, then the byte itself when it
    // is ASCII) to `bytes`; answers how many.
    std::size_t Entrar(unsigned char utf8, unsigned char* bytes);
    // The input has ended: "?" in `bytes` when a sequence was left open.
    // Answers how many bytes were written (0 or 1).
    std::size_t Terminar(unsigned char* bytes);

private:
    char32_t valor = 0;
    int faltan = 0;  // continuation bytes still expected
    unsigned char minimo = 0x80, maximo = 0xBF;  // range of the next one
};

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

#ifndef _WIN32
class LineasEditadas;
#endif

// Puts the layer between the console's two streams (standard input and
// standard output) and the terminal, each only when it is a terminal and the locale (LC_CTYPE from the environment) counts
// as UTF-8, and takes it away again, output flushed, when destroyed. When both
// are such terminals, lines are read through the line editor (Ueditor.h). On
// Windows it does nothing: the console shows code page 850 itself.
class Terminal {
public:
    Terminal(std::istream& entrada_consola, std::ostream& salida_consola);
    ~Terminal();
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

private:
    std::optional<SalidaTerminal> salida;
#ifndef _WIN32
    std::unique_ptr<LineasEditadas> editor;
#endif
    std::optional<EntradaTerminal> entrada;
#ifndef _WIN32
    std::istream& consola_entrada;
    std::ostream& consola_salida;
#endif
    std::streambuf* entrada_original = nullptr;
    std::streambuf* salida_original = nullptr;
};

#endif
