#include "Uflujos.h"

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

namespace {

// UTF-8 gathered in a block and passed on to `destino` a block at a time. The
// block holds what is shown, typed keys included, and is wiped.
class Bloque {
public:
    explicit Bloque(std::streambuf& destino) : destino(destino) {}
    ~Bloque() { Borrar(datos, sizeof datos); }
    Bloque(const Bloque&) = delete;
    Bloque& operator=(const Bloque&) = delete;

    void Poner(char32_t caracter) {
        if (largo + 3 > static_cast<std::streamsize>(sizeof datos)) Vaciar();
        largo += static_cast<std::streamsize>(CodificarUtf8(caracter, datos + largo));
    }
    // False once `destino` has refused a block.
    bool Vaciar() {
        if (bien && largo > 0) bien = destino.sputn(datos, largo) == largo;
        largo = 0;
        return bien;
    }

private:
    std::streambuf& destino;
    char datos[3 * 256];
    std::streamsize largo = 0;
    bool bien = true;
};

}  // namespace

SalidaTerminal::~SalidaTerminal() {
    Bloque bloque(destino);
    mostrador.Terminar([&](char32_t c) { bloque.Poner(c); });
    bloque.Vaciar();
}

std::streamsize SalidaTerminal::Pasar(const char* s, std::streamsize n) {
    std::streamsize k = 0;
    if (linea_terminada && n > 0) {
        linea_terminada = false;
        if (s[0] == '\n') k = 1;
    }
    Bloque bloque(destino);
    for (; k < n; ++k) mostrador.Entrar(static_cast<unsigned char>(s[k]), [&](char32_t c) { bloque.Poner(c); });
    return bloque.Vaciar() ? n : 0;
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
    linea_terminada = false;  // the editor shows it
    return utf8;
}

void SalidaTerminal::Avisar(unsigned desconocidos) {
    const std::string aviso = AvisoDesconocidos(desconocidos) + "\n";
    destino.sputn(aviso.data(), static_cast<std::streamsize>(aviso.size()));
    destino.pubsync();
}

void SalidaTerminal::TerminarLineaDePantalla() {
    destino.sputc('\n');
    destino.pubsync();
    linea_terminada = true;
}

int SalidaTerminal::sync() { return destino.pubsync(); }

EntradaTerminal::~EntradaTerminal() { Borrar(buffer, sizeof buffer); }

EntradaTerminal::int_type EntradaTerminal::underflow() {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    unsigned char* const bytes = reinterpret_cast<unsigned char*>(buffer);
    std::size_t n = 0;
    while (n + DecodificadorUtf8::kMaximoPorByte <= sizeof buffer) {
        if (n > 0 && fuente.in_avail() <= 0) break;
        const int_type c = fuente.sbumpc();
        if (traits_type::eq_int_type(c, traits_type::eof())) {
            n += decodificador.Terminar(bytes + n);
            Avisar();
            break;
        }
        const std::size_t antes = n;
        n += decodificador.Entrar(static_cast<unsigned char>(traits_type::to_char_type(c)), bytes + n);
        // A newline is the last byte it finishes; the notice is that line's.
        if (n > antes && bytes[n - 1] == '\n') {
            Avisar();
            break;
        }
    }
    setg(buffer, buffer, buffer + n);
    return n > 0 ? traits_type::to_int_type(*gptr()) : traits_type::eof();
}

void EntradaTerminal::Avisar() {
    const unsigned desconocidos = decodificador.TomarDesconocidos();
    if (avisos != nullptr && desconocidos > 0) avisos->Avisar(desconocidos);
}

bool LocaleUtf8(const char* nombre, const char* codeset) {
    if (nombre == nullptr || std::strcmp(nombre, "C") == 0 || std::strcmp(nombre, "POSIX") == 0) return true;
    return codeset != nullptr && std::strcmp(codeset, "UTF-8") == 0;
}
