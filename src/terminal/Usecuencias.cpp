#include "Usecuencias.h"

#include <algorithm>
#include <iterator>

#include "Uborrado.h"

namespace {

using N = Tecla::Nombre;

constexpr unsigned char kEscape = 0x1B, kBel = 0x07;
// Larger parameters say nothing more.
constexpr unsigned kParametroMaximo = 9999;

Tecla Nombrada(N nombre, unsigned modificadores = 0) {
    return {nombre, 0, static_cast<unsigned char>(modificadores)};
}

// xterm's modifier parameter: 1 plus Shift 1, Alt 2, Ctrl 4 and Meta 8, which
// is Alt too.
unsigned DeParametro(unsigned parametro) {
    if (parametro < 2 || parametro > 16) return 0;
    const unsigned bits = parametro - 1;
    return ((bits & 1) != 0 ? kMayus : 0) | ((bits & 10) != 0 ? kAlt : 0) | ((bits & 4) != 0 ? kCtrl : 0);
}

// The key of ESC [ n ~ (and of rxvt's ESC [ n $, ^ and @).
bool TeclaDeCodigo(unsigned codigo, Tecla& tecla) {
    switch (codigo) {
        case 1: case 7: tecla = Nombrada(N::Inicio); return true;
        case 2: tecla = Nombrada(N::Insertar); return true;
        case 3: tecla = Nombrada(N::Suprimir); return true;
        case 4: case 8: tecla = Nombrada(N::Fin); return true;
        case 5: tecla = Nombrada(N::RePag); return true;
        case 6: tecla = Nombrada(N::AvPag); return true;
        default: break;
    }
    static constexpr unsigned char kFunciones[] = {11, 12, 13, 14, 15, 17, 18, 19, 20, 21,
                                                   23, 24, 25, 26, 28, 29, 31, 32, 33, 34};
    const auto f = std::find(std::begin(kFunciones), std::end(kFunciones), codigo);
    if (f == std::end(kFunciones)) return false;
    tecla = {N::Funcion, static_cast<char32_t>(f - std::begin(kFunciones) + 1), 0};
    return true;
}

// The key of a final letter that CSI and SS3 share: the cursor keys, Home,
// End and F1 to F4.
bool TeclaDeLetra(unsigned char final, Tecla& tecla) {
    switch (final) {
        case 'A': tecla = Nombrada(N::Arriba); return true;
        case 'B': tecla = Nombrada(N::Abajo); return true;
        case 'C': tecla = Nombrada(N::Derecha); return true;
        case 'D': tecla = Nombrada(N::Izquierda); return true;
        case 'H': tecla = Nombrada(N::Inicio); return true;
        case 'F': tecla = Nombrada(N::Fin); return true;
        case 'P': case 'Q': case 'R': case 'S': tecla = {N::Funcion, static_cast<char32_t>(final - 'P' + 1), 0}; return true;
        default: return false;
    }
}

// rxvt's cursor keys with Shift (ESC [ a) and with Ctrl (ESC O a).
bool TeclaRxvt(unsigned char final, Tecla& tecla) {
    switch (final) {
        case 'a': tecla = Nombrada(N::Arriba); return true;
        case 'b': tecla = Nombrada(N::Abajo); return true;
        case 'c': tecla = Nombrada(N::Derecha); return true;
        case 'd': tecla = Nombrada(N::Izquierda); return true;
        default: return false;
    }
}

}  // namespace

DecodificadorTeclas::~DecodificadorTeclas() { Borrar(parametros, sizeof parametros); }

void DecodificadorTeclas::Empezar(Estado nuevo) {
    std::fill(std::begin(parametros), std::end(parametros), 0u);
    n_parametros = 0;
    privado = intermedio = 0;
    invalida = false;
    largo = 0;
    estado = nuevo;
}

std::size_t DecodificadorTeclas::Entrar(unsigned char byte, Suceso* sucesos) {
    switch (estado) {
        case Estado::Texto: return EnTexto(byte, sucesos);
        case Estado::Escape: return EnEscape(byte, sucesos);
        case Estado::Csi: case Estado::Ss3: return EnParametros(byte, sucesos);
        case Estado::Cadena: case Estado::CadenaEscape: return EnCadena(byte, sucesos);
        case Estado::Raton: return ++largo == 3 ? DarNada(sucesos) : 0;
        case Estado::Pegado: return EnPegado(byte, sucesos);
        case Estado::ConsolaLinux:
            if (byte >= 'A' && byte <= 'E') return Dar({N::Funcion, static_cast<char32_t>(byte - 'A' + 1), 0}, sucesos);
            return byte >= 0x40 && byte <= 0x7E ? DarNada(sucesos) : Romper(byte, sucesos);
    }
    return 0;
}

std::size_t DecodificadorTeclas::EnTexto(unsigned char byte, Suceso* sucesos) {
    char32_t simbolos[2];
    const std::size_t n = utf8.Entrar(byte, simbolos);
    std::size_t dados = 0;
    for (std::size_t k = 0; k < n; ++k) {
        if (simbolos[k] == kEscape && !literal) {
            Empezar(Estado::Escape);
            continue;
        }
        sucesos[dados++] = {Suceso::Tipo::Tecla, TeclaDeSimbolo(simbolos[k])};
        literal = false;
    }
    Borrar(simbolos, sizeof simbolos);
    return dados;
}

std::size_t DecodificadorTeclas::EnEscape(unsigned char byte, Suceso* sucesos) {
    switch (byte) {
        case '[': Empezar(Estado::Csi); return 0;
        case 'O': Empezar(Estado::Ss3); return 0;
        case ']': case 'P': case 'X': case '^': case '_': Empezar(Estado::Cadena); return 0;
        case '\\': return DarNada(sucesos);  // ST alone ends nothing
        case '\t': return Dar(Nombrada(N::Tabulador, kMayus), sucesos);  // the Linux console's Shift-Tab
        default: break;
    }
    // No sequence: the ESC was the Escape key, and the byte counts on its own
    // (another ESC starting a sequence of its own).
    Dar(Nombrada(N::Escape), sucesos);
    return 1 + EnTexto(byte, sucesos + 1);
}

std::size_t DecodificadorTeclas::EnParametros(unsigned char byte, Suceso* sucesos) {
    if ((byte >= '0' && byte <= '9') || byte == ';' || byte == ':') {
        if (intermedio != 0) invalida = true;
        if (n_parametros == 0) n_parametros = 1;
        if (byte == ';' || byte == ':') {
            ++n_parametros;
        } else if (n_parametros <= kParametros) {
            unsigned& p = parametros[n_parametros - 1];
            p = std::min(p * 10 + static_cast<unsigned>(byte - '0'), kParametroMaximo);
        }
        return 0;
    }
    if (byte >= 0x3C && byte <= 0x3F) {
        if (estado == Estado::Csi && n_parametros == 0 && privado == 0 && intermedio == 0)
            privado = byte;
        else
            invalida = true;
        return 0;
    }
    if (byte >= 0x20 && byte <= 0x2F) {
        // rxvt's Shift with a key of ESC [ n ~ ends in $, which ECMA-48 would
        // take for an intermediate byte: the sequence is whole here.
        Tecla tecla;
        if (estado == Estado::Csi && byte == '$' && privado == 0 && intermedio == 0 && !invalida &&
            n_parametros == 1 && TeclaDeCodigo(parametros[0], tecla))
            return Dar(ConModificadores(tecla, kMayus), sucesos);
        if (intermedio != 0) invalida = true;
        intermedio = byte;
        return 0;
    }
    if (byte >= 0x40 && byte <= 0x7E) return estado == Estado::Csi ? FinalCsi(byte, sucesos) : FinalSs3(byte, sucesos);
    return Romper(byte, sucesos);
}

unsigned DecodificadorTeclas::Modificadores(std::size_t indice) const {
    // xterm's ESC [ 1 ; m X, and the older ESC [ m X.
    if (n_parametros >= 2) indice = 1;
    return indice < n_parametros && indice < kParametros ? DeParametro(parametros[indice]) : 0;
}

std::size_t DecodificadorTeclas::FinalCsi(unsigned char final, Suceso* sucesos) {
    const bool simple = privado == 0 && intermedio == 0 && !invalida;
    if (simple && n_parametros == 0 && final == '[') {
        Empezar(Estado::ConsolaLinux);  // its F1 to F5: ESC [ [ A to E
        return 0;
    }
    if (simple && n_parametros == 0 && final == 'M') {
        Empezar(Estado::Raton);  // X10's report: three bytes follow
        return 0;
    }
    if (!simple) return DarNada(sucesos);
    if (final == '~' && n_parametros == 1 && parametros[0] == 200) {
        const std::size_t n = DarNada(sucesos);
        estado = Estado::Pegado;
        return n;
    }
    if (esperando_posicion && final == 'R' && n_parametros == 2) {
        esperando_posicion = false;
        sucesos[0] = {Suceso::Tipo::Posicion, {}, parametros[0], parametros[1]};
        Empezar(Estado::Texto);
        return 1;
    }
    Tecla tecla;
    if (TeclaDeLetra(final, tecla)) return Dar(ConModificadores(tecla, Modificadores(0)), sucesos);
    if (final == 'Z') return Dar(Nombrada(N::Tabulador, kMayus | Modificadores(1)), sucesos);
    if (TeclaRxvt(final, tecla)) return Dar(ConModificadores(tecla, kMayus), sucesos);
    if (n_parametros >= 1 && TeclaDeCodigo(parametros[0], tecla)) {
        switch (final) {
            case '~': return Dar(ConModificadores(tecla, Modificadores(1)), sucesos);
            case '^': return Dar(ConModificadores(tecla, kCtrl), sucesos);
            case '@': return Dar(ConModificadores(tecla, kCtrl | kMayus), sucesos);
            default: break;
        }
    }
    return DarNada(sucesos);
}

std::size_t DecodificadorTeclas::FinalSs3(unsigned char final, Suceso* sucesos) {
    if (intermedio != 0 || invalida) return DarNada(sucesos);
    const unsigned modificadores = Modificadores(0);
    Tecla tecla;
    if (TeclaDeLetra(final, tecla)) return Dar(ConModificadores(tecla, modificadores), sucesos);
    if (TeclaRxvt(final, tecla)) return Dar(ConModificadores(tecla, kCtrl), sucesos);
    if (final == 'M') return Dar(Nombrada(N::Intro, modificadores), sucesos);  // the keypad's Enter
    // The keypad's other keys, where another program left it sending them so.
    static constexpr char kTeclado[] = "j*k+l,m-n.o/p0q1r2s3t4u5v6w7x8y9X=";
    for (const char* k = kTeclado; *k != '\0'; k += 2)
        if (static_cast<unsigned char>(k[0]) == final) return Dar(ConModificadores({N::Simbolo, static_cast<unsigned char>(k[1]), 0}, modificadores), sucesos);
    return DarNada(sucesos);
}

std::size_t DecodificadorTeclas::EnCadena(unsigned char byte, Suceso* sucesos) {
    if (estado == Estado::CadenaEscape) {
        if (byte == '\\') return DarNada(sucesos);
        // A new sequence breaks the string off.
        Empezar(Estado::Escape);
        return EnEscape(byte, sucesos);
    }
    if (byte == kBel) return DarNada(sucesos);
    if (byte == kEscape) {
        estado = Estado::CadenaEscape;
        return 0;
    }
    // No terminal sends a control character in a string: it is a key typed
    // after a stray ESC ], as is whatever comes past the longest string.
    if (EsControl(byte) || ++largo > kLargoMaximoCadena) return Romper(byte, sucesos);
    return 0;
}

std::size_t DecodificadorTeclas::EnPegado(unsigned char byte, Suceso* sucesos) {
    static constexpr char kFin[] = "\x1b[201~";
    if (byte == static_cast<unsigned char>(kFin[fin_pegado])) {
        if (++fin_pegado < sizeof kFin - 1) return 0;
        fin_pegado = 0;
        char32_t cortado = 0;
        const std::size_t n = utf8.Terminar(&cortado);
        if (n > 0) sucesos[0] = {Suceso::Tipo::Pegado, {N::Simbolo, cortado, 0}};
        Empezar(Estado::Texto);
        return n;
    }
    // What looked like the paste's end was text of it.
    std::size_t n = 0;
    for (std::size_t k = 0; k < fin_pegado; ++k) n += Pegar(static_cast<unsigned char>(kFin[k]), sucesos + n);
    fin_pegado = byte == kEscape ? 1 : 0;
    return fin_pegado != 0 ? n : n + Pegar(byte, sucesos + n);
}

std::size_t DecodificadorTeclas::Pegar(unsigned char byte, Suceso* sucesos) {
    char32_t simbolos[2];
    const std::size_t n = utf8.Entrar(byte, simbolos);
    for (std::size_t k = 0; k < n; ++k) sucesos[k] = {Suceso::Tipo::Pegado, {N::Simbolo, simbolos[k], 0}};
    Borrar(simbolos, sizeof simbolos);
    return n;
}

std::size_t DecodificadorTeclas::Dar(const Tecla& tecla, Suceso* sucesos) {
    sucesos[0] = {Suceso::Tipo::Tecla, tecla};
    literal = false;
    Empezar(Estado::Texto);
    return 1;
}

std::size_t DecodificadorTeclas::DarNada(Suceso* sucesos) {
    sucesos[0] = {Suceso::Tipo::Nada, {}};
    Empezar(Estado::Texto);
    return 1;
}

std::size_t DecodificadorTeclas::Romper(unsigned char byte, Suceso* sucesos) {
    Empezar(Estado::Texto);
    return EnTexto(byte, sucesos);
}
