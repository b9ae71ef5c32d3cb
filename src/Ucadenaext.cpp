#include "Ucadenaext.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <istream>
#include <limits>
#include <ostream>
#include <stdexcept>

#include "Uborrado.h"

namespace {

constexpr std::uint32_t kCapacidadMaxima = std::numeric_limits<std::uint32_t>::max();

}  // namespace

CadenaExt::CadenaExt(std::uint32_t capacidad_inicial) { Redimensionar(capacidad_inicial); }

CadenaExt::~CadenaExt() { Liberar(); }

CadenaExt& CadenaExt::operator=(const CadenaExt& otra) {
    if (this == &otra) return *this;
    Vaciar();
    Redimensionar(otra.Longitud());
    for (std::uint32_t n = 0; n < otra.Longitud(); ++n) Agregar(otra.Caracter(n));
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
        datos = std::make_unique_for_overwrite<unsigned char[]>(n);
        longitud = 0;
        capacidad = n;
        return;
    }
    if (n == capacidad) return;
    auto nuevos = std::make_unique_for_overwrite<unsigned char[]>(n);
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
    // One sentry for the whole line, then the buffer's own byte reads: the
    // same bytes and the same stream states as one unformatted get() per byte.
    const std::istream::sentry centinela(entrada, true);
    if (centinela) {
        std::streambuf& buffer = *entrada.rdbuf();
        for (;;) {
            const int c = buffer.sbumpc();
            if (c == std::char_traits<char>::eof()) {
                entrada.setstate(std::ios::eofbit | std::ios::failbit);
                break;
            }
            if (c == '\n') break;
            Agregar(static_cast<unsigned char>(c));
        }
    }
    Redimensionar(Longitud());
    return Longitud() > 0 || entrada.good();
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
