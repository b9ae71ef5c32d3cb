// CadenaExt: the program's one byte container. A growable sequence of bytes
// with an explicit length and capacity; a zero byte is ordinary content. It
// holds typed lines, keys, results and the cipher's permutation, so every
// array it gives up is wiped before it goes back to the allocator.
#ifndef UCADENAEXT_H
#define UCADENAEXT_H

#include <cstdint>
#include <iosfwd>

class CadenaExt {
public:
    // Capacity the program gives every string, and the first one a string
    // without storage takes when it grows.
    static constexpr std::uint32_t kCapacidadInicial = 320;

    // Allocates `capacidad` bytes (none when 0); the length is 0.
    explicit CadenaExt(std::uint32_t capacidad = kCapacidadInicial);
    // Wipes and frees the storage (Liberar).
    ~CadenaExt();

    // Strings are passed by reference and never copy-constructed; the only
    // copy is the assignment below, which makes storage of its own.
    CadenaExt(const CadenaExt&) = delete;
    // Copies `otra`'s content; the capacity becomes its length, so assigning
    // an empty string releases the storage. Assigning to itself changes nothing.
    CadenaExt& operator=(const CadenaExt& otra);

    std::uint32_t Longitud() const { return longitud; }
    std::uint32_t Capacidad() const { return capacidad; }

    // Length 0; the storage and the capacity stay.
    void Vaciar() { longitud = 0; }
    // Wipes and frees the storage: no storage, length 0, capacity 0.
    void Liberar();
    // Sets the capacity to `n`: 0 frees; otherwise the first min(n, length)
    // bytes are kept, so shrinking below the length cuts the content.
    void Redimensionar(std::uint32_t n);

    // Appends one byte, growing first when full (SiguienteCapacidad). Always
    // true; throws std::length_error when the string already holds the largest
    // 32-bit length, std::bad_alloc when memory is exhausted.
    bool Agregar(unsigned char c) {
        if (longitud == capacidad) Crecer();
        datos[longitud++] = static_cast<char8_t>(c);  // longitud < capacidad after Crecer
        return true;
    }

    // Capacity after growing a full string of capacity `capacidad`: 320 from
    // nothing, then doubling, saturating at the largest 32-bit capacity.
    static std::uint32_t SiguienteCapacidad(std::uint32_t capacidad);

    bool IndiceValido(std::uint32_t n) const { return n < longitud; }
    // The byte at `n`; throws std::exception when `n` is not a valid index.
    unsigned char Caracter(std::uint32_t n) const {
        if (!IndiceValido(n)) FueraDeRango();
        return datos[n];
    }
    // Writable reference to the byte at `n`; throws as Caracter. (Writing
    // through an unsigned char is allowed on any object, the stored char8_t
    // included.)
    unsigned char& Elemento(std::uint32_t n) {
        if (!IndiceValido(n)) FueraDeRango();
        return reinterpret_cast<unsigned char&>(datos[n]);
    }
    // Stores `c` at `n` as Elemento does; always true, throws as Caracter.
    bool Asignar(std::uint32_t n, unsigned char c) {
        if (!IndiceValido(n)) FueraDeRango();
        datos[n] = static_cast<char8_t>(c);
        return true;
    }
    // Swaps the bytes at `a` and `b` (they may be equal); false, with nothing
    // changed, unless both are valid indexes.
    bool Intercambiar(std::uint32_t a, std::uint32_t b) {
        if (!IndiceValido(a) || !IndiceValido(b)) return false;
        const char8_t t = datos[a];
        datos[a] = datos[b];
        datos[b] = t;
        return true;
    }

    // Replaces the content with the next line of `entrada`: bytes up to the
    // newline byte, which is consumed and not stored; any other byte, carriage
    // return and NUL included, is content. The capacity then shrinks to the
    // length. False only when the input ended or failed before any byte.
    // Failures are read from the stream's state: a long line sets failbit for
    // a moment each time it fills the storage, so `entrada` must not throw on
    // failbit.
    bool LeerLinea(std::istream& entrada);
    // Writes the content as raw bytes; false when the stream has failed.
    bool Escribir(std::ostream& salida) const;
    // Escribir, then a newline byte and a flush; false when the stream has failed.
    bool EscribirLinea(std::ostream& salida) const;

private:
    [[noreturn]] static void FueraDeRango();
    void Crecer();
    // Reads the next bytes of a line into the free storage, keeping its last
    // byte for the stream's terminating zero. True when the line ended there
    // (newline consumed, or the input ended or failed); false when the
    // storage filled up first.
    bool LeerTramo(std::istream& entrada);

    std::uint32_t longitud = 0;
    std::uint32_t capacidad = 0;
    // An array from Umemoria, owned and freed by the string; null exactly
    // when capacidad == 0. The bytes are held as char8_t, which has the
    // representation of unsigned char without its licence to alias every
    // object: a byte stored here cannot change a length, a capacity, a
    // pointer or a cipher index, so the compiler keeps those in registers
    // through loops that write bytes, instead of reloading all of them after
    // every byte.
    char8_t* datos = nullptr;
};

#endif
