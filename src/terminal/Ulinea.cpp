#include "Ulinea.h"

#include <algorithm>

#include "Utabla850.h"

namespace {

constexpr char32_t kCtrlZ = 0x1A;

bool Blanco(unsigned char byte) { return byte == ' ' || byte == '\t'; }

// The line changed from byte `desde` on.
Linea::Efecto Cambio(std::size_t desde) { return {Lectura::Sigue, desde, false}; }
Linea::Efecto Fin(Lectura lectura) { return {lectura, std::nullopt, false}; }

}  // namespace

std::size_t LineaTecleada::Teclear(char32_t simbolo) {
    if (cursor > 0) {
        const char32_t compuesto = Componer(SimboloDeByte(bytes[cursor - 1]), simbolo);
        if (compuesto != 0) {
            bytes[cursor - 1] = ByteDeSimbolo(compuesto);
            origenes[cursor - 1] = Origen::Tecla;
            return cursor - 1;
        }
    }
    const unsigned char byte = ByteDeSimbolo(simbolo);
    Insertar(byte, simbolo == kCtrlZ                  ? Origen::CtrlZ
                   : byte == '?' && simbolo != U'?' ? Origen::Desconocido
                                                     : Origen::Tecla);
    return cursor - 1;
}

void LineaTecleada::Insertar(unsigned char byte, Origen origen) {
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(cursor), byte);
    origenes.insert(origenes.begin() + static_cast<std::ptrdiff_t>(cursor), origen);
    ++cursor;
}

namespace {

// Takes out elements `desde` to `hasta` of `v` by moving them to its end and
// wiping them there, so that no copy of them stays behind the new end.
template <class Vector>
void QuitarBorrando(Vector& v, std::size_t desde, std::size_t hasta) {
    const auto inicio = v.begin() + static_cast<std::ptrdiff_t>(desde);
    std::rotate(inicio, v.begin() + static_cast<std::ptrdiff_t>(hasta), v.end());
    const std::size_t n = hasta - desde;
    Borrar(v.data() + v.size() - n, n * sizeof v[0]);
    v.resize(v.size() - n);
}

}  // namespace

void LineaTecleada::Quitar(std::size_t desde, std::size_t hasta) {
    QuitarBorrando(bytes, desde, hasta);
    QuitarBorrando(origenes, desde, hasta);
    if (cursor >= hasta)
        cursor -= hasta - desde;
    else if (cursor > desde)
        cursor = desde;
}

std::size_t LineaTecleada::Desconocidos() const {
    return static_cast<std::size_t>(std::count(origenes.begin(), origenes.end(), Origen::Desconocido));
}

void Linea::Empezar() {
    bytes.Vaciar();
    literal = false;
}

Linea::Efecto Linea::Aplicar(const Tecla& tecla) {
    if (literal) {
        literal = false;
        const char32_t simbolo = SimboloDeTecla(tecla);
        // A newline would end the line the dialogue reads, not be part of it.
        if (simbolo == '\n') return {};
        if (simbolo != kSinSimbolo) return Escribir(simbolo);
    }
    const std::size_t cursor = bytes.Cursor(), largo = bytes.Largo();
    switch (AccionDeTecla(tecla)) {
        case Accion::Escribir: return Cambio(bytes.Teclear(SimboloDeTecla(tecla)));
        case Accion::Literal: literal = true; break;
        case Accion::Izquierda: bytes.Llevar(cursor > 0 ? cursor - 1 : 0); break;
        case Accion::Derecha: bytes.Llevar(std::min(cursor + 1, largo)); break;
        case Accion::PalabraAnterior: bytes.Llevar(InicioDePalabra()); break;
        case Accion::PalabraSiguiente: bytes.Llevar(FinDePalabra()); break;
        case Accion::Inicio: bytes.Llevar(0); break;
        case Accion::Fin: bytes.Llevar(largo); break;
        case Accion::Retroceso: return cursor > 0 ? Quitar(cursor - 1, cursor) : Efecto{};
        case Accion::Suprimir: return cursor < largo ? Quitar(cursor, cursor + 1) : Efecto{};
        case Accion::BorrarHastaFin: return Quitar(cursor, largo);
        case Accion::BorrarHastaInicio: return Quitar(0, cursor);
        case Accion::BorrarPalabra: return Quitar(InicioDePalabra(), cursor);
        case Accion::Redibujar: return {Lectura::Sigue, std::nullopt, true};
        case Accion::Intro: return Fin(Terminada());
        case Accion::FinDeEntrada:
            if (largo == 0) return Fin(Lectura::FinDeEntrada);
            return cursor < largo ? Quitar(cursor, cursor + 1) : Efecto{};
        case Accion::Nada: break;
    }
    return {};
}

Linea::Efecto Linea::Pegar(char32_t simbolo) {
    literal = false;  // a paste's characters are typed as they are anyway
    if (simbolo != '\r' && simbolo != '\n') return Escribir(simbolo);
    return Fin(bytes.Largo() == 0 ? Lectura::Sigue : Terminada());
}

Lectura Linea::Terminada() const { return bytes.EmpiezaConCtrlZ() ? Lectura::FinDeEntrada : Lectura::Linea; }

Linea::Efecto Linea::Escribir(char32_t simbolo) {
    if (!EsControl(simbolo)) return Cambio(bytes.Teclear(simbolo));
    bytes.Insertar(static_cast<unsigned char>(simbolo));
    return Cambio(bytes.Cursor() - 1);
}

Linea::Efecto Linea::Quitar(std::size_t desde, std::size_t hasta) {
    if (desde == hasta) return {};
    bytes.Quitar(desde, hasta);
    return Cambio(desde);
}

std::size_t Linea::InicioDePalabra() const {
    std::size_t k = bytes.Cursor();
    while (k > 0 && Blanco(bytes[k - 1])) --k;
    while (k > 0 && !Blanco(bytes[k - 1])) --k;
    return k;
}

std::size_t Linea::FinDePalabra() const {
    std::size_t k = bytes.Cursor();
    while (k < bytes.Largo() && Blanco(bytes[k])) ++k;
    while (k < bytes.Largo() && !Blanco(bytes[k])) ++k;
    return k;
}
