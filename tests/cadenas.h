// Conversions between CadenaExt and std::string for the tests.
#ifndef CADENAS_H
#define CADENAS_H

#include <string>

#include "Ucadenaext.h"

inline void Llenar(CadenaExt& cadena, const std::string& bytes) {
    cadena.Vaciar();
    for (char c : bytes) cadena.Agregar(static_cast<unsigned char>(c));
}

inline std::string Texto(const CadenaExt& cadena) {
    std::string bytes;
    for (std::uint32_t n = 0; n < cadena.Longitud(); ++n) bytes += static_cast<char>(cadena.Caracter(n));
    return bytes;
}

#endif
