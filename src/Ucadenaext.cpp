#include "Ucadenaext.h"

#include <algorithm>
#include <cstring>
#include <list>
#include <exception>
#include <istream>
#include <limits>
#include <ostream>
#include <stdexcept>

#include "Uborrado.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

constexpr std::uint32_t kCapacidadMaxima = std::numeric_limits<std::uint32_t>::max();
// Largest piece a long line is read in: the last piece is wiped whole though
// partly used, and memory never written costs a page fault to wipe.
constexpr std::uint32_t kTrozoMaximo = 1u << 20;

// A new array of `n` bytes. Large ones are backed by huge pages where the
// system offers them on request: each fresh 4 KiB page costs a fault (about
// 10 µs on a virtual machine), and a line of many megabytes would otherwise
// spend more time faulting in memory than enciphering it.
std::unique_ptr<char8_t[]> NuevoArreglo(std::uint32_t n) {
    auto arreglo = std::make_unique_for_overwrite<char8_t[]>(n);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kPaginaGrande = std::uintptr_t{2} << 20;
    const auto base = reinterpret_cast<std::uintptr_t>(arreglo.get());
    const std::uintptr_t inicio = (base + kPaginaGrande - 1) & ~(kPaginaGrande - 1);
    const std::uintptr_t fin = (base + n) & ~(kPaginaGrande - 1);
    // Only a hint: where it is refused, the array works the same.
    if (fin > inicio) madvise(reinterpret_cast<void*>(inicio), fin - inicio, MADV_HUGEPAGE);
#endif
    return arreglo;
}

}  // namespace

CadenaExt::CadenaExt(std::uint32_t capacidad_inicial) { Redimensionar(capacidad_inicial); }

CadenaExt::~CadenaExt() { Liberar(); }

CadenaExt& CadenaExt::operator=(const CadenaExt& otra) {
    if (this == &otra) return *this;
    Vaciar();
    Redimensionar(otra.longitud);
    // One block copy: the cipher copies a whole line through here.
    if (otra.longitud > 0) std::memcpy(datos.get(), otra.datos.get(), otra.longitud);
    longitud = otra.longitud;
    return *this;
}

void CadenaExt::Liberar() {
    Borrar(datos.get(), capacidad);
    datos.reset();
    longitud = 0;
    capacidad = 0;
}

void CadenaExt::Redimensionar(std::uint32_t n) {
    if (n == 0) {
        Liberar();
        return;
    }
    if (!datos) {
        datos = NuevoArreglo(n);
        longitud = 0;
        capacidad = n;
        return;
    }
    if (n == capacidad) return;
    auto nuevos = NuevoArreglo(n);
    std::memcpy(nuevos.get(), datos.get(), std::min(n, longitud));
    Borrar(datos.get(), capacidad);
    datos = std::move(nuevos);
    capacidad = n;
    longitud = std::min(longitud, n);
}

std::uint32_t CadenaExt::SiguienteCapacidad(std::uint32_t actual) {
    if (actual == 0) return kCapacidadInicial;
    // Doubling 2^31 or more would wrap in 32 bits; stop at the largest capacity.
    if (actual > kCapacidadMaxima / 2) return kCapacidadMaxima;
    return actual * 2;
}

void CadenaExt::Crecer() {
    if (capacidad == kCapacidadMaxima) throw std::length_error("cadena de longitud maxima");
    Redimensionar(SiguienteCapacidad(capacidad));
}

void CadenaExt::FueraDeRango() { throw std::exception(); }

bool CadenaExt::LeerLinea(std::istream& entrada) {
    Vaciar();
    // What does not fit in the storage the string has is gathered in pieces,
    // themselves strings (and so wiped), growing as Agregar grows but at most
    // to kTrozoMaximo; then the storage is set once to the line's length and
    // the pieces copied in. Growing one array by doubling would copy a long
    // line about twice, fault in twice its length of fresh memory and still
    // need the final copy that shrinks the capacity to the length.
    std::list<CadenaExt> trozos;
    for (CadenaExt* destino = this; !destino->LeerTramo(entrada);) {
        destino = &trozos.emplace_back(
            std::clamp(SiguienteCapacidad(destino->capacidad), kCapacidadInicial, kTrozoMaximo));
    }
    std::uint32_t total = longitud;
    for (const CadenaExt& trozo : trozos) {
        if (trozo.longitud > kCapacidadMaxima - total) throw std::length_error("cadena de longitud maxima");
        total += trozo.longitud;
    }
    Redimensionar(total);
    for (const CadenaExt& trozo : trozos) {
        if (trozo.longitud == 0) continue;
        std::memcpy(datos.get() + longitud, trozo.datos.get(), trozo.longitud);
        longitud += trozo.longitud;
    }
    return Longitud() > 0 || entrada.good();
}

bool CadenaExt::LeerTramo(std::istream& entrada) {
    const std::uint32_t libre = capacidad - longitud;
    if (libre < 2) return false;
    // getline takes bytes up to the newline, which it consumes and does not
    // store, exactly as one unformatted get() per byte would, but copies them
    // from the stream's buffer in blocks.
    entrada.getline(reinterpret_cast<char*>(datos.get() + longitud), libre, '\n');
    const auto extraidos = static_cast<std::uint32_t>(entrada.gcount());
    if (entrada.eof()) {
        // A byte read at the end fails; the line keeps what came before.
        entrada.setstate(std::ios::failbit);
        longitud += extraidos;
        return true;
    }
    if (entrada.bad()) {
        longitud += extraidos;
        return true;
    }
    if (entrada.fail()) {
        // Filled up before the newline: the line goes on in the next piece.
        // (A stream that was not good on entry extracts nothing and ends it.)
        if (extraidos == 0) return true;
        longitud += extraidos;
        entrada.clear(entrada.rdstate() & ~std::ios::failbit);
        return false;
    }
    longitud += extraidos - 1;  // the newline was counted, not stored
    return true;
}

bool CadenaExt::Escribir(std::ostream& salida) const {
    const std::ostream::sentry centinela(salida);
    if (centinela && longitud > 0) {
        const auto escritos = salida.rdbuf()->sputn(reinterpret_cast<const char*>(datos.get()), longitud);
        if (escritos != static_cast<std::streamsize>(longitud)) salida.setstate(std::ios::badbit);
    }
    return !salida.fail();
}

bool CadenaExt::EscribirLinea(std::ostream& salida) const {
    Escribir(salida);
    salida.put('\n');
    salida.flush();
    return !salida.fail();
}
