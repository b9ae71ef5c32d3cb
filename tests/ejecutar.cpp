#include "ejecutar.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

std::string Temporal() {
    char plantilla[] = "/tmp/cifrador-prueba-XXXXXX";
    const int fd = mkstemp(plantilla);
    if (fd < 0) throw std::runtime_error("mkstemp");
    close(fd);
    return plantilla;
}

// The command line: the wrapper's words, if any, then the program and its arguments.
std::vector<std::string> Orden(const std::vector<std::string>& argumentos) {
    std::vector<std::string> orden;
    if (const char* envoltorio = std::getenv("CIFRADOR_ENVOLTORIO")) {
        std::istringstream palabras(envoltorio);
        for (std::string p; palabras >> p;) orden.push_back(p);
    }
    orden.push_back(CIFRADOR);
    orden.insert(orden.end(), argumentos.begin(), argumentos.end());
    return orden;
}

// Feeds the whole input to the child; a child that stops reading early makes
// the rest undeliverable, which is not the parent's failure.
void Escribir(int fd, const std::string& bytes) {
    std::signal(SIGPIPE, SIG_IGN);
    for (std::size_t hecho = 0; hecho < bytes.size();) {
        const ssize_t n = write(fd, bytes.data() + hecho, bytes.size() - hecho);
        if (n <= 0) break;
        hecho += static_cast<std::size_t>(n);
    }
    close(fd);
}

}  // namespace

Resultado Ejecutar(const std::string& entrada, Destino destino, const std::vector<std::string>& argumentos,
                   Origen origen) {
    const std::string ruta_entrada = Temporal(), ruta_salida = Temporal(), ruta_errores = Temporal();
    if (origen == Origen::Archivo) std::ofstream(ruta_entrada, std::ios::binary) << entrada;
    int tuberia[2] = {-1, -1};
    if (origen == Origen::Tuberia && pipe(tuberia) != 0) throw std::runtime_error("pipe");
    std::vector<std::string> orden = Orden(argumentos);
    std::vector<char*> argv;
    for (auto& palabra : orden) argv.push_back(palabra.data());
    argv.push_back(nullptr);

    const pid_t hijo = fork();
    if (hijo == 0) {
        const int in = origen == Origen::Tuberia      ? tuberia[0]
                       : origen == Origen::Directorio ? open("/", O_RDONLY | O_DIRECTORY)
                                                      : open(ruta_entrada.c_str(), O_RDONLY);
        const int out = open(destino == Destino::Lleno ? "/dev/full" : ruta_salida.c_str(), O_WRONLY);
        const int err = open(ruta_errores.c_str(), O_WRONLY);
        if (in < 0 || out < 0 || err < 0) _exit(127);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        if (origen == Origen::Cerrado) close(0);
        if (destino == Destino::Cerrado) close(1);
        if (origen == Origen::Tuberia) close(tuberia[1]);
        close(in);
        close(out);
        close(err);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    if (origen == Origen::Tuberia) {
        close(tuberia[0]);
        Escribir(tuberia[1], entrada);
    }
    int estado = 0;
    waitpid(hijo, &estado, 0);
    Resultado r{LeerArchivo(ruta_salida), LeerArchivo(ruta_errores), WIFEXITED(estado) ? WEXITSTATUS(estado) : -1};
    for (const auto& ruta : {ruta_entrada, ruta_salida, ruta_errores}) unlink(ruta.c_str());
    return r;
}
