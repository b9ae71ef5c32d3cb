// The real program, fed a session through a pipe and typed at a terminal with
// libvigia_free preloaded: no block it frees may still hold the session's key
// or its text.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "ejecutar.h"
#include "pseudoterminal.h"

namespace {

struct Informe {
    long liberados = -1, hallados = -1;
};

std::string Letras(std::mt19937& azar, std::size_t n) {
    std::string s;
    while (s.size() < n) s += static_cast<char>('a' + azar() % 26);
    return s;
}

class Vigia : public testing::Test {
protected:
    void SetUp() override {
        std::mt19937 azar(7);
        clave = Letras(azar, 48);
        texto = Letras(azar, 2000);  // grows its string past 320 bytes three times
        std::ofstream(secretos) << clave << "\n" << texto << "\n";
        setenv("LD_PRELOAD", VIGIA, 1);
        setenv("VIGIA_SECRETOS", secretos.c_str(), 1);
        setenv("VIGIA_INFORME", informe.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("LD_PRELOAD");
        unsetenv("VIGIA_SECRETOS");
        unsetenv("VIGIA_INFORME");
        unlink(secretos.c_str());
        unlink(informe.c_str());
    }
    Informe Leer() const {
        Informe i;
        std::ifstream archivo(informe);
        std::string liberados, hallados;
        archivo >> liberados >> i.liberados >> hallados >> i.hallados;
        return i;
    }

    const std::string secretos = "/tmp/cifrador-vigia-secretos-" + std::to_string(getpid());
    const std::string informe = "/tmp/cifrador-vigia-informe-" + std::to_string(getpid());
    std::string clave, texto;
};

TEST_F(Vigia, VeUnSecretoLiberadoSinBorrar) {
    ASSERT_EQ(std::system((std::string(CONTROL) + " < " + secretos).c_str()), 0);
    const Informe i = Leer();
    EXPECT_GT(i.liberados, 0);
    EXPECT_GT(i.hallados, 0);
}

TEST_F(Vigia, UnaSesionPorTuberiaNoDejaClaveNiTexto) {
    const std::string sesion = "c\n" + texto + "\n" + clave + "\ns\n" + clave + "\n" +  // encrypt and check
                               "d\n" + texto + "\n" + clave + "\nsi\n" + clave + "\n" +  // decrypt and check
                               "c\n" + texto + "\n" + clave + "\nn\ns\n";
    const Resultado r = Ejecutar(sesion, Destino::Archivo, {}, Origen::Tuberia);
    EXPECT_EQ(r.estado, 0);
    EXPECT_NE(r.salida.find("Cadena original:\n" + texto + "\n"), std::string::npos);
    const Informe i = Leer();
    EXPECT_GT(i.liberados, 0);
    EXPECT_EQ(i.hallados, 0);
}

TEST_F(Vigia, UnaSesionEnLaTerminalNoDejaClaveNiTexto) {
    // Typed through the line editor, whose line grows as the text comes, with
    // keys deleted along the way.
    Pseudoterminal t({"TERM=xterm", "LANG=C.UTF-8", "LD_PRELOAD=" VIGIA, "VIGIA_SECRETOS=" + secretos,
                      "VIGIA_INFORME=" + informe});
    const auto responder = [&](const std::string& pregunta, const std::string& respuesta) {
        t.Esperar(pregunta);
        t.EsperarEditor();
        t.Escribir(respuesta + "\r");
    };
    responder("?: ", "c");
    responder("interpretar: \r\n", texto + "xyz\x7f\x7f\x7f");
    responder("clave: \r\n", "otra\x15" + clave);
    responder("s/n: ", "s");
    responder("clave: \r\n", clave);
    t.Esperar("Cadena original:\r\n" + texto + "\r\n");
    responder("?: ", "s");
    EXPECT_EQ(t.Terminar(), 0);
    const Informe i = Leer();
    EXPECT_GT(i.liberados, 0);
    EXPECT_EQ(i.hallados, 0);
}

}  // namespace
