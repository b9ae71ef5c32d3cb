// Umemoria: the byte arrays behind CadenaExt. Each platform has its own unit;
// all of them wipe every byte they give up, since the arrays hold typed
// lines, keys and results. Every size is above 0.
#ifndef UMEMORIA_H
#define UMEMORIA_H

#include <cstdint>

namespace memoria {

// A new array of `n` bytes, content unspecified; throws std::bad_alloc.
char8_t* Reservar(std::uint32_t n);

// Makes `p`, an array of `actual` bytes from this unit, one of `n` bytes,
// which may be at another address (returned) or the same. Its first
// `conservar` bytes (conservar <= min(actual, n)) keep their values; whatever
// memory it gives up is wiped first. Throws std::bad_alloc with `p` unchanged.
char8_t* Cambiar(char8_t* p, std::uint32_t actual, std::uint32_t n, std::uint32_t conservar);

// Wipes the `n` bytes of `p`, an array of `n` bytes from this unit, and frees it.
void Liberar(char8_t* p, std::uint32_t n);

}  // namespace memoria

#endif
