// Large arrays are mappings of their own, which mremap grows and shrinks
// without copying a byte: a long line is read straight into one string that
// doubles as it fills, and its capacity is then cut to its length in place.
// The pages it moves are the same pages, so nothing is left behind to wipe;
// what a shrink or an unmapping gives back is wiped first. Small arrays, the
// vast majority, stay on the ordinary allocator, where a mapping's system
// calls and whole pages would cost more than they save.
#include <sys/mman.h>

#include <new>

#include "Uborrado.h"
#include "Umemoria.h"
#include "Umemoriamonton.h"

namespace {

// From here on an array is a mapping. Crossing it copies once, at most this
// much.
constexpr std::uint32_t kGrande = std::uint32_t{1} << 20;

bool EsGrande(std::uint32_t n) { return n >= kGrande; }

char8_t* Mapear(std::uint32_t n) {
    void* p = mmap(nullptr, n, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    return static_cast<char8_t*>(p);
}

}  // namespace

namespace memoria {

char8_t* Reservar(std::uint32_t n) { return EsGrande(n) ? Mapear(n) : monton::Reservar(n); }

char8_t* Cambiar(char8_t* p, std::uint32_t actual, std::uint32_t n, std::uint32_t conservar) {
    if (!EsGrande(actual) || !EsGrande(n)) return Trasladar(p, actual, n, conservar);
    if (n < actual) {
        Borrar(p + n, actual - n);  // n < actual: the bytes given up
        // Shrinking in place is refused only for arguments this unit never
        // passes; the tail would then stay mapped, already wiped.
        static_cast<void>(mremap(p, actual, n, 0));
        return p;
    }
    void* q = mremap(p, actual, n, MREMAP_MAYMOVE);
    if (q == MAP_FAILED) throw std::bad_alloc();
    return static_cast<char8_t*>(q);
}

void Liberar(char8_t* p, std::uint32_t n) {
    if (!EsGrande(n)) {
        monton::Liberar(p, n);
        return;
    }
    Borrar(p, n);
    munmap(p, n);
}

}  // namespace memoria
