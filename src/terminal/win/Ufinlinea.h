// Windows' text conventions on the standard streams that are not the console
// (pipes and files), used by the Windows terminal layer (Uterminal.cpp). Every
// way of scripting a program on Windows (cmd's echo, type, a file saved by
// Notepad) ends its lines with CR LF, and Windows programs write CR LF: with
// the CR read as part of the line, a key typed in a script was not the key
// typed at the console, and the cipher texts of the two did not match.
//
// The C runtime's text mode does the same conversion, but it also ends the
// input at the first byte 26 (Ctrl-Z) of a pipe or file, silently; so the
// descriptors stay in binary mode and these buffers convert the newlines
// alone. A CR anywhere else, and byte 26, are data.
#ifndef UFINLINEA_H
#define UFINLINEA_H

#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <streambuf>

#include "Udesvio.h"

// Reads from `fuente` with every CR that comes directly before an LF left
// out, also when the two arrive in different reads. Keys pass through its
// array, which is wiped before it is freed.
class LecturaCRLF : public std::streambuf {
public:
    explicit LecturaCRLF(std::streambuf& fuente);
    ~LecturaCRLF() override;
    LecturaCRLF(const LecturaCRLF&) = delete;
    LecturaCRLF& operator=(const LecturaCRLF&) = delete;

protected:
    int_type underflow() override;

private:
    // A read, and so the largest run handed on at once; plus a CR held back
    // from the read before.
    static constexpr std::streamsize kTamano = 1 << 16;

    std::streambuf& fuente;
    std::unique_ptr<char[]> datos;
    // The last read ended in a CR: whether it is data depends on the next byte.
    bool cr_pendiente = false;
};

// Writes to `destino` with every LF as CR LF. It holds nothing back:
// `destino` buffers, and a flush reaches it.
class EscrituraCRLF : public std::streambuf {
public:
    explicit EscrituraCRLF(std::streambuf& destino) : destino(destino) {}

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override { return destino.pubsync(); }

private:
    std::streambuf& destino;
};

// Puts each of the two console streams whose standard handle is not the
// console through the buffers above, for as long as it lives.
class FinesDeLinea {
public:
    FinesDeLinea(std::istream& entrada_consola, bool entrada_es_consola, std::ostream& salida_consola,
                 bool salida_es_consola);

private:
    std::optional<LecturaCRLF> lectura;
    std::optional<Desvio<std::istream>> desvio_entrada;
    std::optional<EscrituraCRLF> escritura;
    std::optional<Desvio<std::ostream>> desvio_salida;
};

#endif
