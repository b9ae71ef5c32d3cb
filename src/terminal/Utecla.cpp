#include "Utecla.h"

#include <utility>

namespace {

using N = Tecla::Nombre;
using A = Accion;

struct Enlace {
    N nombre;
    char32_t simbolo;  // for N::Simbolo; kSinSimbolo: any character
    unsigned char modificadores;
    A accion;
};

// The bindings, Shift left out (AccionDeTecla); whatever is not here is Nada.
constexpr Enlace kEnlaces[] = {
    {N::Simbolo, kSinSimbolo, 0, A::Escribir},
    {N::Izquierda, 0, 0, A::Izquierda},
    {N::Derecha, 0, 0, A::Derecha},
    {N::Izquierda, 0, kCtrl, A::PalabraAnterior},
    {N::Izquierda, 0, kAlt, A::PalabraAnterior},
    {N::Izquierda, 0, kCtrl | kAlt, A::PalabraAnterior},
    {N::Derecha, 0, kCtrl, A::PalabraSiguiente},
    {N::Derecha, 0, kAlt, A::PalabraSiguiente},
    {N::Derecha, 0, kCtrl | kAlt, A::PalabraSiguiente},
    {N::Simbolo, 'b', kAlt, A::PalabraAnterior},
    {N::Simbolo, 'f', kAlt, A::PalabraSiguiente},
    {N::Inicio, 0, 0, A::Inicio},
    {N::Fin, 0, 0, A::Fin},
    {N::Suprimir, 0, 0, A::Suprimir},
    // Most terminals send Ctrl-Backspace as Backspace or as Ctrl-H.
    {N::Retroceso, 0, 0, A::Retroceso},
    {N::Retroceso, 0, kCtrl, A::Retroceso},
    // Terminals send Ctrl-Tab and Ctrl-Enter as Tab and Enter.
    {N::Tabulador, 0, 0, A::Escribir},
    {N::Tabulador, 0, kCtrl, A::Escribir},
    {N::Intro, 0, 0, A::Intro},
    {N::Intro, 0, kCtrl, A::Intro},
    // Escape then Enter (TeclasSeguidas) still ends the line.
    {N::Intro, 0, kAlt, A::Intro},
    {N::Intro, 0, kCtrl | kAlt, A::Intro},
    {N::Simbolo, 'a', kCtrl, A::Inicio},
    {N::Simbolo, 'b', kCtrl, A::Izquierda},
    {N::Simbolo, 'd', kCtrl, A::FinDeEntrada},
    {N::Simbolo, 'e', kCtrl, A::Fin},
    {N::Simbolo, 'f', kCtrl, A::Derecha},
    {N::Simbolo, 'h', kCtrl, A::Retroceso},
    {N::Simbolo, 'j', kCtrl, A::Intro},
    {N::Simbolo, 'k', kCtrl, A::BorrarHastaFin},
    {N::Simbolo, 'l', kCtrl, A::Redibujar},
    {N::Simbolo, 'u', kCtrl, A::BorrarHastaInicio},
    {N::Simbolo, 'v', kCtrl, A::Literal},
    {N::Simbolo, 'w', kCtrl, A::BorrarPalabra},
    // Byte 26: at the start of a line, then Enter, the end of the input (the
    // Windows convention), on every platform.
    {N::Simbolo, 'z', kCtrl, A::Escribir},
};

}  // namespace

Tecla ConModificadores(Tecla tecla, unsigned modificadores) {
    tecla.modificadores = static_cast<unsigned char>(tecla.modificadores | modificadores);
    if (tecla.nombre == N::Simbolo && (tecla.modificadores & (kCtrl | kAlt)) != 0 && tecla.simbolo >= 'A' &&
        tecla.simbolo <= 'Z') {
        tecla.simbolo += 'a' - 'A';
        tecla.modificadores |= kMayus;
    }
    return tecla;
}

Tecla TeclaDeSimbolo(char32_t simbolo) {
    switch (simbolo) {
        case 0x7F: return {N::Retroceso, 0, 0};
        case 0x09: return {N::Tabulador, 0, 0};
        case 0x0D: return {N::Intro, 0, 0};
        case 0x1B: return {N::Escape, 0, 0};
        case 0x00: return {N::Simbolo, ' ', kCtrl};
        default: break;
    }
    if (simbolo <= 0x1A) return {N::Simbolo, 'a' + simbolo - 1, kCtrl};
    if (simbolo < 0x20) return {N::Simbolo, '\\' + simbolo - 0x1C, kCtrl};
    return {N::Simbolo, simbolo, 0};
}

char32_t SimboloDeTecla(const Tecla& tecla) {
    if ((tecla.modificadores & kAlt) != 0) return kSinSimbolo;
    const char32_t c = tecla.simbolo;
    switch (tecla.nombre) {
        case N::Simbolo:
            if ((tecla.modificadores & kCtrl) == 0) return c;
            if (c >= 'a' && c <= 'z') return c - 0x60;
            if (c == ' ') return 0;
            return c >= '@' && c <= '_' ? c - 0x40 : kSinSimbolo;
        case N::Retroceso: return 0x7F;
        case N::Tabulador: return (tecla.modificadores & kMayus) != 0 ? kSinSimbolo : 0x09;
        case N::Intro: return 0x0D;
        case N::Escape: return 0x1B;
        default: return kSinSimbolo;
    }
}

Accion AccionDeTecla(const Tecla& tecla) {
    // A character typed with Shift is already that character; Shift-Tab is
    // the one key Shift changes.
    const unsigned char modificadores =
        tecla.nombre == N::Tabulador ? tecla.modificadores : tecla.modificadores & ~kMayus;
    for (const Enlace& enlace : kEnlaces) {
        if (enlace.nombre != tecla.nombre || enlace.modificadores != modificadores) continue;
        if (enlace.nombre == N::Simbolo && enlace.simbolo != kSinSimbolo && enlace.simbolo != tecla.simbolo)
            continue;
        return enlace.accion;
    }
    return A::Nada;
}

bool TeclasSeguidas::Tomar(Suceso& suceso, bool literal) {
    if (suceso.tipo == Suceso::Tipo::Nada || suceso.tipo == Suceso::Tipo::Pegado) {
        escape = tras_cr = false;
        return true;
    }
    if (suceso.tipo != Suceso::Tipo::Tecla) return true;
    Tecla& tecla = suceso.tecla;
    // LF: Ctrl-J on a terminal; in a console, whose key events give it so, Ctrl-Enter.
    const bool lf = tecla == Tecla{N::Simbolo, 'j', kCtrl} || tecla == Tecla{N::Intro, 0, kCtrl};
    const bool era_cr = std::exchange(tras_cr, !literal && tecla == Tecla{N::Intro});
    if (literal) return true;
    if (era_cr && lf) return false;
    if (std::exchange(escape, false)) {
        tecla = ConModificadores(tecla, kAlt);
        return true;
    }
    if (tecla == Tecla{N::Escape}) {
        escape = true;
        return false;
    }
    return true;
}
