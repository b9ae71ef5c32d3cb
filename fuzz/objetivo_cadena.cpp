// Fuzz target: two CadenaExt driven by an arbitrary sequence of operations and
// compared after every step with a plain model (a byte vector and the
// capacity the growth rules give). Element access out of range must throw and
// change nothing.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <sstream>
#include <vector>

#include "Ucadenaext.h"
#include "objetivo.h"

namespace {

struct Modelo {
    std::vector<unsigned char> bytes;
    std::uint32_t capacidad = CadenaExt::kCapacidadInicial;
};

void Comparar(const CadenaExt& c, const Modelo& m) {
    Exigir(c.Longitud() == m.bytes.size(), "longitud");
    Exigir(c.Capacidad() == m.capacidad, "capacidad");
    for (std::uint32_t n = 0; n < c.Longitud(); ++n) Exigir(c.Caracter(n) == m.bytes[n], "contenido");
}

// An index near the content: inside it, just past its end, or far out.
std::uint32_t Indice(Lector& lector, const Modelo& m) {
    const std::uint8_t b = lector.Byte();
    if (b == 255) return UINT32_MAX;
    return static_cast<std::uint32_t>(b % (m.bytes.size() + 2));
}

template <typename Operacion>
void FueraDeRango(Operacion operacion) {
    bool lanzo = false;
    try {
        operacion();
    } catch (const std::exception&) {
        lanzo = true;
    }
    Exigir(lanzo, "un indice fuera de rango lanza std::exception");
}

void Agregar(CadenaExt& c, Modelo& m, unsigned char b) {
    if (m.bytes.size() == m.capacidad) m.capacidad = CadenaExt::SiguienteCapacidad(m.capacidad);
    Exigir(c.Agregar(b), "Agregar responde true");
    m.bytes.push_back(b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t largo) {
    Lector lector(datos, largo);
    CadenaExt cadenas[2];
    Modelo modelos[2];
    while (lector.Quedan()) {
        const std::uint8_t orden = lector.Byte();
        const int cual = orden & 1;
        CadenaExt& c = cadenas[cual];
        Modelo& m = modelos[cual];
        switch ((orden >> 1) % 13) {
            case 0: Agregar(c, m, lector.Byte()); break;
            case 1:  // a run of bytes, enough to cross several capacities
                for (std::uint16_t n = lector.Corto() % 700; n > 0; --n) Agregar(c, m, static_cast<unsigned char>(n));
                break;
            case 2: {
                const std::uint32_t n = lector.Corto() % 2000;
                c.Redimensionar(n);
                m.capacidad = n;
                if (m.bytes.size() > n) m.bytes.resize(n);
                break;
            }
            case 3:
                c.Vaciar();
                m.bytes.clear();
                break;
            case 4:
                c.Liberar();
                m.bytes.clear();
                m.capacidad = 0;
                break;
            case 5: {
                const std::uint32_t a = Indice(lector, m), b = Indice(lector, m);
                const bool validos = a < m.bytes.size() && b < m.bytes.size();
                Exigir(c.Intercambiar(a, b) == validos, "Intercambiar responde si los indices son validos");
                if (validos) std::swap(m.bytes[a], m.bytes[b]);
                break;
            }
            case 6: {
                const std::uint32_t n = Indice(lector, m);
                const unsigned char b = lector.Byte();
                if (n < m.bytes.size()) {
                    Exigir(c.Asignar(n, b), "Asignar responde true");
                    m.bytes[n] = b;
                } else {
                    FueraDeRango([&] { c.Asignar(n, b); });
                }
                break;
            }
            case 7: {
                const std::uint32_t n = Indice(lector, m);
                Exigir(c.IndiceValido(n) == (n < m.bytes.size()), "IndiceValido");
                if (n < m.bytes.size())
                    Exigir(c.Caracter(n) == m.bytes[n], "Caracter");
                else
                    FueraDeRango([&] { c.Caracter(n); });
                break;
            }
            case 8: {
                const std::uint32_t n = Indice(lector, m);
                const unsigned char b = lector.Byte();
                if (n < m.bytes.size()) {
                    c.Elemento(n) = b;
                    m.bytes[n] = b;
                } else {
                    FueraDeRango([&] { c.Elemento(n) = b; });
                }
                break;
            }
            case 9:  // assignment from the other string, or from itself
                if (orden & 0x80) {
                    c = cadenas[1 - cual];
                    m.bytes = modelos[1 - cual].bytes;
                    m.capacidad = static_cast<std::uint32_t>(m.bytes.size());
                } else {
                    const CadenaExt& misma = c;
                    c = misma;
                }
                break;
            case 10: {  // a line read from the next few bytes
                const std::string todo = lector.Bytes(lector.Byte());
                std::istringstream entrada(todo);
                const std::size_t fin = todo.find('\n');
                const std::string linea = todo.substr(0, fin);
                const bool leida = c.LeerLinea(entrada);
                Exigir(leida == !todo.empty(), "LeerLinea es false solo sin ningun byte");
                m.bytes.assign(linea.begin(), linea.end());
                m.capacidad = static_cast<std::uint32_t>(m.bytes.size());
                break;
            }
            case 11: {
                std::ostringstream salida;
                Exigir(c.EscribirLinea(salida), "EscribirLinea en un flujo sano");
                Exigir(salida.str() == std::string(m.bytes.begin(), m.bytes.end()) + "\n", "EscribirLinea escribe el contenido");
                break;
            }
            default: {
                std::ostringstream fallida;
                fallida.setstate(std::ios::badbit);
                Exigir(!c.Escribir(fallida) && fallida.str().empty(), "Escribir en un flujo fallido");
                break;
            }
        }
        Comparar(cadenas[0], modelos[0]);
        Comparar(cadenas[1], modelos[1]);
    }
    return 0;
}
