#include "Ueditor.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <editline/readline.h>

#include "Uborrado.h"

namespace {

// Characters: more than the longest line a user is expected to paste.
constexpr std::size_t kLineaPrevista = 1 << 17;

}  // namespace

LineasEditadas::LineasEditadas(SalidaTerminal& salida) : salida(salida) {
    rl_readline_name = "cifrador";
    rl_initialize();
    // Lines and keys are never kept: a history of size 0 holds nothing.
    stifle_history(0);
    // Tab is content (it is not enciphered), not a request for completion.
    rl_bind_key('\t', rl_insert);
    // The editor grows its line buffers with realloc, which frees the old
    // ones unwiped with the line typed so far in them. Growing them now, on
    // blanks, keeps lines and keys up to this length out of freed memory
    // (inserting grows the edit buffers, copying the text out grows the one
    // lines are returned in); the first line read starts empty all the same.
    const std::string blancos(kLineaPrevista, ' ');
    rl_insert_text(blancos.c_str());
    std::free(rl_copy_text(0, static_cast<int>(blancos.size())));
    salida.RetenerLineaAbierta(true);
}

LineasEditadas::~LineasEditadas() {
    Soltar();
    salida.RetenerLineaAbierta(false);
}

void LineasEditadas::Soltar() {
    if (linea == nullptr) return;
    Borrar(linea, largo);
    std::free(linea);
    linea = nullptr;
    largo = 0;
}

LineasEditadas::int_type LineasEditadas::underflow() {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (linea != nullptr) {
        Soltar();
        setg(&fin_de_linea, &fin_de_linea, &fin_de_linea + 1);
        return traits_type::to_int_type(fin_de_linea);
    }
    std::string prompt = salida.TomarLineaAbierta();
    salida.pubsync();
    linea = readline(prompt.c_str());
    Borrar(prompt.data(), prompt.size());
    if (linea == nullptr) {
        setg(nullptr, nullptr, nullptr);
        return traits_type::eof();
    }
    largo = std::strlen(linea);
    if (largo == 0) return underflow();  // straight to its newline
    setg(linea, linea, linea + largo);
    return traits_type::to_int_type(*gptr());
}
