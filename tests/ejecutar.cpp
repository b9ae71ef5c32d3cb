#include "ejecutar.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

std::string Temporal() {
    char plantilla[] = "/tmp/cifrador-prueba-XXXXXX";
    const int fd = mkstemp(plantilla);
    if (fd < 0) throw std::runtime_error("mkstemp");
    close(fd);
    return plantilla;
}

}  // namespace

std::string LeerArchivo(const std::string& ruta) {
    std::ifstream archivo(ruta, std::ios::binary);
    if (!archivo) throw std::runtime_error("no se puede leer " + ruta);
    return {std::istreambuf_iterator<char>(archivo), std::istreambuf_iterator<char>()};
}

Resultado Ejecutar(const std::string& entrada, Destino destino, const std::vector<std::string>& argumentos) {
    const std::string ruta_entrada = Temporal(), ruta_salida = Temporal(), ruta_errores = Temporal();
    std::ofstream(ruta_entrada, std::ios::binary) << entrada;

    const pid_t hijo = fork();
    if (hijo == 0) {
        const int in = open(ruta_entrada.c_str(), O_RDONLY);
        const int out = open(destino == Destino::Lleno ? "/dev/full" : ruta_salida.c_str(), O_WRONLY);
        const int err = open(ruta_errores.c_str(), O_WRONLY);
        if (in < 0 || out < 0 || err < 0) _exit(127);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        if (destino == Destino::Cerrado) close(1);
        close(in);
        close(out);
        close(err);
        std::vector<char*> argv{const_cast<char*>(CIFRADOR)};
        for (const auto& a : argumentos) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(CIFRADOR, argv.data());
        _exit(127);
    }
    int estado = 0;
    waitpid(hijo, &estado, 0);
    Resultado r{LeerArchivo(ruta_salida), LeerArchivo(ruta_errores), WIFEXITED(estado) ? WEXITSTATUS(estado) : -1};
    for (const auto& ruta : {ruta_entrada, ruta_salida, ruta_errores}) unlink(ruta.c_str());
    return r;
}
