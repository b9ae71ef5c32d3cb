// What the fuzz targets share: Lector takes values off the front of a
// fuzzer's input (past the end every value is 0, so any byte sequence is a
// complete test case), Exigir stops the run when a property fails, and
// ExigirForma checks the shape every cipher result must have.
#ifndef OBJETIVO_H
#define OBJETIVO_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// Aborts, which libFuzzer and the corpus replay both report as a failure.
inline void Exigir(bool condicion, const char* propiedad) {
    if (condicion) return;
    std::fprintf(stderr, "propiedad violada: %s\n", propiedad);
    std::abort();
}

// A transformation of `original` keeps its length and its bytes below 32 in
// place, and puts no other byte below 32.
inline void ExigirForma(const std::string& original, const std::string& resultado) {
    Exigir(resultado.size() == original.size(), "el resultado tiene la longitud del original");
    for (std::size_t n = 0; n < original.size(); ++n) {
        const auto o = static_cast<unsigned char>(original[n]), r = static_cast<unsigned char>(resultado[n]);
        Exigir(o < 32 ? r == o : r >= 32, "bytes de control en su sitio y ningun otro por debajo de 32");
    }
}

class Lector {
public:
    Lector(const std::uint8_t* datos, std::size_t largo) : datos(datos), largo(largo) {}

    bool Quedan() const { return posicion < largo; }
    std::uint8_t Byte() { return posicion < largo ? datos[posicion++] : 0; }
    // Two bytes, little end first.
    std::uint16_t Corto() { return static_cast<std::uint16_t>(Byte() | Byte() << 8); }
    // Up to `n` bytes, fewer when the input runs out.
    std::string Bytes(std::size_t n) {
        const std::size_t tomados = n < largo - posicion ? n : largo - posicion;
        std::string s(reinterpret_cast<const char*>(datos + posicion), tomados);
        posicion += tomados;
        return s;
    }
    std::string Resto() { return Bytes(largo - posicion); }

private:
    const std::uint8_t* datos;
    std::size_t largo;
    std::size_t posicion = 0;
};

#endif
