#include "Usumidero.h"

#include "Utabla850.h"

bool SumideroUtf8::Poner(const char32_t* caracteres, std::size_t n) {
    char bloque[3 * 256];
    std::size_t largo = 0;
    bool bien = true;
    for (std::size_t k = 0; bien && k < n; ++k) {
        largo += CodificarUtf8(caracteres[k], bloque + largo);
        if (largo + 3 > sizeof bloque || k + 1 == n) {
            bien = destino.sputn(bloque, static_cast<std::streamsize>(largo)) == static_cast<std::streamsize>(largo);
            largo = 0;
        }
    }
    Borrar(bloque, sizeof bloque);
    return bien;
}
