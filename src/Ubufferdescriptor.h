// BufferDescriptor: the stream buffer between the dialogue and one of the
// console's file descriptors (standard input or output). Everything typed
// and everything shown, keys and texts included, passes through its array,
// so the array is wiped before it is freed; the standard streams' own
// buffers would keep the last bytes until the process ends.
#ifndef UBUFFERDESCRIPTOR_H
#define UBUFFERDESCRIPTOR_H

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <streambuf>

class BufferDescriptor : public std::streambuf {
public:
    static constexpr std::size_t kTamano = 1 << 16;

    // Reads from or writes to `descriptor` (one of the two per buffer: both
    // share the array), which it does not close.
    explicit BufferDescriptor(int descriptor);
    // Writes what is pending, then wipes and frees the array.
    ~BufferDescriptor() override;

    BufferDescriptor(const BufferDescriptor&) = delete;
    BufferDescriptor& operator=(const BufferDescriptor&) = delete;

    // The errno of the last read that failed, 0 while none has.
    int ErrorDeLectura() const { return error_lectura; }
    // From now on reads only while `salida` has not failed: once nothing can
    // reach the user, no more answers are to be taken unseen. A read refused
    // so ends the stream as the end of the input does, with no read error.
    void LeerSoloMientras(const std::ostream& salida) { this->salida = &salida; }

protected:
    // Refills from the descriptor. A read that fails (a closed descriptor, a
    // directory, an I/O error) ends the stream as the end of the input does;
    // ErrorDeLectura tells the two apart.
    int_type underflow() override;
    // Write everything pending; a write error is the stream's failure.
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

private:
    bool Enviar();
    bool EscribirTodo(const char* s, std::size_t n);

    int descriptor;
    int error_lectura = 0;
    const std::ostream* salida = nullptr;
    std::unique_ptr<char[]> datos;
};

#endif
