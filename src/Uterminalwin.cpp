// The terminal layer on Windows. The C runtime's standard descriptors are put
// in binary mode, so pipes and files carry exactly the bytes they carry on
// Linux: no CR added before a newline, a CR read as content, and a Ctrl-Z
// (byte 26) read as data rather than as the end of the input. Each console
// stream that is a console (told by GetConsoleMode: _isatty is also true for
// NUL) goes through the console stream buffers (Uconsolawin.h) instead.
#include "Uterminal.h"

#include <fcntl.h>
#include <io.h>

#include <istream>
#include <optional>
#include <ostream>
#include <utility>

#include "Uconsolawin.h"

namespace {

bool EsConsola(HANDLE h) {
    DWORD modo = 0;
    return GetConsoleMode(h, &modo) != 0;
}

}  // namespace

struct Terminal::Capa {
    Capa(std::istream& entrada_consola, std::ostream& salida_consola);
    ~Capa();

    std::istream& consola_entrada;
    std::ostream& consola_salida;
    std::optional<SalidaConsola> salida;
    // The console's own output, for the echo of what is typed when standard
    // output goes elsewhere.
    HANDLE conout = INVALID_HANDLE_VALUE;
    std::optional<SalidaConsola> eco;
    std::optional<LineasConsola> entrada;
    std::streambuf* entrada_original = nullptr;
    std::streambuf* salida_original = nullptr;
};

Terminal::Terminal(std::istream& entrada_consola, std::ostream& salida_consola)
    : capa(std::make_unique<Capa>(entrada_consola, salida_consola)) {}

Terminal::~Terminal() = default;

Terminal::Capa::Capa(std::istream& entrada_consola, std::ostream& salida_consola)
    : consola_entrada(entrada_consola), consola_salida(salida_consola) {
    // Only the descriptors the process was given a handle for: asking the C
    // runtime about a missing one may end the process.
    for (const auto& [estandar, descriptor] : {std::pair{STD_INPUT_HANDLE, 0}, {STD_OUTPUT_HANDLE, 1}, {STD_ERROR_HANDLE, 2}})
        if (const HANDLE h = GetStdHandle(estandar); h != nullptr && h != INVALID_HANDLE_VALUE) _setmode(descriptor, _O_BINARY);
    const HANDLE in = GetStdHandle(STD_INPUT_HANDLE), out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (EsConsola(out)) {
        salida.emplace(out);
        salida_original = consola_salida.rdbuf(&*salida);
    }
    if (!EsConsola(in)) return;
    SalidaConsola* hacia = salida ? &*salida : nullptr;
    if (hacia == nullptr) {
        conout = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
        hacia = &eco.emplace(conout);
    }
    entrada.emplace(in, *hacia);
    entrada_original = consola_entrada.rdbuf(&*entrada);
}

Terminal::Capa::~Capa() {
    if (entrada) consola_entrada.rdbuf(entrada_original);
    entrada.reset();
    if (conout != INVALID_HANDLE_VALUE) CloseHandle(conout);
    if (salida) {
        consola_salida.flush();
        consola_salida.rdbuf(salida_original);
    }
}
