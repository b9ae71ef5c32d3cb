#include "Ucifrarc4.h"

CifraRC4::CifraRC4() : estado(kSimbolos), clave(CadenaExt::kCapacidadInicial) {}

CifraRC4::~CifraRC4() {
    i = 0;
    j = 0;
}

void CifraRC4::Reiniciar() {
    estado.Vaciar();
    estado.Redimensionar(kSimbolos);
    for (std::uint32_t n = 0; n < kSimbolos; ++n) estado.Agregar(static_cast<unsigned char>(n));
    j = 0;
    i = 0;
}

bool CifraRC4::EstablecerClave(const CadenaExt& nueva) {
    Reiniciar();
    if (nueva.Longitud() == 0) return false;
    clave = nueva;
    const std::uint32_t largo = clave.Longitud();
    // Each term is below 256, so the sum stays far inside 32 bits.
    for (i = 0; i < kSimbolos; ++i) {
        j = (clave.Caracter(i % largo) + estado.Caracter(i) + j) % kSimbolos;
        estado.Intercambiar(i, j);
    }
    // i is left at 224 and j as the last step set it: the generator starts there.
    return true;
}

void CifraRC4::Avanzar() {
    i = (i + 1) % kSimbolos;
    j = (j + estado.Caracter(i)) % kSimbolos;
    estado.Intercambiar(i, j);
}

unsigned char CifraRC4::SiguienteSimbolo() {
    Avanzar();
    return estado.Caracter((estado.Caracter(i) + estado.Caracter(j)) % kSimbolos);
}

void CifraRC4::EstablecerModo(bool descifrar) {
    operacion = descifrar ? &CifraRC4::Restar : &CifraRC4::Sumar;
}

unsigned char CifraRC4::Sumar(unsigned char a, unsigned char b) const {
    return static_cast<unsigned char>((a + b) % kSimbolos);
}

unsigned char CifraRC4::Restar(unsigned char a, unsigned char b) const {
    return static_cast<unsigned char>((a + kSimbolos - b) % kSimbolos);
}

unsigned char CifraRC4::Transformar(unsigned char c) {
    if (c < kDesplazamiento) return c;
    const unsigned char k = SiguienteSimbolo();
    return static_cast<unsigned char>((this->*operacion)(static_cast<unsigned char>(c - kDesplazamiento), k) +
                                      kDesplazamiento);
}

void CifraRC4::Procesar(const CadenaExt& entrada, CadenaExt& salida) {
    if (&entrada == &salida) {
        for (std::uint32_t n = 0; n < salida.Longitud(); ++n) salida.Asignar(n, Transformar(salida.Caracter(n)));
        return;
    }
    salida.Vaciar();
    salida.Redimensionar(entrada.Longitud());
    for (std::uint32_t n = 0; n < entrada.Longitud(); ++n) salida.Agregar(Transformar(entrada.Caracter(n)));
}
