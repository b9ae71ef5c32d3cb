// The program in a tmux pane, the terminal a user meets: what tmux shows
// after line editing and wrapping, and the pane's title, which decrypted
// control bytes must leave alone.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "mostrado.h"
#include "vectores.h"

namespace {

// A tmux server of the test's own, with the program alone in its pane.
class Tmux {
public:
    Tmux(const std::string& lang, int columnas, int filas = 30) {
        char plantilla[] = "/tmp/cifrador-tmux-XXXXXX";
        if (mkdtemp(plantilla) == nullptr) throw std::runtime_error("mkdtemp");
        directorio = plantilla;
        socket = directorio + "/s";
        std::vector<std::string> orden{"new-session", "-d", "-x", std::to_string(columnas), "-y", std::to_string(filas), "env", "-i",
                                       "TERM=screen", "HOME=/nonexistent"};
        if (!lang.empty()) orden.push_back("LANG=" + lang);
        orden.insert(orden.end(), {CIFRADOR, ";", "set-option", "-g", "remain-on-exit", "on"});
        Ejecutar(orden);
    }
    ~Tmux() {
        try {
            Ejecutar({"kill-server"});
        } catch (const std::runtime_error&) {
            // The server had already ended.
        }
        std::filesystem::remove_all(directorio);
    }

    std::string Ejecutar(const std::vector<std::string>& argumentos) {
        int tubo[2];
        if (pipe(tubo) != 0) throw std::runtime_error("pipe");
        const pid_t hijo = fork();
        if (hijo == 0) {
            dup2(tubo[1], 1);
            close(tubo[0]);
            close(tubo[1]);
            std::vector<const char*> argv{"tmux", "-u", "-f", "/dev/null", "-S", socket.c_str()};
            for (const auto& a : argumentos) argv.push_back(a.c_str());
            argv.push_back(nullptr);
            execvp("tmux", const_cast<char* const*>(argv.data()));
            _exit(127);
        }
        close(tubo[1]);
        std::string salida;
        char bloque[4096];
        for (ssize_t n; (n = read(tubo[0], bloque, sizeof bloque)) > 0;) salida.append(bloque, static_cast<std::size_t>(n));
        close(tubo[0]);
        int estado = 0;
        waitpid(hijo, &estado, 0);
        if (!WIFEXITED(estado) || WEXITSTATUS(estado) != 0) throw std::runtime_error("tmux " + argumentos[0]);
        return salida;
    }

    void Teclas(const std::string& texto) { Ejecutar({"send-keys", "-l", texto}); }
    void Tecla(const std::string& nombre) { Ejecutar({"send-keys", nombre}); }
    void Pegar(const std::string& texto) {
        Ejecutar({"set-buffer", texto});
        Ejecutar({"paste-buffer"});
    }
    void CambiarTamano(int columnas, int filas) {
        Ejecutar({"resize-window", "-x", std::to_string(columnas), "-y", std::to_string(filas)});
    }
    // The screen, wrapped lines joined, trailing blanks kept.
    std::string Pantalla() { return Ejecutar({"capture-pane", "-p", "-J"}); }
    // The history and the screen, wrapped lines joined.
    std::string Historia() { return Ejecutar({"capture-pane", "-p", "-J", "-S", "-"}); }
    // The screen's rows as they are.
    std::string Filas() { return Ejecutar({"capture-pane", "-p"}); }
    // The cursor's column and row.
    std::pair<int, int> Cursor() {
        const std::string xy = Ejecutar({"display-message", "-p", "#{cursor_x} #{cursor_y}"});
        return {std::stoi(xy), std::stoi(xy.substr(xy.find(' ') + 1))};
    }
    std::string Titulo() { return Ejecutar({"display-message", "-p", "#{pane_title}"}); }

    // Waits until the screen shows `texto`, then until the program reads
    // through its line editor (the terminal's own line mode off).
    void Esperar(const std::string& texto) {
        const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (Pantalla().find(texto) == std::string::npos) {
            if (std::chrono::steady_clock::now() > limite) throw std::runtime_error("no aparece " + texto);
            usleep(10000);
        }
        std::string tty = Ejecutar({"display-message", "-p", "#{pane_tty}"});
        tty.pop_back();
        const int fd = open(tty.c_str(), O_RDONLY | O_NOCTTY);
        termios modo{};
        while (tcgetattr(fd, &modo) == 0 && (modo.c_lflag & ICANON) != 0) {
            if (std::chrono::steady_clock::now() > limite) break;
            usleep(2000);
        }
        close(fd);
    }

private:
    std::string directorio, socket;
};

std::vector<std::string> Lineas(const std::string& pantalla) {
    std::vector<std::string> lineas;
    std::istringstream flujo(pantalla);
    for (std::string l; std::getline(flujo, l);) lineas.push_back(l);
    return lineas;
}

std::string SinBlancoFinal(std::string linea) {
    while (!linea.empty() && linea.back() == ' ') linea.pop_back();
    return linea;
}

class EnTmux : public testing::TestWithParam<std::string> {};

// Answers the menu with `opcion` and waits for the line's question.
void AlPedirLaLinea(Tmux& tmux, const std::string& opcion) {
    tmux.Esperar("(S)alir?: ");
    tmux.Teclas(opcion);
    tmux.Tecla("Enter");
    tmux.Esperar("interpretar: ");
}

// `n` letters with no period, so that each row of a line of them is its own.
std::string Letras(std::size_t n, unsigned semilla) {
    std::string letras;
    for (std::size_t k = 0; k < n; ++k) letras += static_cast<char>('a' + (semilla = semilla * 1103515245 + 12345) / 65536 % 26);
    return letras;
}

TEST_P(EnTmux, ElPromptQuedaUnaVezTrasEditarLineasQueSeParten) {
    Tmux tmux(GetParam(), 40);
    tmux.Esperar("(S)alir?: ");
    tmux.Teclas("cifrar" + std::string(60, 'x'));
    for (const char* tecla : {"Home", "Right", "Right", "BSpace", "Enter"}) tmux.Tecla(tecla);
    tmux.Esperar("interpretar: ");
    tmux.Teclas(std::string(100, 'y'));
    for (const char* tecla : {"Home", "Z", "End", "Left", "BSpace", "Enter"}) tmux.Tecla(tecla);
    tmux.Esperar("clave: ");
    tmux.Teclas("k");
    tmux.Tecla("Enter");
    tmux.Esperar("s/n: ");
    const std::string texto = "Z" + std::string(99, 'y');
    const auto lineas = Lineas(tmux.Pantalla());
    ASSERT_GE(lineas.size(), 8u);
    // The editor may leave a blank after the text it echoed; the rest is exact.
    EXPECT_EQ(SinBlancoFinal(lineas[0]), "(C)ifrar/(D)escifrar/(S)alir?: cfrar" + std::string(60, 'x'));
    EXPECT_EQ(lineas[1], "Escriba la linea a interpretar: ");
    EXPECT_EQ(SinBlancoFinal(lineas[2]), texto);
    EXPECT_EQ(lineas[3], "Escriba la clave: ");
    EXPECT_EQ(lineas[4], "k");
    EXPECT_EQ(lineas[5], "Cadena cifrada: ");
    EXPECT_EQ(lineas[6], MostradoDatos(Modelo("k", texto, false)));
    EXPECT_EQ(lineas[7], "Desea comprobar el resultado? s/n: ");
}

TEST_P(EnTmux, ElTituloNoCambiaAlDescifrarSecuenciasDeEscape) {
    Tmux tmux(GetParam(), 80);
    tmux.Ejecutar({"select-pane", "-T", "antes"});
    const std::string trampa = "hola \x1b]0;PWNED\x07 y \x1b]2;OTRO\x1b\\ fin";
    AlPedirLaLinea(tmux, "d");
    tmux.Teclas(Mostrado(Modelo("k", trampa, false)));
    tmux.Tecla("Enter");
    tmux.Esperar("clave: ");
    tmux.Teclas("k");
    tmux.Tecla("Enter");
    tmux.Esperar("s/n: ");
    EXPECT_NE(tmux.Pantalla().find("Cadena original: \nhola ␛]0;PWNED␇ y ␛]2;OTRO␛\\ fin\n"), std::string::npos)
        << tmux.Pantalla();
    EXPECT_EQ(tmux.Titulo(), "antes\n");
    // The same bytes written raw do change it: the check above can fail.
    tmux.Ejecutar({"new-window", "-d", "sh", "-c", "printf '%s' \"$0\"; sleep 20", trampa});
    const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (tmux.Ejecutar({"display-message", "-p", "-t", ":1", "#{pane_title}"}) != "OTRO\n" &&
           std::chrono::steady_clock::now() < limite)
        usleep(10000);
    EXPECT_EQ(tmux.Ejecutar({"display-message", "-p", "-t", ":1", "#{pane_title}"}), "OTRO\n");
}

TEST_P(EnTmux, TeclasModificadasComoEnLaConsolaDeWindows) {
    // The script the Windows console's test types too, with the same line.
    std::ifstream guion(DATOS "/teclas-modificadas.txt");
    ASSERT_TRUE(guion);
    Tmux tmux(GetParam(), 80);
    AlPedirLaLinea(tmux, "c");
    std::string linea;
    for (std::string tipo, resto; guion >> tipo && std::getline(guion, resto);) {
        resto.erase(0, 1);
        if (tipo == "texto") tmux.Teclas(resto);
        if (tipo == "tecla") tmux.Tecla(resto);
        for (std::size_t n = 0; tipo == "linea" && n + 1 < resto.size(); n += 2)
            linea += static_cast<char>(std::stoi(resto.substr(n, 2), nullptr, 16));
    }
    ASSERT_FALSE(linea.empty());
    tmux.Tecla("Enter");
    tmux.Esperar("clave: ");
    tmux.Teclas("k");
    tmux.Tecla("Enter");
    tmux.Esperar("s/n: ");
    const std::string pantalla = tmux.Pantalla();
    EXPECT_NE(pantalla.find("Cadena cifrada: \n" + MostradoDatos(Modelo("k", linea, false)) + "\n"), std::string::npos)
        << pantalla;
}

// Waits until `condicion` holds of the screen, or 10 s have passed.
template <class Condicion>
bool Hasta(Condicion condicion) {
    const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condicion()) {
        if (std::chrono::steady_clock::now() > limite) return false;
        usleep(20000);
    }
    return true;
}

std::size_t Veces(const std::string& texto, const std::string& buscado) {
    std::size_t veces = 0;
    for (auto n = texto.find(buscado); n != std::string::npos; n = texto.find(buscado, n + 1)) ++veces;
    return veces;
}

TEST_P(EnTmux, LineaMasAltaQueLaVentanaEditadaPorSuPrincipio) {
    // 2,500 characters in a window of 80 x 24, then Home, A, Ctrl-K, "hola":
    // the screen shows the line as it is read.
    Tmux tmux(GetParam(), 80, 24);
    AlPedirLaLinea(tmux, "c");
    const std::string largo = Letras(2500, 7);
    tmux.Pegar(largo);
    // At its end: the screen shows its last rows, to the screen's top.
    ASSERT_TRUE(Hasta([&] {
        const auto filas = Lineas(tmux.Filas());
        for (std::size_t f = 0; f < 24; ++f)
            if (f >= filas.size() || SinBlancoFinal(filas[f]) != largo.substr(2500 - 2500 % 80 - (23 - f) * 80, 80)) return false;
        return true;
    })) << tmux.Filas();
    EXPECT_EQ(tmux.Cursor(), std::make_pair(2500 % 80, 23));
    for (const char* tecla : {"Home", "A", "C-k", "h", "o", "l", "a"}) tmux.Tecla(tecla);
    // The line fits again: drawn from the first row the editor holds, which
    // after the paste is the screen's first; nothing else below it.
    ASSERT_TRUE(Hasta([&] { return Lineas(tmux.Filas()).at(0) == "Ahola"; })) << tmux.Filas();
    for (const std::string& fila : Lineas(tmux.Filas())) EXPECT_TRUE(fila == "Ahola" || fila.empty()) << fila;
    EXPECT_EQ(tmux.Cursor(), std::make_pair(5, 0));
    tmux.Tecla("Enter");
    tmux.Esperar("clave: ");
    // The key as long, and Enter at its start: the history holds it whole, once.
    tmux.Pegar(largo);
    tmux.Tecla("Home");
    tmux.Tecla("Enter");
    tmux.Esperar("s/n: ");
    const std::string historia = tmux.Historia();
    EXPECT_EQ(Veces(historia, largo), 1u);
    EXPECT_NE(historia.find("Cadena cifrada: \n" + MostradoDatos(Modelo(largo, "Ahola", false)) + "\n"), std::string::npos)
        << historia;
}

TEST_P(EnTmux, UnaLineaPartidaQuedaUnaVezAlCambiarElAncho) {
    // The answer to the menu, wrapped over rows, the cursor three characters
    // from its end, through 80, 40, 37, 80 and 50 columns.
    Tmux tmux(GetParam(), 80, 24);
    tmux.Esperar("(S)alir?: ");
    const std::string prompt = "(C)ifrar/(D)escifrar/(S)alir?: ", respuesta = "cifrar" + std::string(150, 'x');
    tmux.Teclas(respuesta);
    for (int vez = 0; vez < 3; ++vez) tmux.Tecla("Left");
    const std::size_t cursor = prompt.size() + respuesta.size() - 3;
    for (const int columnas : {80, 40, 37, 80, 50}) {
        SCOPED_TRACE(columnas);
        tmux.CambiarTamano(columnas, 24);
        const bool una_vez = Hasta([&] {
            const std::string pantalla = tmux.Pantalla();
            std::size_t enteras = 0;
            for (const std::string& linea : Lineas(pantalla)) enteras += SinBlancoFinal(linea) == prompt + respuesta;
            return Veces(pantalla, "(C)ifrar") == 1 && enteras == 1 &&
                   tmux.Cursor().first == static_cast<int>(cursor % static_cast<std::size_t>(columnas));
        });
        EXPECT_TRUE(una_vez) << tmux.Pantalla() << "|" << tmux.Cursor().first;
    }
    tmux.Teclas("Y");
    tmux.Tecla("Enter");
    tmux.Esperar("interpretar: ");
    EXPECT_NE(tmux.Pantalla().find(prompt + "cifrar" + std::string(147, 'x') + "Yxxx"), std::string::npos);
}

TEST_P(EnTmux, UnaLineaMasAltaQueLaVentanaQuedaUnaVezAlEstrecharlaYEnsancharla) {
    // A pasted line, at its start (tmux then pushes the cursor's character
    // above a smaller window and puts the cursor in its top left corner) or
    // at its end (tmux leaves it waiting past a full last row), through
    // smaller windows and back to 80 x 24: the dialogue's rows above it, the
    // line once, the cursor on its byte.
    struct Caso {
        std::size_t largo;
        const char* tecla;
        std::vector<std::pair<int, int>> medidas;
    };
    for (const Caso& caso : {Caso{800, "Home", {{60, 12}, {80, 24}}}, Caso{1500, "End", {{40, 8}, {20, 4}, {60, 20}, {80, 24}}}}) {
        SCOPED_TRACE(caso.largo);
        Tmux tmux(GetParam(), 80, 24);
        AlPedirLaLinea(tmux, "c");
        const std::string largo = Letras(caso.largo, 11);
        tmux.Pegar(largo);
        ASSERT_TRUE(Hasta([&] { return tmux.Pantalla().find(largo) != std::string::npos; })) << tmux.Pantalla();
        tmux.Tecla(caso.tecla);
        const std::size_t cursor = std::string(caso.tecla) == "Home" ? 0 : caso.largo;
        ASSERT_TRUE(Hasta([&] { return tmux.Cursor() == std::make_pair(static_cast<int>(cursor % 80), static_cast<int>(2 + cursor / 80)); }));
        for (const auto& [columnas, filas] : caso.medidas) {
            tmux.CambiarTamano(columnas, filas);
            // The editor has drawn the line again around the cursor.
            ASSERT_TRUE(Hasta([&] {
                return tmux.Cursor().first == static_cast<int>(cursor % static_cast<std::size_t>(columnas)) &&
                       Lineas(tmux.Filas()).at(static_cast<std::size_t>(tmux.Cursor().second)).substr(0, 1) ==
                           largo.substr(cursor / static_cast<std::size_t>(columnas) * static_cast<std::size_t>(columnas), 1);
            })) << columnas << "x" << filas << tmux.Filas();
        }
        const auto lineas = Lineas(tmux.Historia());
        ASSERT_GE(lineas.size(), 3u);
        EXPECT_EQ(SinBlancoFinal(lineas[0]), "(C)ifrar/(D)escifrar/(S)alir?: c");
        EXPECT_EQ(SinBlancoFinal(lineas[1]), "Escriba la linea a interpretar:");
        EXPECT_EQ(SinBlancoFinal(lineas[2]), largo);
        for (std::size_t n = 3; n < lineas.size(); ++n) EXPECT_EQ(SinBlancoFinal(lineas[n]), "") << n;
        const auto [x, y] = tmux.Cursor();
        EXPECT_EQ(x, static_cast<int>(cursor % 80));
        EXPECT_EQ(SinBlancoFinal(Lineas(tmux.Filas()).at(static_cast<std::size_t>(y))), largo.substr(cursor / 80 * 80, 80));
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, EnTmux, testing::Values("C.UTF-8", ""),
                         [](const testing::TestParamInfo<std::string>& p) {
                             return p.param.empty() ? std::string("SinLocale") : std::string("C_UTF8");
                         });

}  // namespace
