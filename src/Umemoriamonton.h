// Arrays on the ordinary allocator, shared by the platforms' memory units:
// the whole of the generic one, the small arrays of the others.
#ifndef UMEMORIAMONTON_H
#define UMEMORIAMONTON_H

#include <cstdint>
#include <cstring>

#include "Uborrado.h"
#include "Umemoria.h"

namespace memoria::monton {

inline char8_t* Reservar(std::uint32_t n) { return new char8_t[n]; }

inline void Liberar(char8_t* p, std::uint32_t n) {
    Borrar(p, n);
    delete[] p;
}

}  // namespace memoria::monton

namespace memoria {

// Cambiar by a new array, a copy and the release of the old one, through the
// unit's own Reservar and Liberar; allocating first leaves `p` unchanged if
// that throws.
inline char8_t* Trasladar(char8_t* p, std::uint32_t actual, std::uint32_t n, std::uint32_t conservar) {
    char8_t* nuevo = Reservar(n);
    if (conservar > 0) std::memcpy(nuevo, p, conservar);
    Liberar(p, actual);
    return nuevo;
}

}  // namespace memoria

#endif
