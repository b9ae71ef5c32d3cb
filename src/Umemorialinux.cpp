// Large arrays are mappings of their own, which mremap grows and shrinks
// without copying a byte: a long line is read straight into one string that
// doubles as it fills, and its capacity is then cut to its length in place.
// The pages it moves are the same pages, so nothing is left behind to wipe;
// what a shrink or an unmapping gives back is wiped first, page by page where
// the page is in memory. Small arrays, the vast majority, stay on the
// ordinary allocator, where a mapping's system calls and whole pages would
// cost more than they save.
//
// Huge pages are not asked for. Where the kernel hands them out only on
// request, they can be free blocks a virtual machine's balloon has given back
// to its host, and taking one back stalls: on the machine measured, over half
// the runs on a 64 MiB line then took up to 2.4 times as long as the others.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <new>

#include "Uborrado.h"
#include "Umemoria.h"
#include "Umemoriamonton.h"

namespace {

// From here on an array is a mapping. Crossing it copies once, at most this
// much.
constexpr std::uint32_t kGrande = std::uint32_t{1} << 20;

bool EsGrande(std::uint32_t n) { return n >= kGrande; }

// A new array is filled by its caller from its first byte to its last (a
// copy, or a line read into it), so its pages are asked for at once: one
// system call instead of a page fault per page, which on the machine
// measured saves about a third of what the pages of a 64 MiB array cost.
// Only a hint: where it is refused (kernels before 5.14), each page comes at
// its first write. What growth adds is left to come that way: up to half of
// it stays unwritten.
void Poblar(void* p, std::uint32_t n) { static_cast<void>(madvise(p, n, MADV_POPULATE_WRITE)); }

char8_t* Mapear(std::uint32_t n) {
    void* p = mmap(nullptr, n, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    Poblar(p, n);
    return static_cast<char8_t*>(p);
}

// Wipes the bytes [p, p + n) of a mapping on the pages of it that are in
// memory. A page that is not holds nothing ever written (growth leaves up to
// half a mapping untouched, a fifth of a long line's after the cut), or has
// gone to swap, where writing zeros to the page would not reach the copy; a
// page fault to zero a page either way is only cost.
void BorrarResidente(char8_t* p, std::size_t n) {
    static const auto pagina = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    unsigned char residentes[4096];  // one per page: 16 MiB of 4 KiB pages a call
    auto a = reinterpret_cast<std::uintptr_t>(p);
    const std::uintptr_t fin = a + n;
    while (a < fin) {
        const std::uintptr_t base = a & ~(pagina - 1);
        const std::size_t paginas = std::min<std::uintptr_t>((fin - base + pagina - 1) / pagina, sizeof residentes);
        // mincore fails only on a range that is not all mapped, which an
        // array here always is, or while the kernel lacks the resources: no
        // test can bring that about, and the coverage report leaves it out.
        // GCOVR_EXCL_START
        if (mincore(reinterpret_cast<void*>(base), paginas * pagina, residentes) != 0) {
            Borrar(reinterpret_cast<void*>(a), fin - a);  // cannot tell: all of it
            return;
        }
        // GCOVR_EXCL_STOP
        for (std::size_t k = 0; k < paginas; ++k) {
            const std::uintptr_t desde = std::max(a, base + k * pagina);
            const std::uintptr_t hasta = std::min(fin, base + (k + 1) * pagina);  // desde < hasta
            if ((residentes[k] & 1) != 0) Borrar(reinterpret_cast<void*>(desde), hasta - desde);
        }
        a = std::min(fin, base + paginas * pagina);
    }
}

}  // namespace

namespace memoria {

char8_t* Reservar(std::uint32_t n) { return EsGrande(n) ? Mapear(n) : monton::Reservar(n); }

char8_t* Cambiar(char8_t* p, std::uint32_t actual, std::uint32_t n, std::uint32_t conservar) {
    if (!EsGrande(actual) || !EsGrande(n)) return Trasladar(p, actual, n, conservar);
    if (n < actual) {
        BorrarResidente(p + n, actual - n);  // n < actual: the bytes given up
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
    BorrarResidente(p, n);
    munmap(p, n);
}

}  // namespace memoria
