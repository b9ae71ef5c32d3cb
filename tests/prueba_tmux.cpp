// The program in a tmux pane, the terminal a user meets: what tmux shows
// after line editing and wrapping, and the pane's title, which decrypted
// control bytes must leave alone.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "mostrado.h"
#include "vectores.h"

namespace {

// A tmux server of the test's own, with the program alone in its pane.
class Tmux {
public:
    Tmux(const std::string& lang, int columnas) {
        char plantilla[] = "/tmp/cifrador-tmux-XXXXXX";
        if (mkdtemp(plantilla) == nullptr) throw std::runtime_error("mkdtemp");
        directorio = plantilla;
        socket = directorio + "/s";
        std::vector<std::string> orden{"new-session", "-d", "-x", std::to_string(columnas), "-y", "30", "env", "-i",
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
    // The screen, wrapped lines joined, trailing blanks kept.
    std::string Pantalla() { return Ejecutar({"capture-pane", "-p", "-J"}); }
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
    tmux.Esperar("(S)alir?: ");
    tmux.Teclas("d");
    tmux.Tecla("Enter");
    tmux.Esperar("interpretar: ");
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
    tmux.Esperar("(S)alir?: ");
    tmux.Teclas("c");
    tmux.Tecla("Enter");
    tmux.Esperar("interpretar: ");
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

INSTANTIATE_TEST_SUITE_P(Locales, EnTmux, testing::Values("C.UTF-8", ""),
                         [](const testing::TestParamInfo<std::string>& p) {
                             return p.param.empty() ? std::string("SinLocale") : std::string("C_UTF8");
                         });

}  // namespace
