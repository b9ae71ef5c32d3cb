// The real program, fed a session through a pipe and typed at a terminal with
// libvigia_free preloaded: no block it frees may still hold the session's key
// or its text. And while it runs, what was deleted from a line being typed is
// in none of its memory, read as a debugger reads it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "ejecutar.h"
#include "mostrado.h"
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

// Whether the writable memory of process `pid` holds any of `buscados`, read
// through /proc as a debugger reads it.
bool EnMemoria(pid_t pid, const std::vector<std::string>& buscados) {
    const std::string proceso = "/proc/" + std::to_string(pid);
    std::ifstream mapas(proceso + "/maps");
    const int memoria = open((proceso + "/mem").c_str(), O_RDONLY);
    if (!mapas || memoria < 0) throw std::runtime_error("no se puede leer la memoria del programa");
    bool hallado = false;
    for (std::string linea; !hallado && std::getline(mapas, linea);) {
        std::istringstream campos(linea);
        std::string rango, permisos;
        campos >> rango >> permisos;
        if (permisos.compare(0, 2, "rw") != 0) continue;
        const std::size_t guion = rango.find('-');
        const auto desde = std::stoull(rango.substr(0, guion), nullptr, 16);
        std::string copia(std::stoull(rango.substr(guion + 1), nullptr, 16) - desde, '\0');
        const ssize_t leidos = pread(memoria, copia.data(), copia.size(), static_cast<off_t>(desde));
        if (leidos <= 0) continue;
        for (const std::string& b : buscados)
            hallado = hallado || memmem(copia.data(), static_cast<std::size_t>(leidos), b.data(), b.size()) != nullptr;
    }
    close(memoria);
    return hallado;
}

// Looks until the memory of `pid` holds any of `buscados` or none, as `esta`
// says, for at most 5 s: what is typed reaches the line a moment after.
bool Esperar(pid_t pid, const std::vector<std::string>& buscados, bool esta) {
    const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (EnMemoria(pid, buscados) != esta)
        if (std::chrono::steady_clock::now() > limite) return false;
    return true;
}

// Each key that deletes from a line, at its end and inside it: the bytes it
// takes out are wiped there and then, not only when the line's memory goes.
// Letters typed as UTF-8 are kept as code page 850 bytes, which only the line
// being typed holds (the keys read and the screen drawn are UTF-8); deleted
// one at a time from inside the line, they would be left in reverse order.
TEST(LineaTecleada, LoBorradoNoQuedaEnLaMemoria) {
    const std::string secreto = "ñÑçÇüéâäàåêëèïîì";  // 16 characters
    // Home then three to the right, or three to the left from the end: past "abc".
    const std::string tras_abc = "\x01\x1b[C\x1b[C\x1b[C", antes_de_xyz = "\x1b[D\x1b[D\x1b[D";
    std::string retrocesos, supresiones;
    for (int n = 0; n < 16; ++n) {
        retrocesos += "\x7f";
        supresiones += "\x1b[3~";
    }
    const struct {
        std::string tecleado, borrar;
    } casos[] = {
        {"abc" + secreto, retrocesos},
        {"abc" + secreto + "xyz", tras_abc + supresiones},
        {"abc" + secreto, tras_abc + "\x0b"},        // Ctrl-K
        {"abc" + secreto + "xyz", antes_de_xyz + "\x15"},  // Ctrl-U
        {"abc " + secreto, "\x17"},                  // Ctrl-W
    };
    const std::string bytes = Cp850(secreto);
    const std::vector<std::string> buscados{bytes, {bytes.rbegin(), bytes.rend()}};
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.borrar);
        Pseudoterminal t({"TERM=xterm", "LANG=C.UTF-8"});
        t.Esperar("?: ");
        t.EsperarEditor();
        t.Escribir("c\r");
        t.Esperar("interpretar: \r\n");
        t.EsperarEditor();
        t.Escribir(caso.tecleado);
        ASSERT_TRUE(Esperar(t.Programa(), buscados, true)) << "la linea tecleada no aparece en la memoria";
        t.Escribir(caso.borrar);
        EXPECT_TRUE(Esperar(t.Programa(), buscados, false)) << "lo borrado sigue en la memoria";
        t.Escribir("\x03");
        EXPECT_EQ(t.Terminar(), 128 + SIGINT);
    }
}

// What the terminal sends is wiped from the program's memory as it is
// decoded: a marker inside a control string, which draws nothing, is gone by
// the time the key after it shows.
TEST(Teclado, LoLeidoDeLaTerminalSeBorraAlTomarlo) {
    const std::string marca = "Marca7Qzxw3511";
    Pseudoterminal t({"TERM=xterm", "LANG=C.UTF-8"});
    t.Esperar("?: ");
    t.EsperarEditor();
    t.Escribir("\x1b]0;" + marca + "\x07" "x");
    t.Esperar("x");
    EXPECT_FALSE(EnMemoria(t.Programa(), {marca}));
    t.Escribir("\x03");
    EXPECT_EQ(t.Terminar(), 128 + SIGINT);
}

}  // namespace
