#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "Ucadenaext.h"
#include "cadenas.h"

namespace {

std::string Secuencia(std::size_t n) {
    std::string s;
    for (std::size_t k = 0; k < n; ++k) s += static_cast<char>(k * 7 % 256);
    return s;
}

TEST(CadenaExt, CapacidadCeroNoTieneAlmacenamientoHastaAgregar) {
    CadenaExt c(0);
    EXPECT_EQ(c.Capacidad(), 0u);
    EXPECT_EQ(c.Longitud(), 0u);
    c.Agregar('a');
    EXPECT_EQ(c.Capacidad(), 320u);
    EXPECT_EQ(Texto(c), "a");
}

TEST(CadenaExt, CrecerDuplicaYConservaElOrden) {
    CadenaExt c(320);
    const std::string s = Secuencia(641);
    Llenar(c, s.substr(0, 321));
    EXPECT_EQ(c.Capacidad(), 640u);
    EXPECT_EQ(Texto(c), s.substr(0, 321));
    Llenar(c, s);
    EXPECT_EQ(c.Capacidad(), 1280u);
    EXPECT_EQ(Texto(c), s);
}

TEST(CadenaExt, LaCapacidadSiguienteSeSaturaEnVezDeDarLaVuelta) {
    constexpr std::uint32_t maxima = std::numeric_limits<std::uint32_t>::max();
    EXPECT_EQ(CadenaExt::SiguienteCapacidad(0), 320u);
    EXPECT_EQ(CadenaExt::SiguienteCapacidad(5), 10u);
    EXPECT_EQ(CadenaExt::SiguienteCapacidad(1u << 30), 1u << 31);
    EXPECT_EQ(CadenaExt::SiguienteCapacidad((1u << 31) - 1), maxima - 1);
    EXPECT_EQ(CadenaExt::SiguienteCapacidad(1u << 31), maxima);
    EXPECT_EQ(CadenaExt::SiguienteCapacidad(maxima - 1), maxima);
    EXPECT_EQ(CadenaExt::SiguienteCapacidad(maxima), maxima);
}

TEST(CadenaExt, RedimensionarRecortaConservaOLibera) {
    CadenaExt c(320);
    Llenar(c, "abcdefgh");
    c.Redimensionar(320);
    EXPECT_EQ(Texto(c), "abcdefgh");
    EXPECT_EQ(c.Capacidad(), 320u);
    c.Redimensionar(5);
    EXPECT_EQ(Texto(c), "abcde");
    EXPECT_EQ(c.Capacidad(), 5u);
    c.Agregar('z');  // a full string of capacity 5 doubles
    EXPECT_EQ(c.Capacidad(), 10u);
    EXPECT_EQ(Texto(c), "abcdez");
    c.Redimensionar(0);
    EXPECT_EQ(c.Capacidad(), 0u);
    EXPECT_EQ(c.Longitud(), 0u);
    c.Redimensionar(7);
    EXPECT_EQ(c.Capacidad(), 7u);
    EXPECT_EQ(c.Longitud(), 0u);
}

TEST(CadenaExt, VaciarYLiberar) {
    CadenaExt c(320);
    Llenar(c, "abc");
    c.Vaciar();
    EXPECT_EQ(c.Longitud(), 0u);
    EXPECT_EQ(c.Capacidad(), 320u);
    Llenar(c, "abc");
    c.Liberar();
    EXPECT_EQ(c.Longitud(), 0u);
    EXPECT_EQ(c.Capacidad(), 0u);
    c.Agregar('x');
    EXPECT_EQ(c.Capacidad(), 320u);
}

TEST(CadenaExt, AccesoFueraDeRangoLanzaYNoCambiaNada) {
    CadenaExt c(320);
    Llenar(c, "abc");
    EXPECT_TRUE(c.IndiceValido(2));
    EXPECT_FALSE(c.IndiceValido(3));
    EXPECT_THROW(c.Caracter(3), std::exception);
    EXPECT_THROW(c.Elemento(3), std::exception);
    EXPECT_THROW(c.Asignar(3, 'x'), std::exception);
    EXPECT_THROW(c.Caracter(std::numeric_limits<std::uint32_t>::max()), std::exception);
    EXPECT_EQ(Texto(c), "abc");
    EXPECT_TRUE(c.Asignar(1, 'X'));
    c.Elemento(2) = 'Y';
    EXPECT_EQ(Texto(c), "aXY");
    CadenaExt vacia(320);
    EXPECT_THROW(vacia.Caracter(0), std::exception);
}

TEST(CadenaExt, IntercambiarSoloIndicesValidos) {
    CadenaExt c(320);
    Llenar(c, "abc");
    EXPECT_TRUE(c.Intercambiar(0, 2));
    EXPECT_EQ(Texto(c), "cba");
    EXPECT_TRUE(c.Intercambiar(1, 1));
    EXPECT_EQ(Texto(c), "cba");
    EXPECT_FALSE(c.Intercambiar(0, 3));
    EXPECT_FALSE(c.Intercambiar(3, 0));
    EXPECT_EQ(Texto(c), "cba");
}

TEST(CadenaExt, AsignacionCopiaConCapacidadIgualALaLongitud) {
    CadenaExt a(320), b(320);
    Llenar(a, std::string("x\0y", 3));
    b = a;
    EXPECT_EQ(Texto(b), std::string("x\0y", 3));
    EXPECT_EQ(b.Capacidad(), 3u);
    a.Asignar(0, 'z');  // the copy has storage of its own
    EXPECT_EQ(Texto(b)[0], 'x');
    const CadenaExt& misma = b;
    b = misma;
    EXPECT_EQ(Texto(b), std::string("x\0y", 3));
    CadenaExt vacia(320);
    b = vacia;
    EXPECT_EQ(b.Longitud(), 0u);
    EXPECT_EQ(b.Capacidad(), 0u);
}

TEST(CadenaExt, LeerLineaTomaBytesHastaElSaltoYEncoge) {
    std::istringstream entrada(std::string("uno\n\ndos\ttres\r\0\xff\nfinal", 22));
    CadenaExt c(320);
    EXPECT_TRUE(c.LeerLinea(entrada));
    EXPECT_EQ(Texto(c), "uno");
    EXPECT_EQ(c.Capacidad(), 3u);
    EXPECT_TRUE(c.LeerLinea(entrada));  // an empty line
    EXPECT_EQ(c.Longitud(), 0u);
    EXPECT_EQ(c.Capacidad(), 0u);
    EXPECT_TRUE(c.LeerLinea(entrada));
    EXPECT_EQ(Texto(c), std::string("dos\ttres\r\0\xff", 11));
    EXPECT_TRUE(c.LeerLinea(entrada));  // last line, cut by the end of input
    EXPECT_EQ(Texto(c), "final");
    EXPECT_FALSE(c.LeerLinea(entrada));
    EXPECT_EQ(c.Longitud(), 0u);
    EXPECT_EQ(c.Capacidad(), 0u);
}

TEST(CadenaExt, LeerLineaLargaCreceSinLimiteDeConsola) {
    const std::string larga(100000, 'q');
    std::istringstream entrada(larga + "\nresto");
    CadenaExt c(320);
    EXPECT_TRUE(c.LeerLinea(entrada));
    EXPECT_EQ(Texto(c), larga);
    EXPECT_EQ(c.Capacidad(), 100000u);
}

// A long line is read into the string's storage, its last byte kept free,
// which grows as Agregar grows it and is then cut to the length; from 1 MiB
// on the storage is a mapping that grows and shrinks in place (Linux). Lines
// that end just before, at or just after the edge of a storage, or that cross
// the 1 MiB edge either way, by a newline or by the end of input, must come
// out whole.
TEST(CadenaExt, LeerLineaEnLosBordesDelAlmacen) {
    const std::string bytes = Secuencia(3 << 20);  // holds NUL and CR, no runs of newlines
    std::string sin_saltos;
    for (char c : bytes) sin_saltos += c == '\n' ? 'n' : c;
    // From 320, storage of 640, 1280... 1310720 (the first mapping), 2621440
    // and 5242880; from 1 or 2, powers of 2 up to 2^22, 2^20 the first mapping.
    const std::vector<std::size_t> largos{0,       1,           318,     319,          320,
                                          639,     640,         1279,    700000,       (1 << 20) - 1,
                                          1 << 20, (1 << 20) + 5, 1310719, 1310720,    3 << 20};
    for (std::uint32_t capacidad : {0u, 1u, 2u, 320u}) {
        for (std::size_t largo : largos) {
            SCOPED_TRACE("capacidad " + std::to_string(capacidad) + ", largo " + std::to_string(largo));
            const std::string linea = sin_saltos.substr(0, largo);
            std::istringstream entrada(linea + "\nsigue");
            CadenaExt c(capacidad);
            EXPECT_TRUE(c.LeerLinea(entrada));
            ASSERT_EQ(Texto(c), linea);
            EXPECT_EQ(c.Capacidad(), largo);
            EXPECT_TRUE(entrada.good());
            EXPECT_TRUE(c.LeerLinea(entrada));
            EXPECT_EQ(Texto(c), "sigue");

            std::istringstream cortada(linea);  // ended by the input, not a newline
            CadenaExt d(capacidad);
            EXPECT_EQ(d.LeerLinea(cortada), largo > 0);
            ASSERT_EQ(Texto(d), linea);
            EXPECT_EQ(d.Capacidad(), largo);
            EXPECT_TRUE(cortada.eof());
            EXPECT_TRUE(cortada.fail());
        }
    }
}

TEST(CadenaExt, LeerLineaReusaLaCapacidadQueQuedo) {
    std::istringstream entrada("12345\nabcdefghij\nxy\n");
    CadenaExt c(320);
    c.LeerLinea(entrada);
    EXPECT_EQ(c.Capacidad(), 5u);
    c.LeerLinea(entrada);  // longer than the storage left: it grows
    EXPECT_EQ(Texto(c), "abcdefghij");
    EXPECT_EQ(c.Capacidad(), 10u);
    c.LeerLinea(entrada);
    EXPECT_EQ(Texto(c), "xy");
    EXPECT_EQ(c.Capacidad(), 2u);
}

TEST(CadenaExt, EscribirBytesCrudosYFalloDelFlujo) {
    CadenaExt c(320);
    Llenar(c, std::string("a\0\x80\xff\n", 5));
    std::ostringstream salida;
    EXPECT_TRUE(c.Escribir(salida));
    EXPECT_TRUE(c.EscribirLinea(salida));
    EXPECT_EQ(salida.str(), std::string("a\0\x80\xff\na\0\x80\xff\n\n", 11));

    std::ostringstream fallida;
    fallida.setstate(std::ios::badbit);
    EXPECT_FALSE(c.Escribir(fallida));
    EXPECT_FALSE(c.EscribirLinea(fallida));
    EXPECT_EQ(fallida.str(), "");

    char espacio[3];  // a buffer with room for three bytes only
    std::ostream limitada(nullptr);
    struct Limitado : std::streambuf {
        explicit Limitado(char* p, std::size_t n) { setp(p, p + n); }
    } buffer(espacio, sizeof espacio);
    limitada.rdbuf(&buffer);
    EXPECT_FALSE(c.Escribir(limitada));
}

}  // namespace
