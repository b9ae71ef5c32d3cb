// The terminal layer on Windows. Standard input and output are put in binary
// mode, so that a Ctrl-Z (byte 26) is read as data rather than as the end of
// the input; on pipes and files their lines end in CR LF both ways
// (Ufinlinea.h), and standard error keeps the runtime's text mode, which
// writes its newlines so. Each console stream that is a console (told by
// GetConsoleMode: _isatty is also true for NUL) goes through the terminal's
// stream buffers on the console instead, and lines typed there are read
// through the line editor.
#include "Uterminal.h"

#include <fcntl.h>
#include <io.h>

#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <utility>

#include "Ubuferes.h"
#include "Udesvio.h"
#include "Ufinlinea.h"
#include "Upantalla.h"
#include "Uteclado.h"

namespace {

bool EsConsola(HANDLE h) {
    DWORD modo = 0;
    return GetConsoleMode(h, &modo) != 0;
}

}  // namespace

// Declared in the order they must go: the input stream is given back its
// buffer before the editor goes, the echo's console handle is closed after
// the echo, and the output stream, flushed, is given back its buffer before
// the console's.
struct Terminal::Capa {
    Capa(std::istream& entrada_consola, std::ostream& salida_consola);

    std::optional<ConsolaWin> consola;
    std::optional<PantallaConsola> pantalla;
    std::optional<SalidaTerminal> salida;
    std::optional<Desvio<std::ostream>> desvio_salida;
    // The console's own output, for the echo of what is typed when standard
    // output goes elsewhere.
    std::unique_ptr<void, decltype(&CloseHandle)> conout{nullptr, &CloseHandle};
    std::optional<ConsolaWin> consola_eco;
    std::optional<PantallaConsola> pantalla_eco;
    std::optional<SalidaTerminal> eco;
    std::optional<TecladoConsola> teclado;
    std::optional<LineasEditadas> entrada;
    std::optional<Desvio<std::istream>> desvio_entrada;
    std::optional<FinesDeLinea> fines;
};

Terminal::Terminal(std::istream& entrada_consola, std::ostream& salida_consola)
    : capa(std::make_unique<Capa>(entrada_consola, salida_consola)) {}

Terminal::~Terminal() = default;

int Terminal::ErrorDeLectura() const { return capa->teclado ? capa->teclado->ErrorDeLectura() : 0; }

Terminal::Capa::Capa(std::istream& entrada_consola, std::ostream& salida_consola) {
    // Only the descriptors the process was given a handle for: asking the C
    // runtime about a missing one may end the process.
    const std::pair<DWORD, int> estandares[] = {{STD_INPUT_HANDLE, 0}, {STD_OUTPUT_HANDLE, 1}};
    for (const auto& [estandar, descriptor] : estandares) {
        const HANDLE h = GetStdHandle(estandar);
        if (h != nullptr && h != INVALID_HANDLE_VALUE) _setmode(descriptor, _O_BINARY);
    }
    const HANDLE in = GetStdHandle(STD_INPUT_HANDLE), out = GetStdHandle(STD_OUTPUT_HANDLE);
    fines.emplace(entrada_consola, EsConsola(in), salida_consola, EsConsola(out));
    if (EsConsola(out)) {
        consola.emplace(out);
        pantalla.emplace(*consola);
        salida.emplace(*consola);
        desvio_salida.emplace(salida_consola, *salida);
    }
    if (!EsConsola(in)) return;
    Pantalla* hacia = pantalla ? &*pantalla : nullptr;
    SalidaTerminal* prompt = salida ? &*salida : nullptr;
    if (hacia == nullptr) {
        const HANDLE h = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) conout.reset(h);
        consola_eco.emplace(h);
        hacia = &pantalla_eco.emplace(*consola_eco);
        prompt = &eco.emplace(*consola_eco);
    }
    teclado.emplace(in);
    // The notice only where the output is read: the console itself.
    entrada.emplace(*teclado, *hacia, *prompt, salida.has_value(), salida_consola);
    desvio_entrada.emplace(entrada_consola, *entrada);
}
