// CadenaExt: the program's one byte container. A growable sequence of bytes
// with an explicit length and capacity; a zero byte is ordinary content. It
// holds typed lines, keys, results and the cipher's permutation, so every
// array it gives up is wiped before it goes back to the allocator.
#ifndef UCADENAEXT_H
#define UCADENAEXT_H

#include <cstdint>
#include <iosfwd>
#include <memory>

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
        datos[longitud++] = c;  // longitud < capacidad after Crecer
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
    // Writable reference to the byte at `n`; throws as Caracter.
    unsigned char& Elemento(std::uint32_t n) {
        if (!IndiceValido(n)) FueraDeRango();
        return datos[n];
    }
    // Stores `c` at `n` through Elemento; always true, throws as Caracter.
    bool Asignar(std::uint32_t n, unsigned char c) {
        Elemento(n) = c;
        return true;
    }
    // Swaps the bytes at `a` and `b` (they may be equal); false, with nothing
    // changed, unless both are valid indexes.
    bool Intercambiar(std::uint32_t a, std::uint32_t b) {
        if (!IndiceValido(a) || !IndiceValido(b)) return false;
        const unsigned char t = datos[a];
        datos[a] = datos[b];
        datos[b] = t;
        return true;
    }

    // Replaces the content with the next line of `entrada`: bytes up to the
    // newline byte, which is consumed and not stored; any other byte, carriage
    // return and NUL included, is content. The capacity then shrinks to the
    // length. False only when the input ended or failed before any byte.
    bool LeerLinea(std::istream& entrada);
    // Writes the content as raw bytes; false when the stream has failed.
    bool Escribir(std::ostream& salida) const;
    // Escribir, then a newline byte and a flush; false when the stream has failed.
    bool EscribirLinea(std::ostream& salida) const;

private:
    [[noreturn]] static void FueraDeRango();
    void Crecer();

    std::uint32_t longitud = 0;
    std::uint32_t capacidad = 0;
    std::unique_ptr<unsigned char[]> datos;  // null exactly when capacidad == 0
};

#endif
