// The terminal layer on POSIX systems: each console stream that is a terminal,
// when the locale (LC_CTYPE from the environment) counts as UTF-8, goes
// through the UTF-8 stream buffers; when both are such terminals, lines are
// read through the line editor (Ueditor.h).
#include "Uterminal.h"

#include <clocale>
#include <cstring>
#include <istream>
#include <optional>
#include <ostream>

#include <langinfo.h>
#include <unistd.h>

#include "Udesvio.h"
#include "Ueditor.h"
#include "Uflujos.h"

// Declared in the order they must go: the input stream is given back its
// buffer before the buffers it read through go, and the output stream, flushed,
// after the line editor has let go of the prompt it held.
struct Terminal::Capa {
    Capa(std::istream& entrada_consola, std::ostream& salida_consola);

    std::optional<SalidaTerminal> salida;
    std::optional<Desvio<std::ostream>> desvio_salida;
    std::unique_ptr<LineasEditadas> editor;
    std::optional<EntradaTerminal> entrada;
    std::optional<Desvio<std::istream>> desvio_entrada;
};

Terminal::Terminal(std::istream& entrada_consola, std::ostream& salida_consola)
    : capa(std::make_unique<Capa>(entrada_consola, salida_consola)) {}

Terminal::~Terminal() = default;

Terminal::Capa::Capa(std::istream& entrada_consola, std::ostream& salida_consola) {
    const char* nombre = std::setlocale(LC_CTYPE, "");
    if (!LocaleUtf8(nombre, nl_langinfo(CODESET))) return;
    const bool terminal_entrada = isatty(STDIN_FILENO) == 1, terminal_salida = isatty(STDOUT_FILENO) == 1;
    if (terminal_salida) {
        salida.emplace(*salida_consola.rdbuf());
        desvio_salida.emplace(salida_consola, *salida);
    }
    if (terminal_entrada) {
        if (terminal_salida) {
            // The editor decodes what it is given with the locale's codeset,
            // which for C and POSIX is not UTF-8.
            if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) std::setlocale(LC_CTYPE, "C.UTF-8");
            editor = std::make_unique<LineasEditadas>(*salida);
            entrada.emplace(*editor, &*salida);
        } else {
            entrada.emplace(*entrada_consola.rdbuf());
        }
        desvio_entrada.emplace(entrada_consola, *entrada);
    }
}
