// Fuzz target: the terminal's keys as the program reads them (TecladoTerminal
// over a pipe), the input split into reads at random places with random
// pauses between them, against the same input read at once: the sucesos are
// the same, whatever the split and however long the pauses, since what a key
// is depends on its bytes alone. The input's state machine on its own never
// gives more sucesos than it promises, and a complete control string (OSC,
// DCS, SOS, PM or APC, ended by BEL or ST), put after anything at all but an
// open sequence or paste, gives one Suceso::Nada at its end and nothing
// before: none of its bytes is ever typed.
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "Usecuencias.h"
#include "Uteclado.h"
#include "objetivo.h"

namespace {

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

// The state machine fed `antes`, then a cadena that must come out whole as one Nada.
void CadenaEntera(const std::string& antes, const std::string& cadena) {
    DecodificadorTeclas decodificador;
    Suceso salida[DecodificadorTeclas::kMaximo];
    std::size_t k = 0;
    for (const char c : antes) {
        k = decodificador.Entrar(static_cast<unsigned char>(c), salida);
        Exigir(k <= DecodificadorTeclas::kMaximo, "no mas sucesos de los prometidos");
    }
    // Closes whatever `antes` left open (a mouse report takes any three
    // bytes), so that the string starts afresh; a paste has no end but its own.
    if (decodificador.Pegando()) return;
    for (const char c : std::string("\x1b\\\x1b\\\x1b\\")) decodificador.Entrar(static_cast<unsigned char>(c), salida);
    for (std::size_t n = 0; n < cadena.size(); ++n) {
        k = decodificador.Entrar(static_cast<unsigned char>(cadena[n]), salida);
        if (n + 1 < cadena.size()) {
            Exigir(k == 0, "nada de una cadena de control sale antes de su fin");
        } else {
            Exigir(k == 1 && salida[0].tipo == Suceso::Tipo::Nada, "una cadena completa es un suceso sin tecla");
        }
    }
}

bool Igual(const Suceso& a, const Suceso& b) {
    return a.tipo == b.tipo && a.tecla == b.tecla && a.fila == b.fila && a.columna == b.columna;
}

// The sucesos read from `bytes`, written in `tramos` with a pause of the
// given microseconds after each; a key after Ctrl-V is read as the editor
// asks for it, literally.
std::vector<Suceso> Leer(const std::string& bytes, const std::vector<std::pair<std::size_t, unsigned>>& tramos) {
    int tubo[2];
    Exigir(pipe(tubo) == 0, "un tubo");
    std::thread escritor([&] {
        std::size_t desde = 0;
        for (const auto& [largo, pausa] : tramos) {
            const std::size_t n = std::min(largo, bytes.size() - desde);
            Exigir(write(tubo[1], bytes.data() + desde, n) == static_cast<ssize_t>(n), "escrito en el tubo");
            desde += n;
            std::this_thread::sleep_for(std::chrono::microseconds(pausa));
        }
        Exigir(write(tubo[1], bytes.data() + desde, bytes.size() - desde) == static_cast<ssize_t>(bytes.size() - desde),
               "escrito en el tubo");
        close(tubo[1]);
    });
    std::vector<Suceso> sucesos;
    {
        TecladoTerminal teclado(tubo[0], -1);
        const Tecla ctrl_v{Tecla::Nombre::Simbolo, 'v', kCtrl};
        for (Suceso s; teclado.Leer(s, !sucesos.empty() && sucesos.back().tecla == ctrl_v);) sucesos.push_back(s);
    }
    escritor.join();
    close(tubo[0]);
    return sucesos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t largo) {
    Lector lector(datos, largo);
    const std::uint8_t tipo = lector.Byte();
    std::vector<std::pair<std::size_t, unsigned>> tramos(lector.Byte() % 8);
    for (auto& [largo_tramo, pausa] : tramos) {
        largo_tramo = lector.Byte() % 64;
        // Now and then a pause longer than the waits terminal programs make
        // for the rest of a sequence (often 100 ms or less).
        const std::uint8_t p = lector.Byte();
        pausa = p == 255 ? 120000u : p % 8 * 50u;
    }
    const std::string antes = lector.Bytes(lector.Corto() % 256);
    const std::string cadena = CadenaDeControl(tipo, lector.Bytes(lector.Corto() % 1024));
    const std::string despues = lector.Resto();
    CadenaEntera(antes, cadena);

    const std::string todo = antes + cadena + despues;
    const std::vector<Suceso> de_una_vez = Leer(todo, {}), por_partes = Leer(todo, tramos);
    Exigir(de_una_vez.size() == por_partes.size(), "los mismos sucesos en partes que de una vez");
    for (std::size_t n = 0; n < de_una_vez.size(); ++n)
        Exigir(Igual(de_una_vez[n], por_partes[n]), "los mismos sucesos en partes que de una vez");
    return 0;
}
