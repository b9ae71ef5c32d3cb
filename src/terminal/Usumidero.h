// Sumidero: where the terminal layer's characters go, a terminal's or a
// console's output; each platform has its own (a UTF-8 byte stream, a console
// written in UTF-16). Tramo gathers characters for one in a wiped block.
#ifndef USUMIDERO_H
#define USUMIDERO_H

#include <cstddef>
#include <streambuf>

#include "Uborrado.h"

class Sumidero {
public:
    // Shows `n` characters, each below U+10000; false when the output refused
    // them.
    virtual bool Poner(const char32_t* caracteres, std::size_t n) = 0;
    // Passes on whatever it holds; false when the output refused it.
    virtual bool Vaciar() = 0;

protected:
    ~Sumidero() = default;
};

// Characters gathered and handed to a Sumidero a block at a time. The block
// holds what is shown, typed keys included, and is wiped.
class Tramo {
public:
    explicit Tramo(Sumidero& sumidero) : sumidero(sumidero) {}
    ~Tramo() { Borrar(datos, sizeof datos); }
    Tramo(const Tramo&) = delete;
    Tramo& operator=(const Tramo&) = delete;

    void Poner(char32_t caracter) {
        if (largo == std::size(datos)) Entregar();
        datos[largo++] = caracter;
    }
    // Hands over what is gathered; false once the sumidero has refused a block.
    bool Entregar() {
        if (bien && largo > 0) bien = sumidero.Poner(datos, largo);
        largo = 0;
        return bien;
    }

private:
    Sumidero& sumidero;
    char32_t datos[256];
    std::size_t largo = 0;
    bool bien = true;
};

// A Sumidero that writes UTF-8 to a stream buffer (a terminal's standard
// output); its own block of UTF-8 is wiped.
class SumideroUtf8 final : public Sumidero {
public:
    explicit SumideroUtf8(std::streambuf& destino) : destino(destino) {}
    bool Poner(const char32_t* caracteres, std::size_t n) override;
    bool Vaciar() override { return destino.pubsync() == 0; }

private:
    std::streambuf& destino;
};

#endif
