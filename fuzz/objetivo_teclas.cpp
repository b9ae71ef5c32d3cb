// Fuzz target: the terminal input's state machine on arbitrary bytes, with the
// wait for a lone Escape passing now and then. It never gives more sucesos
// than it promises, the wait always ends what is open, and a complete control
// string (OSC, DCS, SOS, PM or APC, ended by BEL or ST), put anywhere after a
// wait, gives one Suceso::Nada at its end and nothing before: none of its
// bytes is ever typed.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Usecuencias.h"
#include "objetivo.h"

namespace {

class Entrada {
public:
    // A wait after every `cada` bytes (0: none).
    explicit Entrada(std::size_t cada) : cada(cada) {}

    void Bytes(const std::string& bytes) {
        for (const char c : bytes) {
            Contar(decodificador.Entrar(static_cast<unsigned char>(c), salida));
            if (cada != 0 && ++dados % cada == 0) Esperar();
        }
    }
    void Esperar() {
        Contar(decodificador.Interrumpir(salida));
        Exigir(!decodificador.Abierto(), "la espera cierra lo abierto");
    }
    // A complete control string: no suceso before its last byte, one Nada then.
    void Cadena(const std::string& cadena) {
        for (std::size_t n = 0; n < cadena.size(); ++n) {
            const std::size_t k = decodificador.Entrar(static_cast<unsigned char>(cadena[n]), salida);
            Contar(k);
            if (n + 1 < cadena.size()) {
                Exigir(k == 0, "nada de una cadena de control sale antes de su fin");
            } else {
                Exigir(k == 1 && salida[0].tipo == Suceso::Tipo::Nada, "una cadena completa es un suceso sin tecla");
            }
        }
        Exigir(!decodificador.Abierto(), "tras una cadena completa no queda nada abierto");
    }

private:
    void Contar(std::size_t k) { Exigir(k <= DecodificadorTeclas::kMaximo, "no mas sucesos de los prometidos"); }

    DecodificadorTeclas decodificador;
    Suceso salida[DecodificadorTeclas::kMaximo];
    std::size_t cada, dados = 0;
};

// A control string made of the fuzzer's bytes: what no string may hold left
// out (control characters, DEL, ESC), no longer than a string can be.
std::string CadenaDeControl(std::uint8_t tipo, const std::string& bytes) {
    static constexpr char kIntroductores[] = {']', 'P', 'X', '^', '_'};
    std::string cadena = std::string("\x1b") + kIntroductores[tipo % 5];
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b != 0x7F && cadena.size() - 2 < DecodificadorTeclas::kLargoMaximoCadena) cadena += c;
    }
    return cadena + ((tipo & 8) != 0 ? "\x07" : "\x1b\\");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t largo) {
    Lector lector(datos, largo);
    Entrada entrada(lector.Byte() % 32);
    const std::uint8_t tipo = lector.Byte();
    const std::size_t antes = lector.Corto(), contenido = lector.Corto() % 1024;
    entrada.Bytes(lector.Bytes(antes));
    entrada.Esperar();
    entrada.Cadena(CadenaDeControl(tipo, lector.Bytes(contenido)));
    entrada.Bytes(lector.Resto());
    entrada.Esperar();
    return 0;
}
