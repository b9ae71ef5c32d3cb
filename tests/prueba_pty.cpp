// The program on a real pseudo-terminal speaking UTF-8: cipher texts read off
// the screen and pasted back, and control bytes that must not reach it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ejecutar.h"
#include "mostrado.h"
#include "pseudoterminal.h"
#include "textos.h"
#include "vectores.h"

namespace {

const std::string kMarcarPegado = "\x1b[?2004h", kNoMarcarPegado = "\x1b[?2004l";

// What the program showed, without the requests that turn marked pastes on
// and off around each line read.
std::string SinModoPegado(std::string pantalla) {
    for (const std::string& modo : {kMarcarPegado, kNoMarcarPegado})
        for (std::size_t p; (p = pantalla.find(modo)) != std::string::npos;) pantalla.erase(p, modo.size());
    return pantalla;
}

// Whether the terminal was asked to mark pastes, and to stop after the last time.
bool PegadoDevuelto(const std::string& pantalla) {
    const std::size_t encendido = pantalla.rfind(kMarcarPegado), apagado = pantalla.rfind(kNoMarcarPegado);
    return encendido != std::string::npos && apagado != std::string::npos && apagado > encendido;
}

// The program on a terminal, in a locale given by LANG ("" for none), with
// an empty home directory of its own.
class EnTerminal : public testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        char plantilla[] = "/tmp/cifrador-home-XXXXXX";
        if (mkdtemp(plantilla) == nullptr) throw std::runtime_error("mkdtemp");
        home = plantilla;
        if (!GetParam().empty()) {
            const locale_t l = newlocale(LC_CTYPE_MASK, GetParam().c_str(), locale_t{});
            if (l == locale_t{}) GTEST_SKIP() << GetParam() << " no esta instalado (lo genera .ci/run)";
            freelocale(l);
        }
    }
    void TearDown() override {
        // Nothing typed is kept, in the home directory or anywhere else.
        EXPECT_TRUE(std::filesystem::is_empty(home));
        std::filesystem::remove_all(home);
    }

    std::vector<std::string> Entorno() const {
        std::vector<std::string> entorno{"TERM=xterm", "HOME=" + home, "PATH=/usr/bin:/bin"};
        if (!GetParam().empty()) entorno.push_back("LANG=" + GetParam());
        return entorno;
    }

    // Waits for `pregunta` and types `respuesta` once the editor reads.
    static void Responder(Pseudoterminal& t, const std::string& pregunta, const std::string& respuesta) {
        t.Esperar(pregunta);
        t.EsperarEditor();
        t.Escribir(respuesta + "\r");
    }
    // Runs one flow from the menu; answers no to the check and returns the
    // result as shown.
    static std::string Flujo(Pseudoterminal& t, const std::string& opcion, const std::string& linea,
                             const std::string& clave, const std::string& encabezado) {
        Responder(t, kMenu, opcion);
        Responder(t, "Escriba la linea a interpretar: \r\n", linea);
        Responder(t, "Escriba la clave: \r\n", clave);
        t.Esperar(encabezado + "\r\n");
        const std::string resultado = t.Linea();
        Responder(t, kPregunta, "n");
        return resultado;
    }
    static std::string Cifrar(Pseudoterminal& t, const std::string& linea, const std::string& clave) {
        return Flujo(t, "c", linea, clave, "Cadena cifrada: ");
    }
    static std::string Descifrar(Pseudoterminal& t, const std::string& linea, const std::string& clave) {
        return Flujo(t, "d", linea, clave, "Cadena original: ");
    }
    static int Salir(Pseudoterminal& t) {
        Responder(t, kMenu, "s");
        const int estado = t.Terminar();
        EXPECT_TRUE(PegadoDevuelto(t.Pantalla()));
        return estado;
    }

    std::string home;
};

TEST_P(EnTerminal, LineaConAcentosYTabuladorIdaYVuelta) {
    const std::string linea = "Canción para mi ñandú\tcon ÁÉÍÓÚ áéíóú ü Ñ ¿¡ ç ºª", clave = "clave ñ";
    Pseudoterminal t(Entorno());
    const std::string cifrado = Cifrar(t, linea, clave);
    // Enciphered over its code page 850 bytes, one character per byte shown.
    EXPECT_EQ(cifrado, MostradoDatos(Modelo(Cp850(clave), Cp850(linea), false)));
    EXPECT_EQ(cifrado.find("\xef\xbf\xbd"), std::string::npos);  // no replacement character
    EXPECT_EQ(Descifrar(t, cifrado, clave), MostradoDatos(Cp850(linea)));
    EXPECT_NE(Mostrado(Cp850(linea)).find("ñandú␉con"), std::string::npos);
    EXPECT_EQ(Salir(t), 0);
}

TEST_P(EnTerminal, CifradosCon127240Y255) {
    const std::string clave = "otra clave";
    // The plain text is chosen so that its cipher text holds the three bytes.
    const std::string cifrado_buscado = "\x7f" "a\xf0" "b\xff" "c \xf0\xff\x7f\xff";
    const std::string linea = Modelo(clave, cifrado_buscado, true);
    Pseudoterminal t(Entorno());
    const std::string cifrado = Cifrar(t, Mostrado(linea), clave);
    EXPECT_EQ(cifrado, "⌂a‐b⍽c ‐⍽⌂⍽");
    EXPECT_EQ(Descifrar(t, cifrado, clave), MostradoDatos(linea));
    EXPECT_EQ(Salir(t), 0);
}

TEST_P(EnTerminal, SecuenciasDeEscapeDescifradasNoLleganALaTerminal) {
    const std::string clave = "k";
    // Plain text that would set the window title twice (OSC 0 ended by BEL,
    // OSC 2 ended by ST) if it reached the terminal as it is.
    const std::string trampa = "hola \x1b]0;PWNED\x07 y \x1b]2;OTRO\x1b\\ fin";
    const std::string cifrado = Mostrado(Modelo(clave, trampa, false));
    // Control bytes are not enciphered: the cipher text holds them too.
    EXPECT_NE(cifrado.find("␛"), std::string::npos);
    EXPECT_NE(cifrado.find("␇"), std::string::npos);
    Pseudoterminal t(Entorno());
    EXPECT_EQ(Descifrar(t, cifrado, clave), "hola ␛]0;PWNED␇ y ␛]2;OTRO␛\\ fin");
    EXPECT_EQ(Salir(t), 0);
    EXPECT_EQ(t.Pantalla().find("\x1b]"), std::string::npos);
    EXPECT_EQ(t.Pantalla().find('\x07'), std::string::npos);
}

TEST_P(EnTerminal, AvisoTrasLineasConCaracteresLeidosComoInterrogacion) {
    Pseudoterminal t(Entorno());
    // A line with a euro sign and letters typed as letter and combining mark,
    // a Cyrillic key: each read as before, each followed by one notice.
    const std::string cifrado = Cifrar(t, "cafe\u0301 man\u0303ana €", "пароль");
    EXPECT_EQ(cifrado, MostradoDatos(Modelo("??????", Cp850("café mañana ") + "?", false)));
    const std::string pantalla = SinModoPegado(t.Pantalla());
    EXPECT_NE(pantalla.find("\r\nAviso: 1 carácter sin equivalente en la página 850 se leyó como «?».\r\n"
                            "Escriba la clave: \r\n"),
              std::string::npos)
        << pantalla;
    EXPECT_NE(pantalla.find("\r\nAviso: 6 caracteres sin equivalente en la página 850 se leyeron como «?».\r\n"
                            "Cadena cifrada: \r\n"),
              std::string::npos)
        << pantalla;
    EXPECT_EQ(Cifrar(t, "café mañana ?", "??????"), cifrado);  // no notice for a "?" typed as such
    EXPECT_EQ(Salir(t), 0);
    std::size_t avisos = 0;
    for (auto n = pantalla.find("Aviso"); n != std::string::npos; n = pantalla.find("Aviso", n + 1)) ++avisos;
    EXPECT_EQ(avisos, 2u);
}

// What the screen shows from the last `pregunta` to `hasta` (to its end when
// empty) holds one newline, at its end.
testing::AssertionResult UnaLineaTerminada(const std::string& pantalla, const std::string& pregunta,
                                           const std::string& hasta) {
    const std::size_t desde = pantalla.rfind(pregunta);
    if (desde == std::string::npos) return testing::AssertionFailure() << "no aparece " << pregunta;
    const std::size_t inicio = desde + pregunta.size();
    const std::string tramo = pantalla.substr(inicio, hasta.empty() ? std::string::npos : pantalla.find(hasta, inicio) - inicio);
    if (std::count(tramo.begin(), tramo.end(), '\n') == 1 && tramo.ends_with("\r\n"))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "tras \"" << pregunta << "\" se ve \"" << tramo << "\"";
}

// Ctrl-D on an empty line ends the input, and the screen line with it: one
// newline follows the prompt, whether the program ends there (the menu, the
// check question) or goes on (the key: its empty answer rejected on the next
// line, then the menu, where the input has ended, with its own newline).
TEST_P(EnTerminal, FinDeEntradaTerminaLaLineaUnaVez) {
    const std::string preguntas[] = {kMenu, "Escriba la linea a interpretar: \r\n", "Escriba la clave: \r\n", kPregunta};
    const struct {
        std::size_t respondidas;  // of the questions above, before Ctrl-D
        std::string siguiente;    // shown after its line; "" when the program ends
        std::size_t menus;
    } casos[] = {{0, "", 1}, {3, "", 1}, {2, "Debe escribir", 2}};
    for (const auto& caso : casos) {
        const std::string& pregunta = preguntas[caso.respondidas];
        SCOPED_TRACE(pregunta);
        Pseudoterminal t(Entorno());
        const char* const respuestas[] = {"c", "hola", "k"};
        for (std::size_t n = 0; n < caso.respondidas; ++n) Responder(t, preguntas[n], respuestas[n]);
        t.Esperar(pregunta);
        t.EsperarEditor();
        t.Escribir("\x04");
        EXPECT_EQ(t.Terminar(), 0);
        const std::string& pantalla = t.Pantalla();
        EXPECT_TRUE(UnaLineaTerminada(pantalla, pregunta, caso.siguiente));
        if (!caso.siguiente.empty()) {
            EXPECT_TRUE(UnaLineaTerminada(pantalla, kMenu, ""));
        }
        std::size_t menus = 0;
        for (auto n = pantalla.find(kMenu); n != std::string::npos; n = pantalla.find(kMenu, n + 1)) ++menus;
        EXPECT_EQ(menus, caso.menus);
    }
}

const std::string kIzquierda = "\x1b[D", kDerecha = "\x1b[C", kBorrar = "\x7f", kSuprimir = "\x1b[3~";

TEST_P(EnTerminal, LineaEnmendadaConLasFlechas) {
    const std::string clave = "ñu";
    Pseudoterminal t(Entorno());
    // "Cnación" with its transposition mended, then " ñxandúz" with the
    // stray x and z taken out: Home and End as xterm sends them.
    const std::string tecleado = "Cnación\x1b[H" + kDerecha + kSuprimir + kDerecha + "n\x1b[F ñxandúz" + kBorrar +
                                 kIzquierda + kIzquierda + kIzquierda + kIzquierda + kBorrar;
    EXPECT_EQ(Cifrar(t, tecleado, clave), MostradoDatos(Modelo(Cp850(clave), Cp850("Canción ñandú"), false)));
    // The same with Home and End as tmux sends them, and a line that wraps.
    const std::string largo(150, 'x');
    const std::string otro = largo + "\x1b[1~ñ" + kSuprimir + "\x1b[4~" + kIzquierda + kBorrar + "é";
    EXPECT_EQ(Cifrar(t, otro, clave), MostradoDatos(Modelo(Cp850(clave), Cp850("ñ" + std::string(147, 'x') + "éx"), false)));
    EXPECT_EQ(Salir(t), 0);
}

TEST_P(EnTerminal, TeclasSinSignificadoNoEscribenNadaYTeclasDeEdicion) {
    Pseudoterminal t(Entorno());
    Responder(t, kMenu, "c");
    t.Esperar("Escriba la linea a interpretar: \r\n");
    t.EsperarEditor();
    // Escape alone, then F5, F12, PgUp, PgDn, Ctrl-Home, Alt-x, Alt-q, Up,
    // Down, F1, Insert, Alt-ñ, the Linux console's F1, a mouse report, Alt-Up,
    // a sequence of 600 parameter bytes, a colour reply, a DCS reply and an
    // X10 mouse report: none of them types or moves anything. A sequence
    // broken off by a character types the character.
    t.Escribir("abc\x1b");
    usleep(300000);
    t.Escribir("\x1b[15~\x1b[24~\x1b[5~\x1b[6~\x1b[1;5H\x1bx\x1bq\x1b[A\x1bOB\x1bOP\x1b[2~\x1bñ\x1b[[A"
               "\x1b[<0;10;5M\x1b\x1b[A\x1b[" + std::string(600, ';') + "9q\x1b]11;rgb:0000/0000/0000\x1b\\"
               "\x1bP1$r0m\x1b\\\x1b[M !!x\x1b[2ñ\r");
    // Ctrl-Left, Alt-B, Ctrl-K, Ctrl-A, Alt-F, Ctrl-W, Ctrl-E, Ctrl-B, Ctrl-U.
    Responder(t, "Escriba la clave: \r\n", "uno dos tres\x1b[1;5D\x1b" "b\x0b" "DOS\x01\x1b" "f\x17\x05\tfin\x02\x02\x15");
    t.Esperar("Cadena cifrada: \r\n");
    EXPECT_EQ(t.Linea(), MostradoDatos(Modelo("in", "abcx\xa4", false)));
    Responder(t, kPregunta, "n");
    EXPECT_EQ(Salir(t), 0);
}

TEST_P(EnTerminal, RespuestasDeUnCaracterConElEditor) {
    Pseudoterminal t(Entorno());
    // Blank lines before the answer: the menu waits without being shown
    // again; only the first non-blank character of the answer counts.
    Responder(t, kMenu, "\r   \r  Cifrar, por favor");
    Responder(t, "Escriba la linea a interpretar: \r\n", "hola");
    EXPECT_EQ(t.Pantalla().find(kMenu), t.Pantalla().rfind(kMenu));
    Responder(t, "Escriba la clave: \r\n", "k");
    t.Esperar("Cadena cifrada: \r\n");
    const std::string cifrado = t.Linea();
    EXPECT_EQ(cifrado, MostradoDatos(Modelo("k", "hola", false)));
    Responder(t, kPregunta, "  sí, comprueba");
    Responder(t, "Escriba la clave: \r\n", "k");
    t.Esperar("Cadena original:\r\n");
    EXPECT_EQ(t.Linea(), "hola");
    Responder(t, kMenu, "x de nada");
    EXPECT_EQ(Descifrar(t, cifrado, "k"), "hola");
    EXPECT_EQ(Salir(t), 0);
}

TEST_P(EnTerminal, CifradoDeVeinteMilCaracteresPegadoYDescifrado) {
    // Letters, accented ones and symbols of code page 850 typed as UTF-8,
    // about 40,000 bytes of terminal input in one line; the euro sign, which
    // code page 850 lacks, is read as "?".
    std::string linea, bytes;
    const char* const trozos[] = {"a", "ñ", "É", "░", "z", " ", "¿", "ü", "7", "╬", "€"};
    for (unsigned n = 0; n < 20000; ++n) {
        const std::string trozo = trozos[(n * 7 + n / 13) % 11];
        linea += trozo;
        bytes += trozo == "€" ? "?" : Cp850(trozo);
    }
    const std::string clave = "clave larga";
    Pseudoterminal t(Entorno());
    const std::string cifrado = Cifrar(t, linea, clave);
    EXPECT_EQ(cifrado, MostradoDatos(Modelo(clave, bytes, false)));
    EXPECT_EQ(Descifrar(t, cifrado, clave), MostradoDatos(bytes));
    EXPECT_EQ(Salir(t), 0);
}

// However a line and its key arrive, the dialogue reads what the user meant:
// pasted with CR LF, where the terminal marks pastes and where it does not;
// with the CR CR xterm and tmux make of it; two lines in one paste; the bytes
// of a key 150 ms apart; Escape and Enter; Ctrl-D inside the line; Ctrl-V
// with Escape and a sequence, typed as their bytes.
TEST_P(EnTerminal, LoPegadoYLoQueLlegaDespacioSeLeeComoSeQuiso) {
    const struct {
        std::vector<std::string> linea, clave;  // pieces typed 150 ms apart
    } casos[] = {
        {{"Hola mundo\r\n"}, {"clave\r"}},
        {{"\x1b[200~Hola mundo\r\r\x1b[201~"}, {"clave\r"}},
        {{"\x1b[200~Hola mundo\r\n\x1b[201~"}, {"\x1b[200~clave\r\n\x1b[201~"}},
        {{"\x1b[200~Hola mundo\r\nclave\r\n\x1b[201~"}, {}},
        {{"Hola mundo!", "\x1b", "[", "D\x04\x1b", "\r"}, {"cl", "\x1b[1;", "5D", "\x1b[1;5C", "ave\r"}},
        {{"Hola mundo\x16\x1b[D\x7f\x7f\x7f\r"}, {"clave\r"}},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.linea[0]);
        Pseudoterminal t(Entorno());
        Responder(t, kMenu, "c");
        t.Esperar("Escriba la linea a interpretar: \r\n");
        for (const auto& [piezas, pregunta] : {std::pair{caso.linea, ""}, {caso.clave, "Escriba la clave: \r\n"}}) {
            if (piezas.empty()) continue;
            t.Esperar(pregunta);
            t.EsperarEditor();
            for (const std::string& pieza : piezas) {
                t.Escribir(pieza);
                usleep(150000);
            }
        }
        t.Esperar("Cadena cifrada: \r\n", 5);
        EXPECT_EQ(t.Linea(), MostradoDatos(Modelo("clave", "Hola mundo", false)));
        Responder(t, kPregunta, "n");
        EXPECT_EQ(Salir(t), 0);
    }
}

TEST_P(EnTerminal, ControlCTerminaElPrograma) {
    Pseudoterminal t(Entorno());
    Responder(t, kMenu, "c");
    t.Esperar("Escriba la linea a interpretar: \r\n");
    t.EsperarEditor();
    // After Ctrl-V too: Ctrl-C is the terminal's, as in a shell.
    t.Escribir("a medias\x16\x03");
    EXPECT_EQ(t.Terminar(), 128 + SIGINT);
}

const std::vector<std::string> kEntornoUtf8{"TERM=xterm", "HOME=/nonexistent", "LANG=C.UTF-8", "PATH=/usr/bin:/bin"};

TEST(TerminalSenales, TerminarColgarYSalirTerminanSoloElProgramaYDevuelvenLaTerminal) {
    for (const int senal : {SIGTERM, SIGHUP, SIGQUIT, SIGINT}) {
        SCOPED_TRACE(senal);
        Pseudoterminal t(kEntornoUtf8, 80, "ulimit -c 0; \"$0\"; echo despues=$?; stty -a");
        t.Esperar(kMenu);
        t.EsperarEditor();
        t.Escribir("a medias");
        t.Esperar("a medias");
        t.Senal(senal);
        // Marked pastes off before the program goes.
        t.Esperar("\r\n" + kNoMarcarPegado);
        t.Esperar("despues=" + std::to_string(128 + senal) + "\r\n");
        EXPECT_EQ(t.Terminar(), 0);
        const std::string modos = t.Pantalla().substr(t.Pantalla().find("despues="));
        EXPECT_NE(modos.find(" icanon "), std::string::npos) << modos;
        EXPECT_NE(modos.find(" echo "), std::string::npos) << modos;
    }
}

// The terminal goes away while the program, started with SIGHUP ignored (as
// by nohup), waits at each question: the lost read is said, whatever else
// then failed, and the program ends with a failure at once.
TEST(TerminalPerdida, SeDiceQueNoSePudoLeer) {
    const std::string preguntas[] = {kMenu, "Escriba la linea a interpretar: \r\n", "Escriba la clave: \r\n", kPregunta};
    const char* const respuestas[] = {"c", "hola", "k"};
    const std::string errores = "/tmp/cifrador-errores-" + std::to_string(getpid());
    for (std::size_t respondidas = 0; respondidas < std::size(preguntas); ++respondidas) {
        SCOPED_TRACE(preguntas[respondidas]);
        Pseudoterminal t(kEntornoUtf8, 80, "trap '' HUP; \"$0\" 2>" + errores);
        for (std::size_t n = 0; n < respondidas; ++n) {
            t.Esperar(preguntas[n]);
            t.EsperarEditor();
            t.Escribir(std::string(respuestas[n]) + "\r");
        }
        t.Esperar(preguntas[respondidas]);
        t.EsperarEditor();
        t.Cerrar();
        EXPECT_EQ(t.Terminar(), 1);
        EXPECT_TRUE(LeerArchivo(errores).starts_with("cifrador: no se pudo leer la entrada estandar: Input/output error\n"))
            << LeerArchivo(errores);
    }
    std::remove(errores.c_str());
}

// Left behind by the shell that started it in the background (an orphaned
// process group), the program may neither set the terminal's mode nor read
// from it: it reads in the terminal's own line mode, which says so at once,
// rather than wait at the line editor for keys that can never come.
TEST(TerminalPerdida, SinModoCrudoLeeEnElModoDeLaTerminal) {
    const std::string errores = "/tmp/cifrador-errores-" + std::to_string(getpid());
    Pseudoterminal t(kEntornoUtf8, 80, "sh -c 'set -m; (\"$0\" 2>" + errores + "; echo estado=$?) &' \"$0\"; read fin");
    t.Esperar("estado=1\r\n");
    EXPECT_EQ(LeerArchivo(errores), "cifrador: no se pudo leer la entrada estandar: Input/output error\n");
    t.Escribir("\r");
    EXPECT_EQ(t.Terminar(), 0);
    std::remove(errores.c_str());
}

// Typed at the terminal with the output going to a full disk: the dialogue
// stops at its first question, reading none of the answers typed ahead,
// which are left to the shell.
TEST(TerminalSinSalida, LaSalidaQueNoSePuedeEscribirDetieneElDialogo) {
    const std::string errores = "/tmp/cifrador-errores-" + std::to_string(getpid());
    Pseudoterminal t(kEntornoUtf8, 80, "\"$0\" >/dev/full 2>" + errores + "; echo estado=$?; read resto; echo resto=$resto");
    t.Escribir("c\rhola\rk\rn\rs\r");
    t.Esperar("estado=1\r\n");
    t.Esperar("resto=c\r\n");
    EXPECT_EQ(t.Terminar(), 0);
    EXPECT_EQ(LeerArchivo(errores), "cifrador: no se pudo escribir la salida estandar\n");
    std::remove(errores.c_str());
}

TEST(TerminalSinSalida, LaSalidaAUnArchivoNoLlevaAvisoNiGlifos) {
    // Typed at the terminal, which edits the lines itself, with the output
    // going to a file: the characters are read through the table, composed,
    // and the file gets the bytes, with no notice anywhere.
    const std::string archivo = "/tmp/cifrador-salida-" + std::to_string(getpid());
    Pseudoterminal t(kEntornoUtf8, 80, "\"$0\" > " + archivo);
    t.Escribir("c\rman\u0303ana €\rk\rn\rs\r");
    EXPECT_EQ(t.Terminar(), 0);
    std::ifstream leido(archivo);
    const std::string salida{std::istreambuf_iterator<char>(leido), std::istreambuf_iterator<char>()};
    std::remove(archivo.c_str());
    EXPECT_NE(salida.find("Cadena cifrada: \n" + Modelo("k", "ma\xa4" "ana ?", false) + "\n"), std::string::npos) << salida;
    EXPECT_EQ(salida.find("Aviso"), std::string::npos);
    EXPECT_EQ(t.Pantalla().find("Aviso"), std::string::npos);
}

TEST(TerminalSenales, TrasCtrlZLaLineaSigueDondeEstaba) {
    // Started outside any shell's job control, the program is not stopped by
    // SIGTSTP; the line is given back, then taken again and drawn afresh.
    Pseudoterminal t(kEntornoUtf8);
    t.Esperar(kMenu);
    t.EsperarEditor();
    t.Escribir("cif");
    t.Esperar("cif");
    t.Senal(SIGTSTP);
    t.Esperar("\r\n" + kNoMarcarPegado + kMarcarPegado + kMenu + "cif\x1b[J");
    t.EsperarEditor();
    t.Escribir("rar\r");
    t.Esperar("Escriba la linea a interpretar: \r\n");
    t.EsperarEditor();
    t.Escribir("\x04");
    t.Esperar("Debe escribir");
    EXPECT_EQ(t.Terminar(), 0);
}

TEST(TerminalSenales, AlCambiarDeAnchoLaLineaSeRedibujaEnSuSitio) {
    Pseudoterminal t(kEntornoUtf8, 40);
    t.Esperar(kMenu);
    t.EsperarEditor();
    const std::string respuesta = "cifrar" + std::string(60, 'x');
    t.Escribir(respuesta);
    t.Esperar(respuesta);
    t.CambiarTamano(25);
    // The program asks where the cursor went; this terminal does not say. The
    // cursor, 97 cells from the prompt's start, is 2 rows below it at 40
    // columns, or 3 at 25 for a terminal that rewraps its rows: up as far as
    // the farther, the whole drawn again, the rest of the screen cleared.
    t.Esperar("\x1b[6n");
    t.Esperar("\r\x1b[3A" + kMenu + respuesta + "\x1b[J");
    t.Escribir("\x1b[D\x1b[DY\r");
    t.Esperar("Escriba la linea a interpretar: \r\n");
    t.EsperarEditor();
    t.Escribir("\x04");
    t.Esperar("Debe escribir");
    EXPECT_EQ(t.Terminar(), 0);
}

// The spaces that end a line of data show as ␠ on every such line: a result,
// and the line the check shows, a plain text or a cipher text.
TEST_P(EnTerminal, EspaciosFinalesEnCadaLineaDeDatos) {
    Pseudoterminal t(Entorno());
    const auto comprobado = [&t](const std::string& opcion, const std::string& linea, const std::string& encabezado) {
        Responder(t, kMenu, opcion);
        Responder(t, "Escriba la linea a interpretar: \r\n", linea);
        Responder(t, "Escriba la clave: \r\n", "k");
        Responder(t, kPregunta, "s");
        Responder(t, "Escriba la clave: \r\n", "k");
        t.Esperar(encabezado + "\r\n");
        return t.Linea();
    };
    EXPECT_EQ(comprobado("c", "fin  ", "Cadena original:"), "fin␠␠");
    EXPECT_EQ(comprobado("d", "ab  ", "Cadena cifrada: "), "ab␠␠");
    EXPECT_EQ(Descifrar(t, Mostrado(Modelo("k", "fin  ", false)), "k"), "fin␠␠");
    EXPECT_EQ(Salir(t), 0);
}

TEST(TerminalTonta, SinEditorNiSecuenciasConLaTablaYElAviso) {
    // TERM=dumb (Emacs' shell): the terminal's own line mode reads, Backspace
    // works there, the byte table and the notice are as ever, and not one
    // escape sequence reaches the terminal.
    Pseudoterminal t({"TERM=dumb", "HOME=/nonexistent", "LANG=C.UTF-8"});
    t.Esperar(kMenu);
    t.Escribir("c\r");
    t.Esperar("Escriba la linea a interpretar: \r\n");
    // Each key on its own, as typed: Backspace at the end of the line too.
    t.Escribir("cafe\u0301 x\u20acy");
    t.Esperar("x\u20acy");
    t.Escribir("\x7f");
    usleep(100000);
    t.Escribir("z\r");
    t.Esperar("Aviso: 1 carácter sin equivalente en la página 850 se leyó como «?».\r\n");
    t.Esperar("Escriba la clave: \r\n");
    t.Escribir("k\r");
    t.Esperar("Cadena cifrada: \r\n");
    EXPECT_EQ(t.Linea(), MostradoDatos(Modelo("k", Cp850("café x") + "?z", false)));
    t.Esperar(kPregunta);
    t.Escribir("n\rs\r");
    EXPECT_EQ(t.Terminar(), 0);
    EXPECT_EQ(t.Pantalla().find('\x1b'), std::string::npos) << t.Pantalla();
}

TEST(TerminalLatin1, BytesTalCualSinEditor) {
    const locale_t l = newlocale(LC_CTYPE_MASK, "es_ES.ISO-8859-1", locale_t{});
    if (l == locale_t{}) GTEST_SKIP() << "es_ES.ISO-8859-1 no esta instalado (lo genera .ci/run)";
    freelocale(l);
    // A terminal in Latin-1: the program reads and writes raw bytes, as
    // through a pipe, and the terminal keeps its own line mode.
    Pseudoterminal t({"TERM=xterm", "HOME=/nonexistent", "LANG=es_ES.ISO-8859-1"});
    const std::string linea = "Canci\xf3n \xf1" "and\xfa";
    t.Esperar(kMenu);
    t.Escribir("c\r" + linea + "\rk\r");
    t.Esperar("Cadena cifrada: \r\n");
    EXPECT_EQ(t.Linea(), Modelo("k", linea, false));
    t.Esperar(kPregunta);
    t.Escribir("n\rs\r");
    EXPECT_EQ(t.Terminar(), 0);
}

INSTANTIATE_TEST_SUITE_P(Locales, EnTerminal, testing::Values("C.UTF-8", "es_ES.UTF-8", ""),
                         [](const testing::TestParamInfo<std::string>& p) {
                             return p.param.empty() ? std::string("SinLocale")
                                                    : p.param == "C.UTF-8" ? std::string("C_UTF8")
                                                                           : std::string("es_ES_UTF8");
                         });

}  // namespace
