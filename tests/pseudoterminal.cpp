#include "pseudoterminal.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <stdexcept>

namespace {

using Reloj = std::chrono::steady_clock;

}  // namespace

Pseudoterminal::Pseudoterminal(const std::vector<std::string>& entorno, unsigned short columnas,
                               const std::string& envoltorio)
    : envuelto(!envoltorio.empty()) {
    winsize ventana{};
    ventana.ws_row = 24;
    ventana.ws_col = columnas;
    hijo = forkpty(&maestro, nullptr, nullptr, &ventana);
    if (hijo < 0) throw std::runtime_error("forkpty");
    if (hijo == 0) {
        std::vector<char*> env;
        for (const auto& v : entorno) env.push_back(const_cast<char*>(v.c_str()));
        env.push_back(nullptr);
        if (!envoltorio.empty()) {
            char* argv[] = {const_cast<char*>("sh"), const_cast<char*>("-c"), const_cast<char*>(envoltorio.c_str()),
                            const_cast<char*>(CIFRADOR), nullptr};
            execve("/bin/sh", argv, env.data());
        }
        char* argv[] = {const_cast<char*>(CIFRADOR), nullptr};
        execve(CIFRADOR, argv, env.data());
        _exit(127);
    }
    fcntl(maestro, F_SETFL, fcntl(maestro, F_GETFL) | O_NONBLOCK);
}

Pseudoterminal::~Pseudoterminal() {
    if (hijo > 0) {
        kill(hijo, SIGKILL);
        waitpid(hijo, nullptr, 0);
    }
    if (maestro >= 0) close(maestro);
}

bool Pseudoterminal::Leer(int milisegundos) {
    if (maestro < 0) {
        poll(nullptr, 0, milisegundos);
        return false;
    }
    pollfd p{maestro, POLLIN, 0};
    if (poll(&p, 1, milisegundos) <= 0) return true;
    char bloque[4096];
    const ssize_t n = read(maestro, bloque, sizeof bloque);
    if (n > 0) pantalla.append(bloque, static_cast<std::size_t>(n));
    return n > 0 || (n < 0 && errno == EAGAIN);
}

void Pseudoterminal::Escribir(const std::string& bytes) {
    const auto limite = Reloj::now() + std::chrono::seconds(30);
    std::size_t hechos = 0;
    while (hechos < bytes.size()) {
        if (Reloj::now() > limite) throw std::runtime_error("la terminal no acepta lo escrito");
        pollfd p[1]{{maestro, POLLIN | POLLOUT, 0}};
        if (poll(p, 1, 100) <= 0) continue;
        if (p[0].revents & POLLIN) Leer(0);
        if (p[0].revents & POLLOUT) {
            // A bit at a time, as a terminal passes on a paste.
            const ssize_t n = write(maestro, bytes.data() + hechos, std::min<std::size_t>(bytes.size() - hechos, 256));
            if (n > 0) hechos += static_cast<std::size_t>(n);
        }
    }
}

void Pseudoterminal::Esperar(const std::string& texto, int segundos) {
    const auto limite = Reloj::now() + std::chrono::seconds(segundos);
    for (;;) {
        const auto hallado = pantalla.find(texto, posicion);
        if (hallado != std::string::npos) {
            posicion = hallado + texto.size();
            return;
        }
        if (Reloj::now() > limite || !Leer(100))
            throw std::runtime_error("no aparece \"" + texto + "\"; en pantalla desde lo ultimo esperado: \"" +
                                     pantalla.substr(posicion) + "\"");
    }
}

void Pseudoterminal::EsperarEditor(int segundos) {
    const auto limite = Reloj::now() + std::chrono::seconds(segundos);
    termios modo{};
    while (tcgetattr(maestro, &modo) == 0 && (modo.c_lflag & ICANON) != 0) {
        if (Reloj::now() > limite) throw std::runtime_error("el editor de lineas no lee");
        Leer(5);
    }
}

std::string Pseudoterminal::Linea(int segundos) {
    const std::size_t inicio = posicion;
    Esperar("\r\n", segundos);
    return pantalla.substr(inicio, posicion - 2 - inicio);
}

int Pseudoterminal::Terminar(int segundos) {
    const auto limite = Reloj::now() + std::chrono::seconds(segundos);
    int estado = 0;
    while (waitpid(hijo, &estado, WNOHANG) == 0) {
        if (Reloj::now() > limite) return -1;  // the destructor kills it
        Leer(50);
    }
    hijo = -1;
    // What it showed last, until the terminal reports its end.
    for (int n = 0; n < 100 && Leer(50); ++n) {
    }
    return WIFEXITED(estado) ? WEXITSTATUS(estado) : 128 + WTERMSIG(estado);
}

void Pseudoterminal::Senal(int senal) { kill(Programa(), senal); }

pid_t Pseudoterminal::Programa() const {
    if (!envuelto) return hijo;
    // The shell's one child.
    pid_t programa = -1;
    std::ifstream hijos("/proc/" + std::to_string(hijo) + "/task/" + std::to_string(hijo) + "/children");
    if (!(hijos >> programa)) throw std::runtime_error("el programa no corre bajo el envoltorio");
    return programa;
}

void Pseudoterminal::CambiarTamano(unsigned short columnas) {
    winsize ventana{};
    ventana.ws_row = 24;
    ventana.ws_col = columnas;
    ioctl(maestro, TIOCSWINSZ, &ventana);
}

void Pseudoterminal::Cerrar() {
    close(maestro);
    maestro = -1;
}
