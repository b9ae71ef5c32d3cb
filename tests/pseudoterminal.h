// Runs the built program in a pseudo-terminal of its own, as a user at a
// terminal meets it: keys and pastes go in at the terminal's side, and what
// the terminal is sent comes back, byte for byte. Every wait is bounded.
#ifndef PSEUDOTERMINAL_H
#define PSEUDOTERMINAL_H

#include <sys/types.h>

#include <string>
#include <vector>

class Pseudoterminal {
public:
    // Starts the program with exactly `entorno` as its environment on a
    // terminal of `columnas` columns; through `sh -c envoltorio` (the program
    // as $0) when one is given.
    explicit Pseudoterminal(const std::vector<std::string>& entorno, unsigned short columnas = 80,
                            const std::string& envoltorio = "");
    // Kills the program when it is still running.
    ~Pseudoterminal();
    Pseudoterminal(const Pseudoterminal&) = delete;
    Pseudoterminal& operator=(const Pseudoterminal&) = delete;

    // Types `bytes`, reading what the program shows meanwhile so that neither
    // side can block the other.
    void Escribir(const std::string& bytes);
    // Waits until `texto` is shown after the last thing waited for, and moves
    // past it; throws when it has not come within `segundos`.
    void Esperar(const std::string& texto, int segundos = 20);
    // Waits until the program reads through the line editor, with the
    // terminal's own line mode off: keys typed before that would meet the
    // kernel's line discipline (Ctrl-D there is lost to the editor).
    void EsperarEditor(int segundos = 20);
    // Waits for the next line shown (up to CR LF, which it moves past).
    std::string Linea(int segundos = 20);
    // Waits for the program to end: its exit status, 128 plus the signal's
    // number when a signal ended it, -1 when it was still running after
    // `segundos` (it is then killed).
    int Terminar(int segundos = 20);
    // Sends `senal` to the program alone (not to a shell around it).
    void Senal(int senal);
    // The program's process (not a shell's around it).
    pid_t Programa() const;
    // The terminal becomes `columnas` wide; the program is told so.
    void CambiarTamano(unsigned short columnas);
    // The terminal goes away, as when its window is closed: the program's
    // side is hung up.
    void Cerrar();
    // Everything the program has shown so far.
    const std::string& Pantalla() const { return pantalla; }

private:
    // Reads what is there within `milisegundos`; false at the end of output.
    bool Leer(int milisegundos);

    bool envuelto;
    int maestro = -1;
    pid_t hijo = -1;
    std::string pantalla;
    std::size_t posicion = 0;
};

#endif
