#include "Ubufferdescriptor.h"

#include <unistd.h>

#include <cerrno>
#include <ostream>

#include "Uborrado.h"

BufferDescriptor::BufferDescriptor(int descriptor)
    : descriptor(descriptor), datos(std::make_unique_for_overwrite<char[]>(kTamano)) {
    setg(datos.get(), datos.get(), datos.get());
    setp(datos.get(), datos.get() + kTamano);
}

BufferDescriptor::~BufferDescriptor() {
    Enviar();
    Borrar(datos.get(), kTamano);
}

BufferDescriptor::int_type BufferDescriptor::underflow() {
    if (salida != nullptr && salida->fail()) return traits_type::eof();
    ssize_t n;
    do {
        n = read(descriptor, datos.get(), kTamano);
    } while (n < 0 && errno == EINTR);
    if (n < 0) error_lectura = errno;
    if (n <= 0) return traits_type::eof();
    setg(datos.get(), datos.get(), datos.get() + n);
    return traits_type::to_int_type(*gptr());
}

// The program never fills the array with a put: xsputn leaves room in it, and
// every put the dialogue or the terminal layer makes is followed by a flush.
// What std::streambuf asks of it is kept, out of the coverage report.
// GCOVR_EXCL_START
BufferDescriptor::int_type BufferDescriptor::overflow(int_type c) {
    if (!Enviar()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}
// GCOVR_EXCL_STOP

std::streamsize BufferDescriptor::xsputn(const char* s, std::streamsize n) {
    // Long runs (a huge line) go straight out instead of through the array.
    if (n < epptr() - pptr()) return std::streambuf::xsputn(s, n);
    if (!Enviar() || !EscribirTodo(s, static_cast<std::size_t>(n))) return 0;
    return n;
}

int BufferDescriptor::sync() { return Enviar() ? 0 : -1; }

bool BufferDescriptor::Enviar() {
    const bool escrito = EscribirTodo(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    setp(datos.get(), datos.get() + kTamano);
    return escrito;
}

bool BufferDescriptor::EscribirTodo(const char* s, std::size_t n) {
    while (n > 0) {
        const ssize_t escritos = write(descriptor, s, n);
        if (escritos < 0 && errno == EINTR) continue;
        if (escritos <= 0) return false;
        s += escritos;
        n -= static_cast<std::size_t>(escritos);
    }
    return true;
}
