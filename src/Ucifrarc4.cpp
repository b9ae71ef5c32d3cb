#include "Ucifrarc4.h"

#include <array>

namespace {

// x mod 224, exact for every x. Below 2 × 224, as every sum of the generator
// and every combination of two symbols is, it is one conditional subtraction;
// where the compiler can see that bound, the division is not even compiled,
// which keeps the serial chain of the generator short.
std::uint32_t Reducir(std::uint32_t x) {
    if (x < 2 * CifraRC4::kSimbolos) return x >= CifraRC4::kSimbolos ? x - CifraRC4::kSimbolos : x;
    return x % CifraRC4::kSimbolos;
}

// Tells the optimiser that `cierto` holds, for facts it cannot see from the
// code, such as a class invariant. A build under UBSan reports a false one.
// Its branches, and those of the facts it is given, are never taken in a
// correct program: the coverage report leaves them out.
inline void Suponer(bool cierto) {
#if defined(__GNUC__)
    if (!cierto) __builtin_unreachable();  // GCOVR_EXCL_BR_LINE
#else
    static_cast<void>(cierto);
#endif
}

// Two small tables the byte loop reads instead of computing what they hold:
// with the chain from one j to the next kept short (ProcesarEn), that loop
// runs as fast as the processor gets through its instructions, and each table
// takes the place of three or four of them per byte. Both are off that chain,
// where a load's latency would cost more.
//
// kModulo[x] is x mod 224 for every sum of two symbols, x < 2 × 224.
constexpr auto kModulo = [] {
    std::array<unsigned char, 2 * CifraRC4::kSimbolos> t{};
    for (std::uint32_t x = 0; x < t.size(); ++x) t[x] = static_cast<unsigned char>(x % CifraRC4::kSimbolos);
    return t;
}();

// kCombinado[v] is v - 224 from 256 on, v below: the output byte when v is a
// byte from 32 to 255 plus a number from 0 to 224 (see Combinar), v < 480.
constexpr auto kCombinado = [] {
    std::array<unsigned char, 256 + CifraRC4::kSimbolos> t{};
    for (std::uint32_t v = 0; v < t.size(); ++v) t[v] = static_cast<unsigned char>(v < 256 ? v : v - CifraRC4::kSimbolos);
    return t;
}();

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

inline std::uint32_t CifraRC4::Entrada(std::uint32_t n) const {
    const std::uint32_t s = estado.Caracter(n);
    Suponer(s < kSimbolos);
    return s;
}

inline std::uint32_t CifraRC4::Paso(std::uint32_t& pi, std::uint32_t& pj) {
    pi = Reducir(pi + 1);  // 224 after key scheduling becomes 1
    const std::uint32_t a = Entrada(pi);
    pj = Reducir(pj + a);
    const std::uint32_t b = Entrada(pj);
    estado.Intercambiar(pi, pj);
    return a + b;
}

inline unsigned char CifraRC4::SiguienteSimbolo(std::uint32_t& pi, std::uint32_t& pj) {
    return static_cast<unsigned char>(Entrada(Reducir(Paso(pi, pj))));
}

void CifraRC4::Avanzar() { Paso(i, j); }

unsigned char CifraRC4::SiguienteSimbolo() { return SiguienteSimbolo(i, j); }

void CifraRC4::EstablecerModo(bool descifrar) {
    operacion = descifrar ? &CifraRC4::Restar : &CifraRC4::Sumar;
}

unsigned char CifraRC4::Sumar(unsigned char a, unsigned char b) const {
    return static_cast<unsigned char>(Reducir(std::uint32_t{a} + b));
}

unsigned char CifraRC4::Restar(unsigned char a, unsigned char b) const {
    return static_cast<unsigned char>(Reducir(std::uint32_t{a} + kSimbolos - b));
}

template <CifraRC4::Operacion Op>
unsigned char CifraRC4::Combinar(unsigned char c, std::uint32_t k) {
    // Op on the symbols c - 32 and k, plus 32, taken on the byte itself. With
    // d = k (adding) or 224 - k (taking away), 0 <= d <= 224, the symbols' sum
    // before its reduction reaches 224 exactly when v = c + d reaches 256, and
    // the output byte is then v - 224, otherwise v: kCombinado[v].
    return kCombinado[Op == &CifraRC4::Sumar ? c + k : c + (kSimbolos - k)];
}

template <CifraRC4::Operacion Op>
void CifraRC4::ProcesarEn(const CadenaExt& entrada, CadenaExt& salida) {
    // The output takes the input's length by a copy, and the loop then stores
    // bytes at their index and never a length, so the lengths of the input and
    // of the permutation stay in registers and their checks fold away.
    // Appending each byte would store the output's length every time, and for
    // all the compiler knows that could be the length of either.
    if (&entrada != &salida) salida = entrada;
    // The one check of the permutation, after the copy, which could change
    // anything as far as the compiler knows: with its 224 entries present,
    // every index the generator reduces below 224 is valid with no check of
    // its own. Only an unkeyed cipher (empty permutation) throws here.
    static_cast<void>(estado.Caracter(kSimbolos - 1));
    // The generator runs one entry ahead: `a` is the entry at si, the next i,
    // and `suma` is j + a, the next j before its reduction. Each step reads
    // the entry after si before it stores its swap. Read after the swap, as
    // Paso does, that load would follow the store to S[j], whose address is
    // the last thing a step computes, and the processor could not be sure of
    // it before then: the steps would not overlap. Read before, it only goes
    // stale when the swap moves `a` to that very index, 1 step in 224; a
    // branch the processor predicts takes `a` then, where a selection would
    // put one more operation on the chain from one j to the next.
    std::uint32_t si = Reducir(Reducir(i) + 1), pj = Reducir(j);  // i is 224 after key scheduling
    std::uint32_t a = Entrada(si);
    std::uint32_t suma = pj + a;
    // The bound is both lengths, equal after the copy: then neither string's
    // check is left in the loop, and the output's storage stays in a register.
    // (So the second test never ends the loop: its branch is not counted.)
    Suponer(salida.Longitud() == entrada.Longitud());
    for (std::uint32_t n = 0; n < entrada.Longitud() && n < salida.Longitud(); ++n) {  // GCOVR_EXCL_BR_LINE
        const unsigned char c = entrada.Caracter(n);
        if (c < kDesplazamiento) continue;  // draws no symbol; the copy put it in place
        // What the loop keeps from step to step, as each step leaves it; the
        // compiler does not carry these bounds round the loop by itself.
        Suponer(si < kSimbolos && a < kSimbolos && suma < 2 * kSimbolos);  // GCOVR_EXCL_BR_LINE
        pj = Reducir(suma);
        const std::uint32_t b = Entrada(pj);
        const std::uint32_t sig = Reducir(si + 1);
        const std::uint32_t adelantada = Entrada(sig);
        estado.Asignar(si, static_cast<unsigned char>(b));
        estado.Asignar(pj, static_cast<unsigned char>(a));
        const std::uint32_t t = kModulo[a + b];
        Suponer(t < kSimbolos);
        salida.Asignar(n, Combinar<Op>(c, Entrada(t)));
        if (sig != pj) [[likely]] {
            suma = pj + adelantada;
            a = adelantada;
        } else {
            suma = pj + a;  // the swap has just moved `a` to sig
        }
        si = sig;
    }
    i = Reducir(si + kSimbolos - 1);  // the i of the last step
    j = pj;
}

void CifraRC4::Procesar(const CadenaExt& entrada, CadenaExt& salida) {
    // The comparison of member pointers compiles to several tests, of which
    // only equal and unequal can happen: its branches are not counted.
    if (operacion == &CifraRC4::Restar)  // GCOVR_EXCL_BR_LINE
        ProcesarEn<&CifraRC4::Restar>(entrada, salida);
    else
        ProcesarEn<&CifraRC4::Sumar>(entrada, salida);
}
