// Fuzz target: the whole dialogue on arbitrary input bytes, in-process. It
// must end, and its transcript must follow the dialogue's shape, where every
// result printed is the model's transformation of the line typed with the key
// typed: of the line's length, control bytes in place and nothing else below
// 32, and the inverse transformation with the same key gives the line back.
#include <cstddef>
#include <cstdint>
#include <map>
#include <sstream>
#include <string>

#include "consola.h"
#include "objetivo.h"
#include "textos.h"
#include "vectores.h"

namespace {


// The dialogue's output, with the place the input had reached at each flush.
// The dialogue flushes every prompt before it reads, so the line read after a
// prompt starts where the input stood when that prompt was flushed.
class Registro : public std::streambuf {
public:
    explicit Registro(std::streambuf& entrada) : entrada(entrada) {}

    std::string bytes;
    std::map<std::size_t, std::size_t> vaciados;  // output length -> input offset, first flush

protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) bytes += traits_type::to_char_type(c);
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        bytes.append(s, static_cast<std::size_t>(n));
        return n;
    }
    int sync() override {
        vaciados.emplace(bytes.size(), static_cast<std::size_t>(entrada.pubseekoff(0, std::ios::cur, std::ios::in)));
        return 0;
    }

private:
    std::streambuf& entrada;
};

// Walks a transcript from its start.
class Lectura {
public:
    Lectura(const Registro& registro, const std::string& entrada) : registro(registro), entrada(entrada) {}

    bool Fin() const { return p == registro.bytes.size(); }
    // True, and past it, when the transcript goes on with `s`.
    bool Toma(const std::string& s) {
        if (registro.bytes.compare(p, s.size(), s) != 0) return false;
        p += s.size();
        return true;
    }
    // The printed line that comes next, without its newline.
    std::string Linea() {
        const std::size_t fin = registro.bytes.find('\n', p);
        Exigir(fin != std::string::npos, "cada resultado termina en salto de linea");
        const std::string linea = registro.bytes.substr(p, fin - p);
        p = fin + 1;
        return linea;
    }
    // The input line read after the prompt just taken.
    std::string Leida() const {
        const auto vaciado = registro.vaciados.find(p);
        Exigir(vaciado != registro.vaciados.end(), "cada pregunta se vacia antes de leer");
        const std::size_t desde = vaciado->second;
        const std::size_t hasta = entrada.find('\n', desde);
        return entrada.substr(desde, hasta == std::string::npos ? std::string::npos : hasta - desde);
    }

private:
    const Registro& registro;
    const std::string& entrada;
    std::size_t p = 0;
};

void ComprobarResultado(const std::string& linea, const std::string& clave, bool descifrar, const std::string& resultado) {
    ExigirForma(linea, resultado);
    Exigir(resultado == Modelo(clave, linea, descifrar), "el resultado es el del modelo");
    Exigir(Modelo(clave, resultado, !descifrar) == linea, "la operacion inversa con la misma clave devuelve la linea");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t largo) {
    const std::string bytes(reinterpret_cast<const char*>(datos), largo);
    std::istringstream entrada(bytes);
    Registro registro(*entrada.rdbuf());
    std::ostream salida(&registro);
    Dialogo(entrada, salida);
    Exigir(static_cast<bool>(salida), "la salida sigue sana");

    Lectura t(registro, bytes);
    for (;;) {
        Exigir(t.Toma(kMenu), "cada vuelta empieza por el menu");
        if (t.Fin() || t.Toma("\n")) break;  // S, or the input ended at the menu
        if (!t.Toma(kPideTexto)) continue;   // another answer: the menu again
        const std::string linea = t.Leida();
        Exigir(t.Toma(kPideClave), "se pide la clave");
        const std::string clave = t.Leida();
        if (t.Toma(kClaveInvalida)) {
            Exigir(clave.empty(), "solo una clave vacia se rechaza");
            continue;
        }
        Exigir(!clave.empty(), "una clave vacia se rechaza");
        const bool descifrar = !t.Toma(kCifrada);
        Exigir(!descifrar || t.Toma(kOriginalDescifrada), "encabezado del resultado");
        const std::string resultado = t.Linea();
        ComprobarResultado(linea, clave, descifrar, resultado);

        Exigir(t.Toma(kPregunta), "se ofrece la comprobacion");
        if (t.Toma("\n")) break;  // the input ended at the question
        if (!t.Toma(kPideClave)) continue;
        const std::string otra = t.Leida();
        if (otra.empty()) continue;
        Exigir(t.Toma(descifrar ? kCifrada : kOriginalComprobada), "encabezado de la comprobacion");
        const std::string comprobado = t.Linea();
        Exigir(comprobado == Modelo(otra, resultado, !descifrar), "la comprobacion es la operacion inversa");
        Exigir(otra != clave || comprobado == linea, "con la misma clave la comprobacion devuelve la linea");
    }
    Exigir(t.Fin(), "nada tras el final del dialogo");
    return 0;
}
