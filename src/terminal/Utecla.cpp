#include "Utecla.h"

#include <utility>

namespace {

using N = Tecla::Nombre;
using A = Accion;

struct Enlace {
    N nombre;
    char32_t caracter;  // for N::Caracter; kSinCaracter: any character
    unsigned char modificadores;
    A accion;
};

// The bindings, Shift left out (AccionDeTecla); whatever is not here is Nada.
constexpr Enlace kEnlaces[] = {
    {N::Caracter, kSinCaracter, 0, A::Escribir},
    {N::Izquierda, 0, 0, A::Izquierda},
    {N::Derecha, 0, 0, A::Derecha},
    {N::Izquierda, 0, kCtrl, A::PalabraAnterior},
    {N::Izquierda, 0, kAlt, A::PalabraAnterior},
    {N::Izquierda, 0, kCtrl | kAlt, A::PalabraAnterior},
    {N::Derecha, 0, kCtrl, A::PalabraSiguiente},
    {N::Derecha, 0, kAlt, A::PalabraSiguiente},
    {N::Derecha, 0, kCtrl | kAlt, A::PalabraSiguiente},
    {N::Caracter, 'b', kAlt, A::PalabraAnterior},
    {N::Caracter, 'f', kAlt, A::PalabraSiguiente},
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
    {N::Caracter, 'a', kCtrl, A::Inicio},
    {N::Caracter, 'b', kCtrl, A::Izquierda},
    {N::Caracter, 'd', kCtrl, A::FinDeEntrada},
    {N::Caracter, 'e', kCtrl, A::Fin},
    {N::Caracter, 'f', kCtrl, A::Derecha},
    {N::Caracter, 'h', kCtrl, A::Retroceso},
    {N::Caracter, 'j', kCtrl, A::Intro},
    {N::Caracter, 'k', kCtrl, A::BorrarHastaFin},
    {N::Caracter, 'l', kCtrl, A::Redibujar},
    {N::Caracter, 'u', kCtrl, A::BorrarHastaInicio},
    {N::Caracter, 'v', kCtrl, A::Literal},
    {N::Caracter, 'w', kCtrl, A::BorrarPalabra},
    // Byte 26: at the start of a line, then Enter, the end of the input (the
    // Windows convention), on every platform.
    {N::Caracter, 'z', kCtrl, A::Escribir},
};

}  // namespace

Tecla ConModificadores(Tecla tecla, unsigned modificadores) {
    tecla.modificadores = static_cast<unsigned char>(tecla.modificadores | modificadores);
    if (tecla.nombre == N::Caracter && (tecla.modificadores & (kCtrl | kAlt)) != 0 && tecla.caracter >= 'A' &&
        tecla.caracter <= 'Z') {
        tecla.caracter += 'a' - 'A';
        tecla.modificadores |= kMayus;
    }
    return tecla;
}

Tecla TeclaDeCaracter(char32_t caracter) {
    switch (caracter) {
        case 0x7F: return {N::Retroceso, 0, 0};
        case 0x09: return {N::Tabulador, 0, 0};
        case 0x0D: return {N::Intro, 0, 0};
        case 0x1B: return {N::Escape, 0, 0};
        case 0x00: return {N::Caracter, ' ', kCtrl};
        default: break;
    }
    if (caracter <= 0x1A) return {N::Caracter, 'a' + caracter - 1, kCtrl};
    if (caracter < 0x20) return {N::Caracter, '\\' + caracter - 0x1C, kCtrl};
    return {N::Caracter, caracter, 0};
}

char32_t CaracterDeTecla(const Tecla& tecla) {
    if ((tecla.modificadores & kAlt) != 0) return kSinCaracter;
    const char32_t c = tecla.caracter;
    switch (tecla.nombre) {
        case N::Caracter:
            if ((tecla.modificadores & kCtrl) == 0) return c;
            if (c >= 'a' && c <= 'z') return c - 0x60;
            if (c == ' ') return 0;
            return c >= '@' && c <= '_' ? c - 0x40 : kSinCaracter;
        case N::Retroceso: return 0x7F;
        case N::Tabulador: return (tecla.modificadores & kMayus) != 0 ? kSinCaracter : 0x09;
        case N::Intro: return 0x0D;
        case N::Escape: return 0x1B;
        default: return kSinCaracter;
    }
}

Accion AccionDeTecla(const Tecla& tecla) {
    // A character typed with Shift is already that character; Shift-Tab is
    // the one key Shift changes.
    const unsigned char modificadores =
        tecla.nombre == N::Tabulador ? tecla.modificadores : tecla.modificadores & ~kMayus;
    for (const Enlace& enlace : kEnlaces) {
        if (enlace.nombre != tecla.nombre || enlace.modificadores != modificadores) continue;
        if (enlace.nombre == N::Caracter && enlace.caracter != kSinCaracter && enlace.caracter != tecla.caracter)
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
    const bool lf = tecla == Tecla{N::Caracter, 'j', kCtrl} || tecla == Tecla{N::Intro, 0, kCtrl};
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
