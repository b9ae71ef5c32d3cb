// Sumidero: where the terminal layer's characters go, a terminal's or a
// console's output; each platform has its own (a UTF-8 byte stream, a console
// written in UTF-16). Bloque is the one way the layer gathers what it shows
// or was typed into a block, hands it on and wipes it; Tramo is a Bloque of
// characters for a Sumidero.
#ifndef USUMIDERO_H
#define USUMIDERO_H

#include <cstddef>
#include <streambuf>

#include "Uborrado.h"

// The screen's size where a terminal or console does not say it.
constexpr std::size_t kAnchoSupuesto = 80, kAltoSupuesto = 24;

class Sumidero {
public:
    // Shows `n` characters, each below U+10000; false when the output refused
    // them.
    virtual bool Poner(const char32_t* simbolos, std::size_t n) = 0;
    // Passes on whatever it holds; false when the output refused it.
    virtual bool Enviar() = 0;

protected:
    ~Sumidero() = default;
};

// Units (characters, UTF-8 or UTF-16 code units, bytes) gathered and handed
// to `entregar(datos, largo)`, which answers whether they went, a block at a
// time. The block holds what is shown, typed keys included, and is wiped.
template <class Unidad, class Entrega>
class Bloque {
public:
    explicit Bloque(Entrega entregar) : entregar(entregar) {}
    ~Bloque() { Borrar(datos, sizeof datos); }
    Bloque(const Bloque&) = delete;
    Bloque& operator=(const Bloque&) = delete;

    void Poner(Unidad unidad) {
        if (largo == std::size(datos)) Entregar();
        datos[largo++] = unidad;
    }
    // Hands over what is gathered; false once a block has been refused.
    bool Entregar() {
        if (bien && largo > 0) bien = entregar(datos, largo);
        largo = 0;
        return bien;
    }

private:
    Entrega entregar;
    Unidad datos[256];
    std::size_t largo = 0;
    bool bien = true;
};

// A Bloque handing its units to `entregar`.
template <class Unidad, class Entrega>
Bloque<Unidad, Entrega> EnBloques(Entrega entregar) {
    return Bloque<Unidad, Entrega>(entregar);
}

struct HaciaSumidero {
    Sumidero& sumidero;
    bool operator()(const char32_t* simbolos, std::size_t n) const { return sumidero.Poner(simbolos, n); }
};

// Characters gathered for a Sumidero.
class Tramo : public Bloque<char32_t, HaciaSumidero> {
public:
    explicit Tramo(Sumidero& sumidero) : Bloque(HaciaSumidero{sumidero}) {}
};

// A Sumidero that writes UTF-8 to a stream buffer (a terminal's standard
// output); its own block of UTF-8 is wiped.
class SumideroUtf8 final : public Sumidero {
public:
    explicit SumideroUtf8(std::streambuf& destino) : destino(destino) {}
    bool Poner(const char32_t* simbolos, std::size_t n) override;
    bool Enviar() override { return destino.pubsync() == 0; }

private:
    std::streambuf& destino;
};

#endif
