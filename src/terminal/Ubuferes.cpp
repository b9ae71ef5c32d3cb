#include "Ubuferes.h"

#include <cstring>
#include <ostream>

#include "Ubloque.h"
#include "Uborrado.h"

namespace {

// The line's bytes for a get area, which only reads them.
char* ZonaDeLectura(const LineaTecleada& linea) {
    return reinterpret_cast<char*>(const_cast<unsigned char*>(linea.Datos()));
}

}  // namespace

SalidaTerminal::~SalidaTerminal() {
    Tramo tramo(sumidero);
    mostrador.Terminar([&](char32_t c) { tramo.Poner(c); });
    tramo.Entregar();
}

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
    std::streamsize k = 0;
    if (linea_terminada && n > 0) {
        linea_terminada = false;
        if (s[0] == '\n') k = 1;
    }
    Tramo tramo(sumidero);
    for (; k < n; ++k) mostrador.Entrar(static_cast<unsigned char>(s[k]), [&](char32_t c) { tramo.Poner(c); });
    return tramo.Entregar() ? n : 0;
}

bool SalidaTerminal::PasarAbierta() {
    auto bloque = EnBloques<char>([&](const char* datos, std::size_t largo) {
        return Pasar(datos, static_cast<std::streamsize>(largo)) == static_cast<std::streamsize>(largo);
    });
    for (std::uint32_t n = 0; n < abierta.Longitud(); ++n) bloque.Poner(static_cast<char>(abierta.Caracter(n)));
    const bool bien = bloque.Entregar();
    abierta.Vaciar();
    return bien;
}

void SalidaTerminal::RetenerLineaAbierta(bool activo) {
    if (!activo) PasarAbierta();
    retener = activo;
}

void SalidaTerminal::OlvidarLineaAbierta() {
    abierta.Vaciar();
    linea_terminada = false;  // the editor shows it
}

void SalidaTerminal::Avisar(std::size_t desconocidos) {
    const std::u32string aviso = AvisoDesconocidos(desconocidos) + U"\n";
    sumidero.Poner(aviso.data(), aviso.size());
    sumidero.Enviar();
}

void SalidaTerminal::TerminarLineaDePantalla() {
    const char32_t nueva_linea = '\n';
    sumidero.Poner(&nueva_linea, 1);
    sumidero.Enviar();
    linea_terminada = true;
}

int SalidaTerminal::sync() { return sumidero.Enviar() ? 0 : -1; }

EntradaTerminal::int_type EntradaTerminal::underflow() {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    linea.Vaciar();
    setg(nullptr, nullptr, nullptr);
    bool completa = false;
    while (!completa && !fin) {
        const int_type c = fuente.sbumpc();
        char32_t simbolos[2];
        std::size_t n = 0;
        if (traits_type::eq_int_type(c, traits_type::eof())) {
            fin = true;
            n = decodificador.Terminar(simbolos);
        } else {
            n = decodificador.Entrar(static_cast<unsigned char>(traits_type::to_char_type(c)), simbolos);
        }
        for (std::size_t k = 0; k < n; ++k) {
            linea.Teclear(simbolos[k]);
            completa = simbolos[k] == '\n';
        }
        Borrar(simbolos, sizeof simbolos);
    }
    if (linea.Largo() == 0) return traits_type::eof();
    if (const std::size_t desconocidos = linea.Desconocidos(); avisos != nullptr && desconocidos > 0)
        avisos->Avisar(desconocidos);
    char* const datos = ZonaDeLectura(linea);
    setg(datos, datos, datos + linea.Largo());
    return traits_type::to_int_type(*gptr());
}

LineasEditadas::LineasEditadas(FuenteTeclas& fuente, Pantalla& pantalla, SalidaTerminal& salida, bool avisar,
                               const std::ostream& dialogo)
    : editor(fuente, pantalla), salida(salida), avisar(avisar), dialogo(dialogo) {
    salida.RetenerLineaAbierta(true);
}

LineasEditadas::~LineasEditadas() {
    editor.Leida().Vaciar();
    salida.RetenerLineaAbierta(false);
}

LineasEditadas::int_type LineasEditadas::underflow() {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    LineaTecleada& linea = editor.Leida();
    if (dada) {
        dada = false;
        linea.Vaciar();
        setg(&fin_de_linea, &fin_de_linea, &fin_de_linea + 1);
        return traits_type::to_int_type(fin_de_linea);
    }
    setg(nullptr, nullptr, nullptr);
    if (dialogo.fail()) return traits_type::eof();
    if (Editar() == Lectura::FinDeEntrada) {
        salida.TerminarLineaDePantalla();
        return traits_type::eof();
    }
    if (const std::size_t desconocidos = linea.Desconocidos(); avisar && desconocidos > 0) salida.Avisar(desconocidos);
    if (linea.Largo() == 0) {
        setg(&fin_de_linea, &fin_de_linea, &fin_de_linea + 1);
        return traits_type::to_int_type(fin_de_linea);
    }
    dada = true;
    char* const datos = ZonaDeLectura(linea);
    setg(datos, datos, datos + linea.Largo());
    return traits_type::to_int_type(*gptr());
}

Lectura LineasEditadas::Editar() {
    salida.pubsync();
    const Lectura resultado = editor.Leer(salida.LineaAbierta());
    salida.OlvidarLineaAbierta();
    return resultado;
}

bool LocaleUtf8(const char* nombre, const char* codeset) {
    if (nombre == nullptr || std::strcmp(nombre, "C") == 0 || std::strcmp(nombre, "POSIX") == 0) return true;
    return codeset != nullptr && std::strcmp(codeset, "UTF-8") == 0;
}
