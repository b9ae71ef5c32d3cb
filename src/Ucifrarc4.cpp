#include "Ucifrarc4.h"

namespace {

// x mod 224 for x below 2 × 224, as every sum of the generator is: its
// indexes and the entries of the permutation are all below 224. One
// conditional subtraction instead of a division keeps the serial chain of the
// generator short.
std::uint32_t Reducir(std::uint32_t suma) {
    return suma >= CifraRC4::kSimbolos ? suma - CifraRC4::kSimbolos : suma;
}

}  // namespace

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
    // The indexes live in locals through the loop, as in Procesar; k runs as
    // i mod largo without a division per step. (K[k] + S[i] + j) mod 224 is
    // taken as ((K[k] + S[i]) mod 224 + j) mod 224: the first part does not
    // depend on j, so the chain from one j to the next is only an addition and
    // a subtraction.
    std::uint32_t pi = 0, pj = 0;
    for (std::uint32_t k = 0; pi < kSimbolos; ++pi, k = k + 1 == largo ? 0 : k + 1) {
        pj = Reducir((clave.Caracter(k) + estado.Caracter(pi)) % kSimbolos + pj);
        estado.Intercambiar(pi, pj);
    }
    // i is left at 224 and j as the last step set it: the generator starts there.
    i = pi;
    j = pj;
    return true;
}

inline std::uint32_t CifraRC4::Paso(std::uint32_t& pi, std::uint32_t& pj) {
    pi = Reducir(pi + 1);  // 224 after key scheduling becomes 1
    const std::uint32_t a = estado.Caracter(pi);
    pj = Reducir(pj + a);
    const std::uint32_t b = estado.Caracter(pj);
    estado.Intercambiar(pi, pj);
    return a + b;
}

inline unsigned char CifraRC4::SiguienteSimbolo(std::uint32_t& pi, std::uint32_t& pj) {
    return estado.Caracter(Reducir(Paso(pi, pj)));
}

void CifraRC4::Avanzar() { Paso(i, j); }

unsigned char CifraRC4::SiguienteSimbolo() { return SiguienteSimbolo(i, j); }

void CifraRC4::EstablecerModo(bool descifrar) {
    operacion = descifrar ? &CifraRC4::Restar : &CifraRC4::Sumar;
}

// Exact for any two bytes, not only for symbols; the combining step is off
// the generator's serial chain, so the division costs little there.
unsigned char CifraRC4::Sumar(unsigned char a, unsigned char b) const {
    return static_cast<unsigned char>((std::uint32_t{a} + b) % kSimbolos);
}

unsigned char CifraRC4::Restar(unsigned char a, unsigned char b) const {
    return static_cast<unsigned char>((std::uint32_t{a} + kSimbolos - b) % kSimbolos);
}

template <CifraRC4::Operacion Op>
unsigned char CifraRC4::Transformar(unsigned char c, std::uint32_t& pi, std::uint32_t& pj) {
    if (c < kDesplazamiento) return c;
    const unsigned char k = SiguienteSimbolo(pi, pj);
    return static_cast<unsigned char>((this->*Op)(static_cast<unsigned char>(c - kDesplazamiento), k) +
                                      kDesplazamiento);
}

template <CifraRC4::Operacion Op>
void CifraRC4::ProcesarEn(const CadenaExt& entrada, CadenaExt& salida) {
    // The indexes go back to the members when the string is done. Only an
    // unkeyed cipher (empty permutation) can throw on the way, and its indexes
    // mean nothing until keying resets them.
    std::uint32_t pi = i, pj = j;
    if (&entrada == &salida) {
        for (std::uint32_t n = 0; n < salida.Longitud(); ++n)
            salida.Asignar(n, Transformar<Op>(salida.Caracter(n), pi, pj));
    } else {
        salida.Vaciar();
        salida.Redimensionar(entrada.Longitud());
        for (std::uint32_t n = 0; n < entrada.Longitud(); ++n)
            salida.Agregar(Transformar<Op>(entrada.Caracter(n), pi, pj));
    }
    i = pi;
    j = pj;
}

void CifraRC4::Procesar(const CadenaExt& entrada, CadenaExt& salida) {
    if (operacion == &CifraRC4::Restar)
        ProcesarEn<&CifraRC4::Restar>(entrada, salida);
    else
        ProcesarEn<&CifraRC4::Sumar>(entrada, salida);
}
