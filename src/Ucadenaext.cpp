#include "Ucadenaext.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <istream>
#include <limits>
#include <ostream>
#include <stdexcept>

#include "Umemoria.h"

namespace {

constexpr std::uint32_t kCapacidadMaxima = std::numeric_limits<std::uint32_t>::max();

}  // namespace

CadenaExt::CadenaExt(std::uint32_t capacidad_inicial) { Redimensionar(capacidad_inicial); }

CadenaExt::~CadenaExt() { Liberar(); }

CadenaExt& CadenaExt::operator=(const CadenaExt& otra) {
    if (this == &otra) return *this;
    Vaciar();
    Redimensionar(otra.longitud);
    // One block copy: the cipher copies a whole line through here.
    if (otra.longitud > 0) std::memcpy(datos, otra.datos, otra.longitud);
    longitud = otra.longitud;
    return *this;
}

void CadenaExt::Liberar() {
    if (datos != nullptr) memoria::Liberar(datos, capacidad);
    datos = nullptr;
    longitud = 0;
    capacidad = 0;
}

void CadenaExt::Redimensionar(std::uint32_t n) {
    if (n == 0) {
        Liberar();
        return;
    }
    if (datos == nullptr) {
        datos = memoria::Reservar(n);
        longitud = 0;
        capacidad = n;
        return;
    }
    if (n == capacidad) return;
    datos = memoria::Cambiar(datos, capacidad, n, std::min(n, longitud));
    capacidad = n;
    longitud = std::min(longitud, n);
}

std::uint32_t CadenaExt::SiguienteCapacidad(std::uint32_t actual) {
    if (actual == 0) return kCapacidadInicial;
    // Doubling 2^31 or more would wrap in 32 bits; stop at the largest capacity.
    if (actual > kCapacidadMaxima / 2) return kCapacidadMaxima;
    return actual * 2;
}

// Only a line of 4 GiB reaches the largest capacity: more than a test can
// feed the program, so the throw's branch is left out of the coverage report.
void CadenaExt::Crecer() {
    if (capacidad == kCapacidadMaxima) throw std::length_error("cadena de longitud maxima");  // GCOVR_EXCL_BR_LINE
    Redimensionar(SiguienteCapacidad(capacidad));
}

void CadenaExt::FueraDeRango() { throw std::exception(); }

bool CadenaExt::LeerLinea(std::istream& entrada) {
    Vaciar();
    // Straight into the storage, which grows as Agregar grows it and is then
    // cut to the length. A long line's storage is a mapping that grows and
    // shrinks in place (Umemoria), so neither step copies it.
    while (!LeerTramo(entrada)) Crecer();
    Redimensionar(longitud);
    return Longitud() > 0 || entrada.good();
}

bool CadenaExt::LeerTramo(std::istream& entrada) {
    const std::uint32_t libre = capacidad - longitud;
    if (libre < 2) return false;
    // getline takes bytes up to the newline, which it consumes and does not
    // store, exactly as one unformatted get() per byte would, but copies them
    // from the stream's buffer in blocks.
    entrada.getline(reinterpret_cast<char*>(datos + longitud), libre, '\n');
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
        // Filled up before the newline: the line goes on once the storage grows.
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
        const auto escritos = salida.rdbuf()->sputn(reinterpret_cast<const char*>(datos), longitud);
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
