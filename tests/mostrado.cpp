#include "mostrado.h"

#include <iconv.h>

#include <stdexcept>

std::optional<std::string> Iconv(const char* desde, const char* hacia, const std::string& entrada) {
    const iconv_t cd = iconv_open(hacia, desde);
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open");
    std::string salida(4 * entrada.size() + 8, '\0');
    char* in = const_cast<char*>(entrada.data());
    char* out = salida.data();
    std::size_t quedan_in = entrada.size(), quedan_out = salida.size();
    const std::size_t r = iconv(cd, &in, &quedan_in, &out, &quedan_out);
    iconv_close(cd);
    if (r == static_cast<std::size_t>(-1)) return std::nullopt;
    salida.resize(salida.size() - quedan_out);
    return salida;
}

std::string Cp850(const std::string& utf8) {
    const auto bytes = Iconv("UTF-8", "IBM850", utf8);
    if (!bytes) throw std::runtime_error("code page 850 no tiene " + utf8);
    return *bytes;
}

std::string Mostrado(const std::string& bytes) {
    std::string utf8;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 240) {
            utf8 += "‐";
        } else if (b == 255) {
            utf8 += "⍽";
        } else if (b == 127) {
            utf8 += "⌂";
        } else if (b < 32 && b != '\n') {
            const char32_t imagen = 0x2400 + b;
            utf8 += Iconv("UTF-32LE", "UTF-8", std::string(reinterpret_cast<const char*>(&imagen), 4)).value();
        } else {
            utf8 += Iconv("IBM850", "UTF-8", std::string(1, c)).value();
        }
    }
    return utf8;
}

std::string MostradoDatos(const std::string& bytes) {
    const std::size_t fin = bytes.find_last_not_of(' ') + 1;  // 0 when all are spaces
    std::string utf8 = Mostrado(bytes.substr(0, fin));
    for (std::size_t n = fin; n < bytes.size(); ++n) utf8 += "␠";
    return utf8;
}
