// Preloaded into the real program (LD_PRELOAD): every read of standard input
// and every write to standard output is first interrupted, failing with
// EINTR as when a signal with a handler arrives while the call waits; the
// retry then goes through, a write only half of it, as a pipe's write may.
// The program must lose no byte and report no failure.
#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>

namespace {

// Interrupts every other call on standard input and output, the first one included.
bool Interrumpir(int descriptor) {
    static bool interrumpida[2] = {false, false};
    if (descriptor != STDIN_FILENO && descriptor != STDOUT_FILENO) return false;
    interrumpida[descriptor] = !interrumpida[descriptor];
    if (interrumpida[descriptor]) errno = EINTR;
    return interrumpida[descriptor];
}

}  // namespace

extern "C" ssize_t read(int descriptor, void* datos, size_t n) {
    static const auto siguiente = reinterpret_cast<ssize_t (*)(int, void*, size_t)>(dlsym(RTLD_NEXT, "read"));
    return Interrumpir(descriptor) ? -1 : siguiente(descriptor, datos, n);
}

extern "C" ssize_t write(int descriptor, const void* datos, size_t n) {
    static const auto siguiente = reinterpret_cast<ssize_t (*)(int, const void*, size_t)>(dlsym(RTLD_NEXT, "write"));
    if (Interrumpir(descriptor)) return -1;
    return siguiente(descriptor, datos, descriptor == STDOUT_FILENO && n > 1 ? n / 2 : n);
}
