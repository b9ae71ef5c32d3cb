// Bloque: the one way the terminal layer gathers what it shows or what was
// typed into a block, hands it on and wipes it; Tramo is a Bloque of
// characters for a Sumidero.
#ifndef UBLOQUE_H
#define UBLOQUE_H

#include <cstddef>
#include <iterator>

#include "Uborrado.h"
#include "Uplataforma.h"

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

#endif
