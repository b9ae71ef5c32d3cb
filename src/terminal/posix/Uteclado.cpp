#include "Uteclado.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <utility>

#include "Uborrado.h"

namespace {

// How long a terminal may take to say where the cursor is.
constexpr int kEsperaPosicion = 250;

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

TecladoTerminal::TecladoTerminal(int descriptor, int salida) : descriptor(descriptor), salida(salida) {
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
}

bool TecladoTerminal::ModoCrudo() {
    termios crudo = original;
    crudo.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN);
    // Enter comes as CR and Ctrl-S and Ctrl-Q as keys, not as flow control.
    crudo.c_iflag &= ~static_cast<tcflag_t>(ICRNL | INLCR | IGNCR | IXON);
    crudo.c_cc[VMIN] = 1;
    crudo.c_cc[VTIME] = 0;
    return tcsetattr(descriptor, TCSANOW, &crudo) == 0;
}

bool TecladoTerminal::AdmiteModoCrudo() {
    if (tcgetattr(descriptor, &original) != 0) return false;
    const bool admite = ModoCrudo();
    tcsetattr(descriptor, TCSANOW, &original);
    return admite;
}

void TecladoTerminal::Abrir() {
    if (tcgetattr(descriptor, &original) != 0) return;
    abierta = true;
    ModoCrudo();
    // Pastes marked, so that nothing pasted acts as a key.
    Escribir("\x1b[?2004h");
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
    Escribir("\x1b[?2004l");
    tcsetattr(descriptor, TCSANOW, &original);
    for (std::size_t k = 0; k < std::size(kSenales); ++k) sigaction(kSenales[k], &anteriores[k], nullptr);
    tubo_de_senales = -1;
    // A signal that came while the line was being ended is not lost: the
    // first that ends or stops the program is delivered, the others are moot.
    unsigned char resto[64];
    for (ssize_t n = 0; tubo[0] >= 0 && (n = read(tubo[0], resto, sizeof resto)) > 0;)
        for (ssize_t k = 0; k < n; ++k) Anotar(resto[k]);
    Anotar(std::exchange(senal_leida, 0));
    if (const int senal = std::exchange(entregar, 0); senal != 0) raise(senal);
}

int TecladoTerminal::Siguiente(int milisegundos) {
    while (inicio == fin) {
        pollfd esperas[2] = {{descriptor, POLLIN, 0}, {tubo[0], POLLIN, 0}};
        const int listos = poll(esperas, tubo[0] >= 0 ? 2 : 1, milisegundos);
        if (listos < 0 && errno == EINTR) continue;
        if (listos < 0) {
            error_lectura = errno;
            return kFin;
        }
        if (listos == 0) return kNinguno;
        if (tubo[0] >= 0 && (esperas[1].revents & POLLIN) != 0) {
            unsigned char numero = 0;
            if (read(tubo[0], &numero, 1) == 1) {
                senal_leida = numero;
                return kSenal;
            }
        }
        if (esperas[0].revents == 0) continue;
        const ssize_t leidos = read(descriptor, bytes, sizeof bytes);
        if (leidos < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (leidos <= 0) {
            // With VMIN at 1 a read gives nothing only once the terminal has
            // hung up, which a blocking read reports as EIO.
            error_lectura = leidos < 0 ? errno : EIO;
            return kFin;
        }
        inicio = 0;
        fin = static_cast<std::size_t>(leidos);
    }
    const unsigned char byte = bytes[inicio];
    bytes[inicio++] = 0;
    return byte;
}

bool TecladoTerminal::HayMas() {
    if (siguiente < cola.size() || inicio < fin || senal_leida != 0) return true;
    pollfd espera{descriptor, POLLIN, 0};
    return poll(&espera, 1, 0) > 0;
}

bool TecladoTerminal::Leer(Suceso& suceso, bool literal) {
    for (;;) {
        if (senal_leida != 0) {
            suceso = DeSenal();
            return true;
        }
        if (siguiente < cola.size()) {
            suceso = std::exchange(cola[siguiente++], Suceso{});
            if (siguiente == cola.size()) {
                cola.clear();
                siguiente = 0;
            }
            return true;
        }
        if (literal) decodificador.Literal();
        if (!Llenar(-1)) return false;
    }
}

bool TecladoTerminal::Llenar(int milisegundos) {
    const int byte = Siguiente(milisegundos);
    if (byte == kSenal) return true;
    Suceso salida[DecodificadorTeclas::kMaximo];
    if (byte < 0) return byte != kFin;
    const std::size_t n = decodificador.Entrar(static_cast<unsigned char>(byte), salida);
    cola.insert(cola.end(), salida, salida + n);
    Borrar(salida, sizeof salida);
    return true;
}

void TecladoTerminal::PreguntarPosicion(std::size_t& fila, std::size_t& columna) {
    fila = columna = 0;
    if (!Escribir("\x1b[6n")) return;
    decodificador.EsperarPosicion();
    // Keys typed meanwhile wait in the queue, after the answer's effect.
    const auto limite = std::chrono::steady_clock::now() + std::chrono::milliseconds(kEsperaPosicion);
    for (std::size_t visto = cola.size();;) {
        for (; visto < cola.size(); ++visto) {
            if (cola[visto].tipo != Suceso::Tipo::Posicion) continue;
            fila = cola[visto].fila;
            columna = cola[visto].columna;
            cola[visto] = {};  // taken here: nothing for the editor
            return;
        }
        const auto quedan =
            std::chrono::duration_cast<std::chrono::milliseconds>(limite - std::chrono::steady_clock::now()).count();
        if (quedan <= 0 || senal_leida != 0) break;
        if (!Llenar(static_cast<int>(quedan))) break;
    }
}

bool TecladoTerminal::Escribir(const char* ascii) {
    const std::size_t largo = std::strlen(ascii);
    return write(salida, ascii, largo) == static_cast<ssize_t>(largo);
}

void TecladoTerminal::Anotar(int senal) {
    if (entregar == 0 && senal != 0 && senal != SIGWINCH && senal != SIGCONT) entregar = senal;
}

Suceso TecladoTerminal::DeSenal() {
    const int senal = std::exchange(senal_leida, 0);
    if (senal == SIGWINCH) {
        Suceso tamano{Suceso::Tipo::Tamano, {}};
        PreguntarPosicion(tamano.fila, tamano.columna);
        return tamano;
    }
    if (senal == SIGCONT) {
        // Whoever had the terminal while the program was stopped may have
        // changed its mode.
        if (abierta) ModoCrudo();
        return {Suceso::Tipo::Reanudar, {}};
    }
    Anotar(senal);
    return {Suceso::Tipo::Senal, {}};
}
