#include "Ueditor.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <string>

#include <editline/readline.h>

#include "Uborrado.h"
#include "Utabla850.h"

namespace {

// Characters: more than the longest line a user is expected to paste.
constexpr std::size_t kLineaPrevista = 1 << 17;
// Ctrl-], which the editor leaves unused, redraws the line; the key reader
// hands it over after the window changed size.
constexpr int kTeclaRedibujar = 0x1D;
// Ctrl-H deletes the character before the cursor.
constexpr char32_t kBorrarAnterior = 0x08;
constexpr char32_t kEscape = 0x1B;

// A SIGWINCH handler writes a byte to this pipe; the key reader waits on it
// beside the terminal.
int cambio_de_tamano[2] = {-1, -1};
struct sigaction anterior_sigwinch;

void AlCambiarTamano(int) {
    const int guardado = errno;
    const char byte = 0;
    if (write(cambio_de_tamano[1], &byte, 1) < 0) {
        // Full: a redraw is pending already.
    }
    errno = guardado;
}

// The key reader of one line: what it decoded and has not handed over yet,
// and what it needs to compose a combining mark with the character before it
// and to redraw the line. Everything in it was typed, and is wiped.
struct Teclado {
    explicit Teclado(const std::string& prompt) : prompt(prompt) {}
    ~Teclado() {
        SoltarCopia();
        Borrar(cola, sizeof cola);
        Borrar(&anterior, sizeof anterior);
    }
    Teclado(const Teclado&) = delete;
    Teclado& operator=(const Teclado&) = delete;

    const std::string& prompt;
    DecodificadorCaracteres decodificador;
    char32_t cola[4] = {};
    std::size_t en_cola = 0, siguiente = 0;
    // The character the last key handed over inserted before the cursor; 0
    // when it inserted none.
    char32_t anterior = 0;
    enum { kFuera, kTrasEscape, kEnSecuencia } escape = kFuera;
    // While a redraw is on its way: the line's text, and the editor's own
    // pointer to it, which the redraw's binding rewrites.
    char* copia = nullptr;
    char* linea_del_editor = nullptr;

    // Gives the editor its pointer back and wipes the copy; also when the
    // redraw key did not reach its binding (it ended an escape sequence).
    void SoltarCopia() {
        if (copia == nullptr) return;
        rl_line_buffer = linea_del_editor;
        Borrar(copia, std::strlen(copia));
        std::free(copia);
        copia = nullptr;
    }
};

Teclado* teclado = nullptr;  // during readline only

// Hands a key over, noting whether it inserts a character: not when it is
// part of an escape sequence (an arrow, Home, a meta key) or a control key.
int Entregar(char32_t tecla) {
    bool inserta = false;
    switch (teclado->escape) {
        case Teclado::kTrasEscape:
            teclado->escape = tecla == '[' || tecla == 'O' ? Teclado::kEnSecuencia : Teclado::kFuera;
            break;
        case Teclado::kEnSecuencia:
            if (tecla >= 0x40 && tecla <= 0x7E) teclado->escape = Teclado::kFuera;
            break;
        case Teclado::kFuera:
            if (tecla == kEscape) teclado->escape = Teclado::kTrasEscape;
            inserta = tecla >= 0x20 && tecla != 0x7F;
            break;
    }
    teclado->anterior = inserta ? tecla : 0;
    return static_cast<int>(tecla);
}

// A combining mark typed after a character it composes with becomes the
// composed character, in place of that one: the editor, which counts a mark
// as a column of its own, would leave the cursor a column off for each.
void Encolar(char32_t caracter) {
    const char32_t compuesto = teclado->anterior != 0 ? Componer(teclado->anterior, caracter) : 0;
    if (compuesto != 0) {
        teclado->cola[teclado->en_cola++] = kBorrarAnterior;
        teclado->cola[teclado->en_cola++] = compuesto;
    } else {
        teclado->cola[teclado->en_cola++] = caracter;
    }
}

// The window changed size: the redraw's binding needs the cursor's place,
// which the editor works out (in rl_point) just before calling it, writing a
// terminator at the line's end in rl_line_buffer. That pointer may be stale
// (the editor moves the text it points to without updating it), so it is
// pointed at a copy of the line for the call.
// False when the copy could not be made.
bool PrepararRedibujo() {
    teclado->SoltarCopia();
    // The editor clamps the end to the line's.
    teclado->copia = rl_copy_text(0, INT_MAX);
    if (teclado->copia == nullptr) return false;
    teclado->linea_del_editor = rl_line_buffer;
    rl_line_buffer = teclado->copia;
    return true;
}

int LeerTecla(FILE*) {
    for (;;) {
        if (teclado->siguiente < teclado->en_cola) {
            const char32_t tecla = teclado->cola[teclado->siguiente];
            teclado->cola[teclado->siguiente++] = 0;
            if (tecla == kTeclaRedibujar && !PrepararRedibujo()) continue;
            return Entregar(tecla);
        }
        teclado->siguiente = teclado->en_cola = 0;
        pollfd esperas[2] = {{STDIN_FILENO, POLLIN, 0}, {cambio_de_tamano[0], POLLIN, 0}};
        if (poll(esperas, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (esperas[1].revents & POLLIN) {
            char avisos[64];
            while (read(cambio_de_tamano[0], avisos, sizeof avisos) > 0) {
            }
            if (PrepararRedibujo()) return Entregar(kTeclaRedibujar);
            continue;
        }
        unsigned char byte = 0;
        const ssize_t leido = read(STDIN_FILENO, &byte, 1);
        if (leido < 0 && errno == EINTR) continue;
        char32_t caracteres[2];
        const std::size_t n =
            leido == 1 ? teclado->decodificador.Entrar(byte, caracteres) : teclado->decodificador.Terminar(caracteres);
        if (leido != 1 && n == 0) return -1;
        for (std::size_t k = 0; k < n; ++k) Encolar(caracteres[k]);
        Borrar(&byte, sizeof byte);
        Borrar(caracteres, sizeof caracteres);
    }
}

// Lays out the first `largo` bytes of the UTF-8 `texto` from column `columna`
// of a screen `ancho` columns wide, as the editor does: a character that does
// not fit at the end of a row goes to the next, a tab reaches the next
// multiple of 8, a control character takes two columns (^X), one it cannot
// print seven or eight (\U+XXXX). Answers the row it ends on, counting from
// 0, and leaves the column in `columna`. Only `disponibles` bytes of the text
// may be there: a character cut short counts as one column.
int Filas(const char* texto, std::size_t largo, std::size_t disponibles, int ancho, int& columna) {
    int fila = 0;
    const auto poner = [&](int w) {
        if (columna + w > ancho) {
            ++fila;
            columna = 0;
        }
        columna += w;
        if (columna >= ancho) {
            ++fila;
            columna = 0;
        }
    };
    std::mbstate_t estado{};
    for (std::size_t k = 0; k < largo;) {
        wchar_t c = 0;
        const std::size_t n = k < disponibles ? std::mbrtowc(&c, texto + k, disponibles - k, &estado) : 0;
        if (n == 0 || n > disponibles - k) {
            poner(1);
            break;
        }
        k += n;
        if (c == L'\t') {
            do poner(1);
            while (columna % 8 != 0);
        } else if (c < 0x100 && std::iswcntrl(static_cast<wint_t>(c))) {
            poner(1);
            poner(1);
        } else if (std::iswprint(static_cast<wint_t>(c))) {
            poner(std::max(wcwidth(c), 0));
        } else {
            for (int i = c > 0xFFFF ? 8 : 7; i > 0; --i) poner(1);
        }
        c = 0;
    }
    return fila;
}

// Bound to kTeclaRedibujar. The terminal has kept the text on the screen,
// rewrapped to the new width, with the cursor where it was in it; the editor
// would draw the line again below where it thinks it began. So the cursor
// goes up to the prompt's first row, the screen is cleared from there, and
// the editor draws prompt and line there afresh.
int Redibujar(int, int) {
    if (teclado == nullptr || teclado->copia == nullptr) return 0;
    rl_resize_terminal();
    winsize ventana{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &ventana) == 0 && ventana.ws_col > 0) {
        int columna = 0;
        const std::string& prompt = teclado->prompt;
        int filas = Filas(prompt.data(), prompt.size(), prompt.size(), ventana.ws_col, columna);
        // The editor's copy lacks the line's last byte.
        filas += Filas(teclado->copia, static_cast<std::size_t>(std::max(rl_point, 0)), std::strlen(teclado->copia),
                       ventana.ws_col, columna);
        if (ventana.ws_row > 0) filas = std::min(filas, ventana.ws_row - 1);
        std::fputc('\r', rl_outstream);
        if (filas > 0) std::fprintf(rl_outstream, "\x1b[%dA", filas);
        std::fputs("\x1b[J", rl_outstream);
        std::fflush(rl_outstream);
    }
    rl_forced_update_display();
    teclado->SoltarCopia();
    return 0;
}

}  // namespace

LineasEditadas::LineasEditadas(SalidaTerminal& salida) : salida(salida) {
    rl_readline_name = "cifrador";
    rl_getc_function = LeerTecla;
    rl_initialize();
    // Lines and keys are never kept: a history of size 0 holds nothing.
    stifle_history(0);
    // Tab is content (it is not enciphered), not a request for completion.
    rl_bind_key('\t', rl_insert);
    rl_add_defun("cifrador-redibujar", Redibujar, kTeclaRedibujar);
    // The editor grows its line buffers with realloc, which frees the old
    // ones unwiped with the line typed so far in them. Growing them now, on
    // blanks, keeps lines and keys up to this length out of freed memory
    // (inserting grows the edit buffers, copying the text out grows the one
    // lines are returned in); the first line read starts empty all the same.
    const std::string blancos(kLineaPrevista, ' ');
    rl_insert_text(blancos.c_str());
    std::free(rl_copy_text(0, static_cast<int>(blancos.size())));

    if (pipe2(cambio_de_tamano, O_CLOEXEC | O_NONBLOCK) == 0) {
        struct sigaction accion {};
        accion.sa_handler = AlCambiarTamano;
        sigemptyset(&accion.sa_mask);
        accion.sa_flags = SA_RESTART;
        sigaction(SIGWINCH, &accion, &anterior_sigwinch);
    }
    salida.RetenerLineaAbierta(true);
}

LineasEditadas::~LineasEditadas() {
    Soltar();
    salida.RetenerLineaAbierta(false);
    if (cambio_de_tamano[0] >= 0) {
        sigaction(SIGWINCH, &anterior_sigwinch, nullptr);
        close(cambio_de_tamano[0]);
        close(cambio_de_tamano[1]);
        cambio_de_tamano[0] = cambio_de_tamano[1] = -1;
    }
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
    {
        // A change of size before the prompt is drawn needs no redraw.
        char avisos[64];
        while (cambio_de_tamano[0] >= 0 && read(cambio_de_tamano[0], avisos, sizeof avisos) > 0) {
        }
        Teclado teclas(prompt);
        teclado = &teclas;
        linea = readline(prompt.c_str());
        teclado = nullptr;
    }
    Borrar(prompt.data(), prompt.size());
    if (linea == nullptr) {
        // The editor leaves the cursor after what it echoed (^D).
        salida.TerminarLineaDePantalla();
        setg(nullptr, nullptr, nullptr);
        return traits_type::eof();
    }
    largo = std::strlen(linea);
    if (largo == 0) return underflow();  // straight to its newline
    setg(linea, linea, linea + largo);
    return traits_type::to_int_type(*gptr());
}
