#include "Ufinlinea.h"

#include <algorithm>
#include <cstring>

#include "Uborrado.h"

LecturaCRLF::LecturaCRLF(std::streambuf& fuente)
    : fuente(fuente), datos(std::make_unique_for_overwrite<char[]>(kTamano + 1)) {}

LecturaCRLF::~LecturaCRLF() { Borrar(datos.get(), kTamano + 1); }

LecturaCRLF::int_type LecturaCRLF::underflow() {
    for (;;) {
        char* leido = datos.get();
        if (cr_pendiente) *leido++ = '\r';
        // Only what the source already holds: waiting for a full array would
        // stall a dialogue driven through a pipe, line by line.
        if (traits_type::eq_int_type(fuente.sgetc(), traits_type::eof())) {
            if (!cr_pendiente) return traits_type::eof();
            cr_pendiente = false;
            setg(datos.get(), datos.get(), leido);
            return traits_type::to_int_type('\r');
        }
        char* const fin = leido + fuente.sgetn(leido, std::min(fuente.in_avail(), kTamano));
        char* escrito = datos.get();
        for (const char* p = datos.get(); p < fin; ++p) {
            if (*p == '\r' && (p + 1 == fin || p[1] == '\n')) continue;
            *escrito++ = *p;
        }
        cr_pendiente = fin[-1] == '\r';
        if (escrito != datos.get()) {
            setg(datos.get(), datos.get(), escrito);
            return traits_type::to_int_type(*gptr());
        }
    }
}

EscrituraCRLF::int_type EscrituraCRLF::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
}

std::streamsize EscrituraCRLF::xsputn(const char* s, std::streamsize n) {
    std::streamsize escritos = 0;
    while (escritos < n) {
        const auto* lf =
            static_cast<const char*>(std::memchr(s + escritos, '\n', static_cast<std::size_t>(n - escritos)));
        const std::streamsize tramo = (lf != nullptr ? lf - s : n) - escritos;
        if (destino.sputn(s + escritos, tramo) != tramo) break;
        escritos += tramo;
        if (lf == nullptr || destino.sputn("\r\n", 2) != 2) break;
        ++escritos;
    }
    return escritos;
}

FinesDeLinea::FinesDeLinea(std::istream& entrada_consola, bool entrada_es_consola, std::ostream& salida_consola,
                           bool salida_es_consola) {
    if (!entrada_es_consola) desvio_entrada.emplace(entrada_consola, lectura.emplace(*entrada_consola.rdbuf()));
    if (!salida_es_consola) desvio_salida.emplace(salida_consola, escritura.emplace(*salida_consola.rdbuf()));
}
