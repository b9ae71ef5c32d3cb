#include "Usumidero.h"

#include "Utabla850.h"

bool SumideroUtf8::Poner(const char32_t* simbolos, std::size_t n) {
    auto bloque = EnBloques<char>([&](const char* datos, std::size_t largo) {
        return destino.sputn(datos, static_cast<std::streamsize>(largo)) == static_cast<std::streamsize>(largo);
    });
    char utf8[3];
    for (std::size_t k = 0; k < n; ++k)
        for (std::size_t b = 0, m = CodificarUtf8(simbolos[k], utf8); b < m; ++b) bloque.Poner(utf8[b]);
    Borrar(utf8, sizeof utf8);
    return bloque.Entregar();
}
