// What a UTF-8 terminal must show for the program's bytes, worked out with
// glibc's IBM850 converter rather than the program's own table.
#ifndef MOSTRADO_H
#define MOSTRADO_H

#include <optional>
#include <string>

// Converts with iconv between the named character sets; nothing when iconv
// refuses any part of the input.
std::optional<std::string> Iconv(const char* desde, const char* hacia, const std::string& entrada);
// Code page 850 bytes of a text typed in UTF-8; throws for a character the
// code page lacks.
std::string Cp850(const std::string& utf8);
// How the screen shows `bytes`: code page 850, control pictures, ⌂, and the
// stand-ins ‐ and ⍽ for 240 and 255; the newline as itself.
std::string Mostrado(const std::string& bytes);
// How the screen shows a line of the user's data (a result): Mostrado, with
// each space that ends the line as ␠.
std::string MostradoDatos(const std::string& bytes);

#endif
