#include "Uteclado.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "Uborrado.h"

namespace {

// How long the bytes of one escape sequence may be apart; an Escape with
// nothing after it within this time is the Escape key alone.
constexpr int kEsperaSecuencia = 100;
constexpr unsigned char kEscape = 0x1B;
// Larger parameters say nothing more.
constexpr unsigned kParametroMaximo = 1000;

// The write end of the open TecladoTerminal's pipe, for the handlers.
int tubo_de_senales = -1;

void AlRecibir(int senal) {
    const int guardado = errno;
    const unsigned char numero = static_cast<unsigned char>(senal);
    if (write(tubo_de_senales, &numero, 1) < 0) {
        // Full: the editor has signals enough to act on.
    }
    errno = guardado;
}

}  // namespace

TecladoTerminal::TecladoTerminal(int descriptor) : descriptor(descriptor) {
    if (pipe2(tubo, O_CLOEXEC | O_NONBLOCK) != 0) tubo[0] = tubo[1] = -1;
}

TecladoTerminal::~TecladoTerminal() {
    // Gone with a line still open (an exception): the terminal as it was.
    Cerrar();
    if (tubo[0] >= 0) {
        close(tubo[0]);
        close(tubo[1]);
    }
    Borrar(bytes, sizeof bytes);
    Borrar(cola, sizeof cola);
    Borrar(&ultimo, sizeof ultimo);
}

void TecladoTerminal::ModoCrudo() {
    termios crudo = original;
    crudo.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN);
    // Enter comes as CR and Ctrl-S and Ctrl-Q as keys, not as flow control.
    crudo.c_iflag &= ~static_cast<tcflag_t>(ICRNL | INLCR | IGNCR | IXON);
    crudo.c_cc[VMIN] = 1;
    crudo.c_cc[VTIME] = 0;
    tcsetattr(descriptor, TCSANOW, &crudo);
}

void TecladoTerminal::Abrir() {
    if (tcgetattr(descriptor, &original) != 0) return;
    abierta = true;
    ModoCrudo();
    tubo_de_senales = tubo[1];
    for (std::size_t k = 0; k < std::size(kSenales); ++k) {
        sigaction(kSenales[k], nullptr, &anteriores[k]);
        // A signal the program was started to ignore (nohup) stays ignored.
        if (tubo[1] < 0 || anteriores[k].sa_handler == SIG_IGN) continue;
        struct sigaction accion {};
        accion.sa_handler = AlRecibir;
        sigemptyset(&accion.sa_mask);
        accion.sa_flags = SA_RESTART;
        sigaction(kSenales[k], &accion, nullptr);
    }
}

void TecladoTerminal::Cerrar() {
    if (!abierta) return;
    abierta = false;
    tcsetattr(descriptor, TCSANOW, &original);
    for (std::size_t k = 0; k < std::size(kSenales); ++k) sigaction(kSenales[k], &anteriores[k], nullptr);
    tubo_de_senales = -1;
    // A signal that came while the line was being ended is not lost: the
    // first that ends or stops the program is delivered, the others are moot.
    unsigned char resto[64];
    for (ssize_t n = 0; tubo[0] >= 0 && (n = read(tubo[0], resto, sizeof resto)) > 0;)
        for (ssize_t k = 0; k < n; ++k) Anotar(resto[k]);
    Anotar(std::exchange(pendiente, 0));
    if (const int senal = std::exchange(entregar, 0); senal != 0) raise(senal);
}

int TecladoTerminal::Siguiente(int milisegundos) {
    while (inicio == fin) {
        pollfd esperas[2] = {{descriptor, POLLIN, 0}, {tubo[0], POLLIN, 0}};
        const int listos = poll(esperas, tubo[0] >= 0 ? 2 : 1, milisegundos);
        if (listos < 0 && errno == EINTR) continue;
        if (listos < 0) return kFin;
        if (listos == 0) return kNinguno;
        if (tubo[0] >= 0 && (esperas[1].revents & POLLIN) != 0) {
            unsigned char numero = 0;
            if (read(tubo[0], &numero, 1) == 1) {
                pendiente = numero;
                return kSenal;
            }
        }
        if (esperas[0].revents == 0) continue;
        const ssize_t leidos = read(descriptor, bytes, sizeof bytes);
        if (leidos < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (leidos <= 0) return kFin;
        inicio = 0;
        fin = static_cast<std::size_t>(leidos);
    }
    ultimo = bytes[inicio];
    bytes[inicio++] = 0;
    return ultimo;
}

bool TecladoTerminal::Pendiente() {
    if (siguiente < en_cola || inicio < fin || pendiente != 0) return true;
    pollfd espera{descriptor, POLLIN, 0};
    return poll(&espera, 1, 0) > 0;
}

bool TecladoTerminal::Leer(Tecla& tecla) {
    for (;;) {
        if (pendiente != 0) {
            tecla = DeSenal();
            return true;
        }
        if (siguiente < en_cola) {
            const char32_t caracter = std::exchange(cola[siguiente++], 0);
            tecla = caracter == kEscape ? Escape() : TeclaDeCaracter(caracter);
            return true;
        }
        const int byte = Siguiente(-1);
        if (byte == kFin) {
            en_cola = decodificador.Terminar(cola);
            siguiente = 0;
            if (en_cola == 0) return false;
            continue;
        }
        if (byte >= 0) {
            en_cola = decodificador.Entrar(static_cast<unsigned char>(byte), cola);
            siguiente = 0;
        }
    }
}

void TecladoTerminal::Anotar(int senal) {
    if (entregar == 0 && senal != 0 && senal != SIGWINCH && senal != SIGCONT) entregar = senal;
}

Tecla TecladoTerminal::DeSenal() {
    const int senal = std::exchange(pendiente, 0);
    if (senal == SIGWINCH) return {Tecla::Accion::Redibujar, 0};
    if (senal == SIGCONT) {
        // Whoever had the terminal while the program was stopped may have
        // changed its mode.
        if (abierta) ModoCrudo();
        return {Tecla::Accion::Reanudar, 0};
    }
    Anotar(senal);
    return {Tecla::Accion::Senal, 0};
}

Tecla TecladoTerminal::Escape() {
    const Tecla sola{Tecla::Accion::Nada, kEscape};
    const int byte = Siguiente(kEsperaSecuencia);
    if (byte < 0) return sola;
    switch (byte) {
        case '[': case 'O': return Secuencia();
        case 'b': return {Tecla::Accion::PalabraAnterior, 0};
        case 'f': return {Tecla::Accion::PalabraSiguiente, 0};
        case kEscape:
            // The first of two Escapes was alone.
            Devolver();
            return sola;
        default:
            // Alt with a character of several bytes takes them all.
            if (byte >= 0xC0) {
                for (int resto = Siguiente(kEsperaSecuencia); resto >= 0; resto = Siguiente(kEsperaSecuencia)) {
                    if (resto < 0x80 || resto > 0xBF) {
                        Devolver();
                        break;
                    }
                }
            }
            return {};
    }
}

// ESC [ or ESC O taken: parameter bytes, intermediate bytes, then the final
// byte. The keys are the cursor keys, Home and End with no modifier or with
// Ctrl or Alt (parameter 5 or 3), and the keypad's Home, End and Delete (ESC
// [ n ~) with none.
Tecla TecladoTerminal::Secuencia() {
    using A = Tecla::Accion;
    unsigned parametros[2] = {0, 0};
    std::size_t indice = 0;
    bool rara = false;  // private or intermediate bytes: no key of ours
    int byte = Siguiente(kEsperaSecuencia);
    // The Linux console's F1 to F5: ESC [ [ A to E.
    if (byte == '[') {
        Siguiente(kEsperaSecuencia);
        return {};
    }
    for (;; byte = Siguiente(kEsperaSecuencia)) {
        if (byte < 0) return {};
        if (byte >= '0' && byte <= '9') {
            if (indice < std::size(parametros))
                parametros[indice] = std::min(parametros[indice] * 10 + static_cast<unsigned>(byte - '0'), kParametroMaximo);
        } else if (byte == ';') {
            ++indice;
        } else if (byte >= 0x20 && byte <= 0x3F) {
            rara = true;
        } else if (byte >= 0x40 && byte <= 0x7E) {
            break;
        } else {
            // No sequence holds this byte: the sequence was broken off there.
            Devolver();
            return {};
        }
    }
    if (rara || indice >= std::size(parametros)) return {};
    const unsigned modificador = indice == 1 ? parametros[1] : 1;
    const bool solo = modificador == 1, palabra = modificador == 3 || modificador == 5;
    switch (byte) {
        case 'C': return {solo ? A::Derecha : palabra ? A::PalabraSiguiente : A::Nada, 0};
        case 'D': return {solo ? A::Izquierda : palabra ? A::PalabraAnterior : A::Nada, 0};
        case 'H': return {solo ? A::Inicio : A::Nada, 0};
        case 'F': return {solo ? A::Fin : A::Nada, 0};
        case '~':
            if (!solo) return {};
            switch (parametros[0]) {
                case 1: case 7: return {A::Inicio, 0};
                case 4: case 8: return {A::Fin, 0};
                case 3: return {A::Suprimir, 0};
                default: return {};
            }
        default: return {};
    }
}
