// Every array on the ordinary allocator: growing or shrinking copies.
#include "Umemoria.h"
#include "Umemoriamonton.h"

namespace memoria {

char8_t* Reservar(std::uint32_t n) { return monton::Reservar(n); }

char8_t* Cambiar(char8_t* p, std::uint32_t actual, std::uint32_t n, std::uint32_t conservar) {
    return Trasladar(p, actual, n, conservar);
}

void Liberar(char8_t* p, std::uint32_t n) { monton::Liberar(p, n); }

}  // namespace memoria
