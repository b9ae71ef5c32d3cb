#include "vectores.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

std::string DeHex(const std::string& hex) {
    if (hex == "-") return {};
    std::string bytes;
    for (std::size_t n = 0; n + 1 < hex.size(); n += 2) bytes += static_cast<char>(std::stoi(hex.substr(n, 2), nullptr, 16));
    return bytes;
}

std::vector<std::vector<std::string>> Lineas(const std::string& tipo) {
    std::ifstream archivo(DATOS "/vectores-cifra.txt");
    if (!archivo) throw std::runtime_error("no se encuentra vectores-cifra.txt");
    std::vector<std::vector<std::string>> lineas;
    for (std::string linea; std::getline(archivo, linea);) {
        std::istringstream campos(linea);
        std::vector<std::string> palabras;
        for (std::string p; campos >> p;) palabras.push_back(p);
        if (!palabras.empty() && palabras[0] == tipo) lineas.push_back(palabras);
    }
    return lineas;
}

}  // namespace

std::vector<VectorFlujo> LeerVectoresFlujo() {
    std::vector<VectorFlujo> v;
    for (const auto& l : Lineas("ks")) {
        VectorFlujo f{DeHex(l.at(1)), {}};
        for (std::size_t n = 2; n < l.size(); ++n) f.simbolos.push_back(std::stoi(l[n]));
        v.push_back(f);
    }
    return v;
}

std::vector<VectorCifrado> LeerVectoresCifrado() {
    std::vector<VectorCifrado> v;
    for (const auto& l : Lineas("enc")) v.push_back({DeHex(l.at(1)), DeHex(l.at(2)), DeHex(l.at(3))});
    return v;
}

std::string Modelo(const std::string& clave, const std::string& texto, bool descifrar) {
    unsigned s[224];
    for (unsigned n = 0; n < 224; ++n) s[n] = n;
    unsigned i = 0, j = 0;
    for (; i < 224; ++i) {
        j = (static_cast<unsigned char>(clave[i % clave.size()]) + s[i] + j) % 224;
        std::swap(s[i], s[j]);
    }
    std::string salida;
    for (char ch : texto) {
        const unsigned c = static_cast<unsigned char>(ch);
        if (c < 32) {
            salida += ch;
            continue;
        }
        i = (i + 1) % 224;
        j = (j + s[i]) % 224;
        std::swap(s[i], s[j]);
        const unsigned k = s[(s[i] + s[j]) % 224];
        const unsigned v = descifrar ? (c - 32 + 224 - k) % 224 : (c - 32 + k) % 224;
        salida += static_cast<char>(v + 32);
    }
    return salida;
}
