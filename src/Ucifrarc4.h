// CifraRC4: a stream cipher built like RC4 over an alphabet of 224 symbols,
// the bytes 32 to 255 numbered 0 to 223. Every enciphered byte is again a byte
// from 32 to 255, so a cipher text can be shown on a console and typed back;
// bytes 0 to 31 pass through and draw no keystream symbol. The keystream is
// added modulo 224 to encrypt and subtracted modulo 224 to decrypt.
//
// Use for one message: EstablecerClave, and only when it answered true,
// EstablecerModo, then Procesar. Each EstablecerClave starts over, so the same
// key, mode and text always give the same output.
#ifndef UCIFRARC4_H
#define UCIFRARC4_H

#include <cstdint>

#include "Ucadenaext.h"

class CifraRC4 {
public:
    static constexpr std::uint32_t kSimbolos = 224;    // alphabet size
    static constexpr unsigned char kDesplazamiento = 32;  // byte of symbol 0

    // Unkeyed: i = j = 0, empty permutation, encrypt mode.
    CifraRC4();
    // Sets i and j to 0; the members then wipe and free their storage.
    ~CifraRC4();

    // Identity permutation on 0..223, i = j = 0.
    void Reiniciar();
    // Resets (always), then schedules `clave`: its bytes are used raw (0 to
    // 255) and only the first 224 take part. False for an empty key, leaving
    // the identity permutation, the former stored key and the mode untouched.
    bool EstablecerClave(const CadenaExt& clave);
    // One generator step. The cipher must be keyed.
    void Avanzar();
    // Advances and answers the next keystream symbol, 0 to 223.
    unsigned char SiguienteSimbolo();
    // false selects Sumar (encrypt), true selects Restar (decrypt).
    void EstablecerModo(bool descifrar);
    // (a + b) mod 224 and (a + 224 - b) mod 224, in unsigned 32-bit
    // arithmetic; for symbols a, b in 0..223, Restar(Sumar(a, b), b) == a.
    unsigned char Sumar(unsigned char a, unsigned char b) const;
    unsigned char Restar(unsigned char a, unsigned char b) const;
    // Transforms `entrada` into `salida` in the current mode: same length,
    // bytes below 32 copied in place without drawing a symbol, every other
    // byte combined with the next symbol. `salida` may be `entrada` itself,
    // which is then transformed in place. The cipher must be keyed.
    void Procesar(const CadenaExt& entrada, CadenaExt& salida);

private:
    using Operacion = unsigned char (CifraRC4::*)(unsigned char, unsigned char) const;

    // The generator on indexes held by the caller: Avanzar and SiguienteSimbolo
    // pass the members. (Procesar's byte loop runs the same step on locals,
    // which the compiler keeps in registers, one entry ahead: see ProcesarEn.)
    //
    // Entrada is the permutation's entry at `n`, which the optimiser is told
    // is a symbol (each of 0..223 is there once), so that the sums of entries
    // the generator reduces are known to be below 2 × 224.
    //
    // Paso is Avanzar; it answers S[i] + S[j] after the swap, summed from the
    // two entries as it read them, so that the symbol's look-up does not wait
    // for the bytes just stored to be read back.
    std::uint32_t Entrada(std::uint32_t n) const;
    std::uint32_t Paso(std::uint32_t& pi, std::uint32_t& pj);
    unsigned char SiguienteSimbolo(std::uint32_t& pi, std::uint32_t& pj);
    // Procesar in the mode `Op`, chosen once per string so that the combining
    // operation is inlined rather than called through the pointer per byte.
    template <Operacion Op>
    void ProcesarEn(const CadenaExt& entrada, CadenaExt& salida);
    // The output byte for the byte `c` (32 to 255) and the symbol `k`: Op on
    // c - 32 and k, plus 32.
    template <Operacion Op>
    static unsigned char Combinar(unsigned char c, std::uint32_t k);

    std::uint32_t i = 0;
    std::uint32_t j = 0;
    CadenaExt estado;  // the permutation: 224 bytes, each of 0..223 once
    CadenaExt clave;   // copy of the last key accepted
    bool descifrando = false;  // Restar, or Sumar when false
};

#endif
