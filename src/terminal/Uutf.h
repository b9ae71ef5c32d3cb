// What a terminal (UTF-8) or a console (UTF-16) sends, decoded into
// characters a unit at a time, on every platform.
#ifndef UUTF_H
#define UUTF_H

#include <cstddef>

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

#endif
