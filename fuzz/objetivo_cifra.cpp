// Fuzz target: the cipher on an arbitrary key and text. Encrypting gives the
// model's cipher text, of the text's length, with control bytes in place and
// every other byte in 32..255; decrypting it gives the text back; in place and
// out of place agree; the inverse order (decrypt, then encrypt) also returns.
#include <cstddef>
#include <cstdint>

#include "Ucifrarc4.h"
#include "cadenas.h"
#include "objetivo.h"
#include "vectores.h"

namespace {

std::string Aplicar(const std::string& clave, const std::string& texto, bool descifrar, bool en_su_sitio) {
    CadenaExt k, entrada, salida;
    Llenar(k, clave);
    Llenar(entrada, texto);
    CifraRC4 cifra;
    Exigir(cifra.EstablecerClave(k), "una clave no vacia se acepta");
    cifra.EstablecerModo(descifrar);
    if (en_su_sitio) {
        cifra.Procesar(entrada, entrada);
        return Texto(entrada);
    }
    cifra.Procesar(entrada, salida);
    return Texto(salida);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t largo) {
    Lector lector(datos, largo);
    const std::uint8_t bajo = lector.Byte(), alto = lector.Byte();
    const std::size_t largo_clave = bajo | (alto & 1u) << 8;  // 0 to 511
    const bool en_su_sitio = alto & 2u;
    const std::string clave = lector.Bytes(largo_clave);
    const std::string texto = lector.Resto();

    if (clave.empty()) {
        CadenaExt k;
        CifraRC4 cifra;
        Exigir(!cifra.EstablecerClave(k), "una clave vacia se rechaza");
        return 0;
    }
    const std::string cifrado = Aplicar(clave, texto, false, en_su_sitio);
    ExigirForma(texto, cifrado);
    Exigir(cifrado == Modelo(clave, texto, false), "el cifrado coincide con el modelo");
    Exigir(Aplicar(clave, cifrado, true, false) == texto, "descifrar el cifrado devuelve el texto");
    Exigir(Aplicar(clave, cifrado, true, true) == texto, "descifrar en su sitio devuelve el texto");
    Exigir(Aplicar(clave, Aplicar(clave, texto, true, false), false, false) == texto,
           "cifrar lo descifrado devuelve el texto");
    return 0;
}
