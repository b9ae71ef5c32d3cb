#include <gtest/gtest.h>

#include <random>

#include "Ucifrarc4.h"
#include "cadenas.h"
#include "vectores.h"

namespace {

std::string Aplicar(CifraRC4& cifra, const std::string& clave, const std::string& texto, bool descifrar) {
    CadenaExt k(320), entrada(320), salida(320);
    Llenar(k, clave);
    Llenar(entrada, texto);
    EXPECT_TRUE(cifra.EstablecerClave(k));
    cifra.EstablecerModo(descifrar);
    cifra.Procesar(entrada, salida);
    return Texto(salida);
}

std::string Aleatorio(std::mt19937& azar, std::size_t n) {
    std::string s;
    for (std::size_t k = 0; k < n; ++k) s += static_cast<char>(azar() % 256);
    return s;
}

TEST(CifraRC4, FlujoDeLosVectoresConocidos) {
    const auto vectores = LeerVectoresFlujo();
    ASSERT_FALSE(vectores.empty());
    for (const auto& v : vectores) {
        CifraRC4 cifra;
        CadenaExt clave(320);
        Llenar(clave, v.clave);
        ASSERT_TRUE(cifra.EstablecerClave(clave));
        for (std::size_t n = 0; n < v.simbolos.size(); ++n)
            ASSERT_EQ(cifra.SiguienteSimbolo(), v.simbolos[n]) << "clave de " << v.clave.size() << " bytes, simbolo " << n;
    }
}

TEST(CifraRC4, CifradoYDescifradoDeLosVectoresConocidos) {
    const auto vectores = LeerVectoresCifrado();
    ASSERT_FALSE(vectores.empty());
    CifraRC4 cifra;  // one object for all: every key starts over
    for (const auto& v : vectores) {
        EXPECT_EQ(Aplicar(cifra, v.clave, v.texto, false), v.cifrado);
        EXPECT_EQ(Aplicar(cifra, v.clave, v.cifrado, true), v.texto);
    }
}

TEST(CifraRC4, ElModeloDeLasPruebasCoincideConLosVectores) {
    for (const auto& v : LeerVectoresCifrado()) EXPECT_EQ(Modelo(v.clave, v.texto, false), v.cifrado);
}

TEST(CifraRC4, ClaveVaciaRechazadaDejaLaIdentidadYElModo) {
    CifraRC4 cifra;
    CadenaExt vacia(320), clave(320), texto(320), salida(320);
    Llenar(clave, "k");
    Llenar(texto, "Hola");
    cifra.EstablecerModo(true);
    EXPECT_FALSE(cifra.EstablecerClave(vacia));
    // Identity, i = j = 0: the first step swaps S[1] with itself and draws S[2].
    EXPECT_EQ(cifra.SiguienteSimbolo(), 2);
    ASSERT_TRUE(cifra.EstablecerClave(clave));
    cifra.Procesar(texto, salida);  // still decrypting
    EXPECT_EQ(Texto(salida), Modelo("k", "Hola", true));
}

TEST(CifraRC4, LosBytesDeControlPasanSinConsumirFlujo) {
    CifraRC4 cifra;
    const std::string control("\t\r\n\0\x1b\x1f", 6);
    EXPECT_EQ(Aplicar(cifra, "k", control, false), control);
    EXPECT_EQ(Aplicar(cifra, "k", "", false), "");
    const std::string sin = Aplicar(cifra, "clave", "abcdef", false);
    const std::string con = Aplicar(cifra, "clave", std::string("ab\tc\0de\rf", 9), false);
    EXPECT_EQ(con, sin.substr(0, 2) + "\t" + sin[2] + '\0' + sin.substr(3, 2) + "\r" + sin[5]);
}

TEST(CifraRC4, SoloCuentanLos224PrimerosBytesDeLaClave) {
    CifraRC4 cifra;
    std::mt19937 azar(7);
    const std::string base = Aleatorio(azar, 224);
    const std::string texto = Aleatorio(azar, 500);
    const std::string cifrado = Aplicar(cifra, base, texto, false);
    EXPECT_EQ(Aplicar(cifra, base + "cola que no cuenta", texto, false), cifrado);
    EXPECT_NE(Aplicar(cifra, base.substr(0, 223), texto, false), cifrado);
}

TEST(CifraRC4, IdaYVueltaConClavesYTextosArbitrarios) {
    CifraRC4 cifra;
    std::mt19937 azar(12345);
    for (int caso = 0; caso < 200; ++caso) {
        const std::string clave = Aleatorio(azar, 1 + azar() % 300);
        const std::string texto = Aleatorio(azar, azar() % 700);
        const std::string cifrado = Aplicar(cifra, clave, texto, false);
        ASSERT_EQ(cifrado.size(), texto.size());
        for (std::size_t n = 0; n < texto.size(); ++n) {
            const auto c = static_cast<unsigned char>(texto[n]);
            const auto d = static_cast<unsigned char>(cifrado[n]);
            if (c < 32)
                ASSERT_EQ(d, c);
            else
                ASSERT_GE(d, 32);
        }
        ASSERT_EQ(Aplicar(cifra, clave, cifrado, true), texto);
        ASSERT_EQ(cifrado, Modelo(clave, texto, false));
        const std::string otra = Aplicar(cifra, clave + "x", cifrado, true);
        ASSERT_EQ(otra.size(), texto.size());
    }
}

TEST(CifraRC4, ProcesarSobreLaMismaCadenaTransformaEnSuSitio) {
    CifraRC4 cifra;
    CadenaExt clave(320), cadena(320);
    Llenar(clave, "secreto");
    const std::string texto("Nos vemos a las 9\ten la plaza \x80\xff", 31);
    Llenar(cadena, texto);
    ASSERT_TRUE(cifra.EstablecerClave(clave));
    cifra.EstablecerModo(false);
    cifra.Procesar(cadena, cadena);
    EXPECT_EQ(Texto(cadena), Modelo("secreto", texto, false));
}

// Without a new key each call goes on with the keystream where the last one
// left it, whichever it was: the pieces make the model's cipher text of the
// whole. A space is symbol 0, so it enciphers as 32 plus its keystream
// symbol. The cuts fall on either side of i's wrap from 223 to 0.
TEST(CifraRC4, SinClaveNuevaElFlujoSigueDondeQuedo) {
    std::mt19937 azar(5);
    const std::string clave = Aleatorio(azar, 30), resto = Aleatorio(azar, 300);
    CifraRC4 cifra;
    CadenaExt k(320), texto(320), salida(320);
    Llenar(k, clave);
    for (std::size_t corte : {0, 1, 222, 223, 224, 447}) {
        SCOPED_TRACE(corte);
        const std::string primero(corte, 'a');
        const std::string todo = Modelo(clave, primero + "  " + resto, false);
        ASSERT_TRUE(cifra.EstablecerClave(k));
        Llenar(texto, primero);
        cifra.Procesar(texto, salida);
        EXPECT_EQ(Texto(salida), todo.substr(0, corte));
        EXPECT_EQ(cifra.SiguienteSimbolo() + 32, static_cast<unsigned char>(todo[corte]));
        cifra.Avanzar();  // the second space's symbol, unseen
        Llenar(texto, resto);
        cifra.Procesar(texto, texto);
        EXPECT_EQ(Texto(texto), todo.substr(corte + 2));
    }
}

TEST(CifraRC4, SumarYRestarModulo224ParaCualquierByte) {
    CifraRC4 cifra;
    for (std::uint32_t a = 0; a < 256; ++a)
        for (std::uint32_t b = 0; b < 256; ++b) {
            const auto ca = static_cast<unsigned char>(a), cb = static_cast<unsigned char>(b);
            ASSERT_EQ(cifra.Sumar(ca, cb), (a + b) % 224);
            ASSERT_EQ(cifra.Restar(ca, cb), (a + 224 - b) % 224);
            if (a < 224 && b < 224) {
                ASSERT_EQ(cifra.Restar(cifra.Sumar(ca, cb), cb), a);
            }
        }
}

}  // namespace
