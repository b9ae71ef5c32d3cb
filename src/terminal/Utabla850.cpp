#include "Utabla850.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

// Code page 850, bytes 128 to 255.
constexpr char16_t kCp850[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};

constexpr char32_t kImagenesControl = 0x2400;
constexpr char32_t kCasa = 0x2302;  // code page 850's glyph for 127
constexpr unsigned char kDesconocido = '?';

// Code page 850's characters in order, each with its byte, for reading back.
constexpr auto kInversa = [] {
    std::array<std::pair<char16_t, unsigned char>, 128> inversa{};
    for (unsigned n = 0; n < 128; ++n) inversa[n] = {kCp850[n], static_cast<unsigned char>(128 + n)};
    std::sort(inversa.begin(), inversa.end());
    return inversa;
}();

struct Composicion {
    char32_t base, marca, compuesto;
};

constexpr Composicion kComposiciones[] = {
#include "composicion850.inc"
};

static_assert(std::is_sorted(std::begin(kComposiciones), std::end(kComposiciones), [](const auto& a, const auto& b) {
    return a.base != b.base ? a.base < b.base : a.marca < b.marca;
}));

}  // namespace

char32_t SimboloDeByte(unsigned char byte) {
    if (byte == '\n') return byte;
    if (byte < 32) return kImagenesControl + byte;
    if (byte < 127) return byte;
    if (byte == 127) return kCasa;
    if (byte == 240) return kSustitutoGuionBlando;
    if (byte == 255) return kSustitutoEspacioDuro;
    return kCp850[byte - 128];
}

unsigned char ByteDeSimbolo(char32_t simbolo) {
    if (simbolo < 128) return static_cast<unsigned char>(simbolo);
    if (simbolo >= kImagenesControl && simbolo <= kSimboloEspacio && simbolo != kImagenesControl + '\n')
        return static_cast<unsigned char>(simbolo - kImagenesControl);
    if (simbolo == kCasa) return 127;
    if (simbolo == kSustitutoGuionBlando) return 240;
    if (simbolo == kSustitutoEspacioDuro) return 255;
    const auto encontrado = std::lower_bound(kInversa.begin(), kInversa.end(), simbolo,
                                             [](const auto& par, char32_t c) { return par.first < c; });
    if (encontrado != kInversa.end() && encontrado->first == simbolo) return encontrado->second;
    return kDesconocido;
}

std::size_t CodificarByte(unsigned char byte, char* utf8) { return CodificarUtf8(SimboloDeByte(byte), utf8); }

std::size_t CodificarUtf8(char32_t c, char* utf8) {
    if (c < 0x80) {
        utf8[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        utf8[0] = static_cast<char>(0xC0 | (c >> 6));
        utf8[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    utf8[0] = static_cast<char>(0xE0 | (c >> 12));
    utf8[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    utf8[2] = static_cast<char>(0x80 | (c & 0x3F));
    return 3;
}

char32_t Componer(char32_t base, char32_t marca) {
    const auto encontrada = std::lower_bound(
        std::begin(kComposiciones), std::end(kComposiciones), Composicion{base, marca, 0},
        [](const auto& a, const auto& b) { return a.base != b.base ? a.base < b.base : a.marca < b.marca; });
    if (encontrada != std::end(kComposiciones) && encontrada->base == base && encontrada->marca == marca)
        return encontrada->compuesto;
    return 0;
}

std::u32string AvisoDesconocidos(std::size_t desconocidos) {
    if (desconocidos == 1) return U"Aviso: 1 carácter sin equivalente en la página 850 se leyó como «?».";
    std::u32string cuantos;
    for (const char c : std::to_string(desconocidos)) cuantos += static_cast<char32_t>(c);
    return U"Aviso: " + cuantos + U" caracteres sin equivalente en la página 850 se leyeron como «?».";
}

