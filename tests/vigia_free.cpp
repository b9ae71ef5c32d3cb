// libvigia_free: preloaded into a process, it wraps free() and looks into
// every block before it is released for the secrets listed, one a line, in
// the file named by VIGIA_SECRETOS: a block holding any 16-byte piece of a
// secret (taken at every 16th byte) counts as found. At exit it writes
// "liberados N hallados M" to the file named by VIGIA_INFORME. It allocates
// nothing itself, since it runs inside free.
#include <fcntl.h>
#include <malloc.h>
#include <string.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>

extern "C" void __libc_free(void*);

namespace {

constexpr std::size_t kPieza = 16;
constexpr std::size_t kMaxSecretos = 8;

char secretos[1 << 16];
const char* inicio[kMaxSecretos];
std::size_t largo[kMaxSecretos];
std::size_t cuantos = 0;
std::size_t liberados = 0;
std::size_t hallados = 0;

bool Contiene(const void* bloque, std::size_t tam) {
    for (std::size_t s = 0; s < cuantos; ++s)
        for (std::size_t k = 0; k + kPieza <= largo[s]; k += kPieza)
            if (memmem(bloque, tam, inicio[s] + k, kPieza) != nullptr) return true;
    return false;
}

__attribute__((constructor)) void Cargar() {
    const char* ruta = std::getenv("VIGIA_SECRETOS");
    if (ruta == nullptr) return;
    const int fd = open(ruta, O_RDONLY);
    if (fd < 0) return;
    const ssize_t n = read(fd, secretos, sizeof secretos);
    close(fd);
    for (ssize_t a = 0, b = 0; b < n && cuantos < kMaxSecretos; a = b + 1) {
        for (b = a; b < n && secretos[b] != '\n';) ++b;
        if (static_cast<std::size_t>(b - a) < kPieza) continue;
        inicio[cuantos] = secretos + a;
        largo[cuantos++] = static_cast<std::size_t>(b - a);
    }
}

__attribute__((destructor)) void Informar() {
    const char* ruta = std::getenv("VIGIA_INFORME");
    if (ruta == nullptr) return;
    char linea[80];
    const int n = std::snprintf(linea, sizeof linea, "liberados %zu hallados %zu\n", liberados, hallados);
    const int fd = open(ruta, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0) return;
    // A report cut short is removed: the test then finds none and fails.
    const bool completo = write(fd, linea, static_cast<std::size_t>(n)) == n;
    close(fd);
    if (!completo) unlink(ruta);
}

}  // namespace

extern "C" void free(void* p) {
    if (p != nullptr && cuantos > 0) {
        ++liberados;
        if (Contiene(p, malloc_usable_size(p))) ++hallados;
    }
    __libc_free(p);
}
