// The one way typed or pasted characters become the bytes of a line, on
// every platform and with or without the line editor: a decoder turns the
// terminal's UTF-8 (POSIX) or the console's UTF-16 (Windows) into characters,
// and LineaTecleada puts each character into the line through the byte table
// (Utabla850.h), composing a combining mark with the letter before it and
// noting the characters read as "?" for the notice.
#ifndef UENTRADA_H
#define UENTRADA_H

#include <cstddef>
#include <vector>

#include "Uborrado.h"

// Decodes UTF-8 fed one byte at a time into characters; each maximal
// ill-formed part of a sequence becomes U+FFFD. A character split between two
// feeds is carried over.
class DecodificadorUtf8 {
public:
    // Takes the next byte and writes the finished characters (0, 1 or 2:
    // U+FFFD for a sequence the byte breaks off, then the byte itself when it
    // is ASCII) to `simbolos`; answers how many.
    std::size_t Entrar(unsigned char utf8, char32_t* simbolos);
    // The input has ended: U+FFFD when a sequence was left open. Answers how
    // many characters were written (0 or 1).
    std::size_t Terminar(char32_t* simbolos);
    // Whether a character is partly decoded.
    bool Abierto() const { return faltan > 0; }
    // Forgets the part of a character decoded so far, which was typed.
    ~DecodificadorUtf8();

private:
    char32_t valor = 0;
    int faltan = 0;  // continuation bytes still expected
    unsigned char minimo = 0x80, maximo = 0xBF;  // range of the next one
};

// Decodes UTF-16 fed one unit at a time into characters: a surrogate pair
// becomes its character, a surrogate left alone U+FFFD.
class DecodificadorUtf16 {
public:
    // Takes the next unit and writes the finished characters (0, 1 or 2) to
    // `simbolos`; answers how many.
    std::size_t Entrar(char16_t unidad, char32_t* simbolos);
    ~DecodificadorUtf16();

private:
    char16_t alto = 0;  // a high surrogate awaiting its low one
};

// A line of bytes being typed, with a cursor from 0 to its length. Every
// array that held it is wiped, as is every byte taken out of it.
class LineaTecleada {
public:
    // How a byte came into the line: typed, a "?" that stands for a character
    // the table lacks, or the key Ctrl-Z (on Windows, at the start of a line,
    // the end of the input once Enter is pressed).
    enum class Origen : unsigned char { Tecla, Desconocido, CtrlZ };

    // Puts `simbolo` in at the cursor: a combining mark that composes with
    // the byte left of the cursor into a letter of the table replaces that
    // byte; any other character is inserted as its byte, "?" for one the
    // table lacks (counted, unless it is "?" itself) and byte 26 for U+001A,
    // the Ctrl-Z key. Answers the position of the first byte changed.
    std::size_t Teclear(char32_t simbolo);
    // Inserts `byte` at the cursor, which moves past it.
    void Insertar(unsigned char byte, Origen origen = Origen::Tecla);
    // Takes out the bytes from `desde` to `hasta` (desde <= hasta <= Largo());
    // a cursor past them moves back with the rest of the line.
    void Quitar(std::size_t desde, std::size_t hasta);
    // Empties the line, cursor at 0.
    void Vaciar() { Quitar(0, Largo()); }

    std::size_t Largo() const { return bytes.size(); }
    const unsigned char* Datos() const { return bytes.data(); }
    unsigned char operator[](std::size_t n) const { return bytes[n]; }
    std::size_t Cursor() const { return cursor; }
    // Puts the cursor at `posicion`, which is at most Largo().
    void Llevar(std::size_t posicion) { cursor = posicion; }
    // How many of its bytes are a "?" for a character the table lacks.
    std::size_t Desconocidos() const;
    // Whether its first byte is the key Ctrl-Z.
    bool EmpiezaConCtrlZ() const { return !origenes.empty() && origenes[0] == Origen::CtrlZ; }

private:
    std::vector<unsigned char, AsignadorBorrado<unsigned char>> bytes;
    std::vector<Origen, AsignadorBorrado<Origen>> origenes;  // one per byte
    std::size_t cursor = 0;
};

#endif
