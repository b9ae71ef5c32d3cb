#include "Uutf.h"

namespace {

constexpr char32_t kSimboloSustitucion = 0xFFFD;

}  // namespace

std::size_t DecodificadorUtf8::Entrar(unsigned char utf8, char32_t* simbolos) {
    std::size_t n = 0;
    if (faltan > 0) {
        if (utf8 >= minimo && utf8 <= maximo) {
            valor = (valor << 6) | (utf8 & 0x3F);
            minimo = 0x80;
            maximo = 0xBF;
            if (--faltan == 0) simbolos[n++] = valor;
            return n;
        }
        // The sequence is broken off; the byte starts afresh.
        faltan = 0;
        simbolos[n++] = kSimboloSustitucion;
    }
    minimo = 0x80;
    maximo = 0xBF;
    if (utf8 < 0x80) {
        simbolos[n++] = utf8;
    } else if (utf8 >= 0xC2 && utf8 <= 0xDF) {
        faltan = 1;
        valor = utf8 & 0x1F;
    } else if (utf8 >= 0xE0 && utf8 <= 0xEF) {
        faltan = 2;
        valor = utf8 & 0x0F;
        if (utf8 == 0xE0) minimo = 0xA0;  // no overlong forms
        if (utf8 == 0xED) maximo = 0x9F;  // no surrogates
    } else if (utf8 >= 0xF0 && utf8 <= 0xF4) {
        faltan = 3;
        valor = utf8 & 0x07;
        if (utf8 == 0xF0) minimo = 0x90;
        if (utf8 == 0xF4) maximo = 0x8F;  // nothing past U+10FFFF
    } else {
        simbolos[n++] = kSimboloSustitucion;
    }
    return n;
}

std::size_t DecodificadorUtf8::Terminar(char32_t* simbolos) {
    minimo = 0x80;
    maximo = 0xBF;
    if (faltan == 0) return 0;
    faltan = 0;
    simbolos[0] = kSimboloSustitucion;
    return 1;
}

DecodificadorUtf8::~DecodificadorUtf8() { Borrar(&valor, sizeof valor); }

std::size_t DecodificadorUtf16::Entrar(char16_t unidad, char32_t* simbolos) {
    const bool alta = unidad >= 0xD800 && unidad < 0xDC00, baja = unidad >= 0xDC00 && unidad < 0xE000;
    std::size_t n = 0;
    if (alto != 0 && baja) {
        simbolos[n++] = 0x10000 + ((static_cast<char32_t>(alto) - 0xD800) << 10) + (unidad - 0xDC00);
        alto = 0;
        return n;
    }
    if (alto != 0) simbolos[n++] = kSimboloSustitucion;
    alto = alta ? unidad : 0;
    if (!alta) simbolos[n++] = baja ? kSimboloSustitucion : unidad;
    return n;
}

DecodificadorUtf16::~DecodificadorUtf16() { Borrar(&alto, sizeof alto); }
