// Microbenchmarks of the program's hot operations: key scheduling (alone and
// with an 80-byte line, the usual request), keystream generation, Procesar,
// LeerLinea and EscribirLinea. Throughputs are per byte of line or per symbol.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <istream>
#include <ostream>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>

#include "Ucadenaext.h"
#include "Ucifrarc4.h"

namespace {

// Bytes 32 to 255 with a tab every 128 bytes, like a long pasted text.
void Linea(CadenaExt& cadena, std::uint32_t n, std::uint32_t semilla = 1) {
    std::mt19937 azar(semilla);
    cadena.Vaciar();
    for (std::uint32_t k = 0; k < n; ++k)
        cadena.Agregar(k % 128 == 127 ? '\t' : static_cast<unsigned char>(32 + azar() % 224));
}

void Clave(CadenaExt& clave, std::uint32_t n) { Linea(clave, n, 2); }

// An output buffer that copies every byte into a 64 KiB array and starts the
// array over when it is full, as a file buffer does when it hands its bytes
// to the system: EscribirLinea's own cost, without a growing string or a
// file behind it.
class Sumidero : public std::streambuf {
public:
    Sumidero() { setp(bloque, bloque + sizeof bloque); }

protected:
    int_type overflow(int_type c) override {
        setp(bloque, bloque + sizeof bloque);
        if (!traits_type::eq_int_type(c, traits_type::eof())) sputc(traits_type::to_char_type(c));
        return traits_type::not_eof(c);
    }

private:
    char bloque[1 << 16];
};

void EstablecerClave(benchmark::State& estado) {
    CifraRC4 cifra;
    CadenaExt clave;
    Clave(clave, static_cast<std::uint32_t>(estado.range(0)));
    for (auto _ : estado) benchmark::DoNotOptimize(cifra.EstablecerClave(clave));
}
BENCHMARK(EstablecerClave)->Arg(1)->Arg(16)->Arg(224)->Arg(600);

// What the dialogue does for one typical request: key, mode, an 80-byte line.
void ClaveYLinea80(benchmark::State& estado) {
    CifraRC4 cifra;
    CadenaExt clave, texto, cifrado;
    Clave(clave, 16);
    Linea(texto, 80);
    for (auto _ : estado) {
        cifra.EstablecerClave(clave);
        cifra.EstablecerModo(false);
        cifra.Procesar(texto, cifrado);
        benchmark::DoNotOptimize(cifrado.Caracter(79));
    }
    estado.SetBytesProcessed(estado.iterations() * 80);
}
BENCHMARK(ClaveYLinea80);

void Flujo(benchmark::State& estado) {
    CifraRC4 cifra;
    CadenaExt clave;
    Clave(clave, 16);
    cifra.EstablecerClave(clave);
    for (auto _ : estado) benchmark::DoNotOptimize(cifra.SiguienteSimbolo());
    estado.SetItemsProcessed(estado.iterations());
}
BENCHMARK(Flujo);

// Argument: the line length; the second, 1 to decrypt.
void Procesar(benchmark::State& estado) {
    const auto n = static_cast<std::uint32_t>(estado.range(0));
    CifraRC4 cifra;
    CadenaExt clave, texto, resultado;
    Clave(clave, 16);
    Linea(texto, n);
    cifra.EstablecerClave(clave);
    cifra.EstablecerModo(estado.range(1) != 0);
    for (auto _ : estado) {
        cifra.Procesar(texto, resultado);
        benchmark::DoNotOptimize(resultado.Caracter(n - 1));
    }
    estado.SetBytesProcessed(estado.iterations() * n);
}
BENCHMARK(Procesar)->Args({80, 0})->Args({1 << 16, 0})->Args({1 << 16, 1})->Args({1 << 24, 0});

void LeerLinea(benchmark::State& estado) {
    const auto n = static_cast<std::uint32_t>(estado.range(0));
    CadenaExt linea;
    Linea(linea, n);
    std::ostringstream escrito;
    linea.EscribirLinea(escrito);
    std::istringstream entrada(escrito.str());
    CadenaExt leida;
    for (auto _ : estado) {
        entrada.clear();
        entrada.seekg(0);
        benchmark::DoNotOptimize(leida.LeerLinea(entrada));
    }
    if (leida.Longitud() != n) estado.SkipWithError("la linea leida no tiene la longitud escrita");
    estado.SetBytesProcessed(estado.iterations() * n);
}
BENCHMARK(LeerLinea)->Arg(80)->Arg(1 << 16)->Arg(1 << 24);

void EscribirLinea(benchmark::State& estado) {
    const auto n = static_cast<std::uint32_t>(estado.range(0));
    CadenaExt linea;
    Linea(linea, n);
    Sumidero sumidero;
    std::ostream salida(&sumidero);
    for (auto _ : estado) benchmark::DoNotOptimize(linea.EscribirLinea(salida));
    estado.SetBytesProcessed(estado.iterations() * n);
}
BENCHMARK(EscribirLinea)->Arg(80)->Arg(1 << 16)->Arg(1 << 24);

}  // namespace

BENCHMARK_MAIN();
