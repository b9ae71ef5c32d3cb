// The byte table that every terminal layer of the program shares: how each
// byte of the data is shown on a terminal or console (the character code page
// 850 gives it, with the exceptions below), which byte a character typed or
// pasted there stands for, and the UTF-8 form of those characters. The
// dialogue, the byte string and the cipher only ever see bytes.
//
// The table, both ways:
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
#ifndef UTABLA850_H
#define UTABLA850_H

#include <cstddef>

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

#endif
