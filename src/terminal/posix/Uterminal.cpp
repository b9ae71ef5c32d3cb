// The terminal layer on POSIX systems: each console stream that is a terminal,
// when the locale (LC_CTYPE from the environment) counts as UTF-8, goes
// through the terminal's stream buffers; when both are such terminals, lines
// are read through the line editor, unless TERM says the terminal is "dumb"
// (Emacs' shell, some editors' consoles), which cannot move a cursor, or the
// terminal cannot be put in raw mode: there the terminal's own line mode reads
// them, and no escape sequence is written.
#include "Uterminal.h"

#include <langinfo.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <istream>
#include <optional>
#include <ostream>

#include "Ubuferes.h"
#include "Udesvio.h"
#include "Upantalla.h"
#include "Uteclado.h"

// Declared in the order they must go: the input stream is given back its
// buffer before the buffers it read through go, and the output stream,
// flushed, after the line editor has let go of the prompt it held.
struct Terminal::Capa {
    Capa(std::istream& entrada_consola, std::ostream& salida_consola);

    std::optional<PantallaTerminal> pantalla;
    std::optional<SalidaTerminal> salida;
    std::optional<Desvio<std::ostream>> desvio_salida;
    std::optional<TecladoTerminal> teclado;
    std::optional<LineasEditadas> editor;
    std::optional<EntradaTerminal> entrada;
    std::optional<Desvio<std::istream>> desvio_entrada;
};

Terminal::Terminal(std::istream& entrada_consola, std::ostream& salida_consola)
    : capa(std::make_unique<Capa>(entrada_consola, salida_consola)) {}

Terminal::~Terminal() = default;

int Terminal::ErrorDeLectura() const { return capa->teclado ? capa->teclado->ErrorDeLectura() : 0; }

Terminal::Capa::Capa(std::istream& entrada_consola, std::ostream& salida_consola) {
    const char* nombre = std::setlocale(LC_CTYPE, "");
    if (!LocaleUtf8(nombre, nl_langinfo(CODESET))) return;
    const bool terminal_entrada = isatty(STDIN_FILENO) == 1, terminal_salida = isatty(STDOUT_FILENO) == 1;
    if (terminal_salida) {
        pantalla.emplace(*salida_consola.rdbuf(), STDOUT_FILENO);
        salida.emplace(*pantalla);
        desvio_salida.emplace(salida_consola, *salida);
    }
    if (!terminal_entrada) return;
    const char* const tipo = std::getenv("TERM");
    const bool tonta = tipo != nullptr && std::strcmp(tipo, "dumb") == 0;
    // A terminal that refuses raw mode (one the program may not set, as
    // from an orphaned background job) is read in its own line mode: the
    // editor would draw for keys it could never have one at a time.
    if (terminal_salida && !tonta) {
        teclado.emplace(STDIN_FILENO, STDOUT_FILENO);
        if (!teclado->AdmiteModoCrudo()) teclado.reset();
    }
    if (teclado) {
        editor.emplace(*teclado, *pantalla, *salida, true, salida_consola);
        desvio_entrada.emplace(entrada_consola, *editor);
    } else {
        entrada.emplace(*entrada_consola.rdbuf(), salida ? &*salida : nullptr);
        desvio_entrada.emplace(entrada_consola, *entrada);
    }
}
