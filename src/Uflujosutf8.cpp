#include "Uflujosutf8.h"

#include <algorithm>
#include <cstring>

#include "Uborrado.h"

SalidaTerminal::int_type SalidaTerminal::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
}

std::streamsize SalidaTerminal::xsputn(const char* s, std::streamsize n) {
    if (!retener) return Pasar(s, n);
    std::streamsize fin_de_linea = n;
    while (fin_de_linea > 0 && s[fin_de_linea - 1] != '\n') --fin_de_linea;
    if (fin_de_linea > 0 && (!PasarAbierta() || Pasar(s, fin_de_linea) != fin_de_linea)) return 0;
    for (std::streamsize k = fin_de_linea; k < n; ++k) abierta.Agregar(static_cast<unsigned char>(s[k]));
    return n;
}

std::streamsize SalidaTerminal::Pasar(const char* s, std::streamsize n) {
    // Converted a stretch at a time; the stretch may be plain text.
    char tramo[3 * 256];
    std::streamsize hechos = 0;
    while (hechos < n) {
        const std::streamsize cuantos = std::min<std::streamsize>(n - hechos, 256);
        std::streamsize largo = 0;
        for (std::streamsize k = 0; k < cuantos; ++k)
            largo += static_cast<std::streamsize>(CodificarByte(static_cast<unsigned char>(s[hechos + k]), tramo + largo));
        if (destino.sputn(tramo, largo) != largo) break;
        hechos += cuantos;
    }
    Borrar(tramo, sizeof tramo);
    return hechos;
}

bool SalidaTerminal::PasarAbierta() {
    char tramo[256];
    bool bien = true;
    for (std::uint32_t n = 0; bien && n < abierta.Longitud();) {
        std::streamsize k = 0;
        while (k < static_cast<std::streamsize>(sizeof tramo) && n < abierta.Longitud())
            tramo[k++] = static_cast<char>(abierta.Caracter(n++));
        bien = Pasar(tramo, k) == k;
    }
    Borrar(tramo, sizeof tramo);
    abierta.Vaciar();
    return bien;
}

void SalidaTerminal::RetenerLineaAbierta(bool activo) {
    if (!activo) PasarAbierta();
    retener = activo;
}

std::string SalidaTerminal::TomarLineaAbierta() {
    std::string utf8;
    utf8.reserve(3 * std::size_t{abierta.Longitud()});  // no reallocation leaves a copy behind
    char caracter[3];
    for (std::uint32_t n = 0; n < abierta.Longitud(); ++n)
        utf8.append(caracter, CodificarByte(abierta.Caracter(n), caracter));
    abierta.Vaciar();
    return utf8;
}

int SalidaTerminal::sync() { return destino.pubsync(); }

EntradaTerminal::~EntradaTerminal() { Borrar(buffer, sizeof buffer); }

EntradaTerminal::int_type EntradaTerminal::underflow() {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    unsigned char* const bytes = reinterpret_cast<unsigned char*>(buffer);
    std::size_t n = 0;
    // Room for the two bytes one input byte can give.
    while (n + 2 <= sizeof buffer) {
        if (n > 0 && fuente.in_avail() <= 0) break;
        const int_type c = fuente.sbumpc();
        if (traits_type::eq_int_type(c, traits_type::eof())) {
            n += decodificador.Terminar(bytes + n);
            break;
        }
        n += decodificador.Entrar(static_cast<unsigned char>(traits_type::to_char_type(c)), bytes + n);
    }
    setg(buffer, buffer, buffer + n);
    return n > 0 ? traits_type::to_int_type(*gptr()) : traits_type::eof();
}

bool LocaleUtf8(const char* nombre, const char* codeset) {
    if (nombre == nullptr || std::strcmp(nombre, "C") == 0 || std::strcmp(nombre, "POSIX") == 0) return true;
    return codeset != nullptr && std::strcmp(codeset, "UTF-8") == 0;
}
