// TecladoTerminal: the line editor's keys on a POSIX terminal that speaks
// UTF-8. While a line is edited the terminal is in raw mode (no line mode,
// no echo; Ctrl-C, Ctrl-\ and Ctrl-Z still signals) and asked to mark
// pastes, and the bytes typed go through the terminal input's state machine
// (Usecuencias.h) into keys, however far apart they come. Signals that end or stop the program, a change of the
// window's size and going on after a stop reach the editor as events, so
// that the terminal is always given back as it was. One at a time per
// process.
#ifndef UTECLADO_H
#define UTECLADO_H

#include <signal.h>
#include <termios.h>

#include <cstddef>
#include <iterator>
#include <vector>

#include "Uborrado.h"
#include "Uplataforma.h"
#include "Usecuencias.h"

class TecladoTerminal final : public FuenteTeclas {
public:
    // Reads the terminal open as `descriptor`; asks it questions through
    // `salida`, the same terminal's output.
    TecladoTerminal(int descriptor, int salida);
    // Gives the terminal back if a line is still open; wipes what was read
    // and not taken.
    ~TecladoTerminal();
    TecladoTerminal(const TecladoTerminal&) = delete;
    TecladoTerminal& operator=(const TecladoTerminal&) = delete;

    // Raw mode and marked pastes on, and SIGINT, SIGQUIT, SIGTERM, SIGHUP and SIGTSTP (unless
    // ignored), SIGWINCH and SIGCONT caught.
    void Abrir() override;
    // Marked pastes off, the terminal's mode and the signals' handlers as
    // they were; then a
    // signal that came as Tecla::Senal is delivered again, with them: the
    // program ends by it as if never caught, or stops until `fg`.
    void Cerrar() override;
    // A key; SIGWINCH is Tamano, with the cursor's place as the terminal
    // answers it (within kEsperaPosicion), SIGCONT (raw mode set again)
    // Reanudar, the others Senal. False when the terminal is gone.
    bool Leer(Suceso& suceso, bool literal) override;
    bool HayMas() override;
    // The errno of the read that found the terminal gone (EIO for one that
    // hung up), 0 while none has.
    int ErrorDeLectura() const { return error_lectura; }
    // Whether the terminal takes raw mode at all: set, then put back at once.
    bool AdmiteModoCrudo();

private:
    static constexpr int kNinguno = -1, kFin = -2, kSenal = -3;
    static constexpr int kSenales[] = {SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGTSTP, SIGWINCH, SIGCONT};

    // The next byte typed, waiting at most `milisegundos` (-1: for ever):
    // kNinguno when none came, kFin when the terminal is gone, kSenal when a
    // signal came first (it is then pending).
    int Siguiente(int milisegundos);
    // Decodes the next byte into the queue, waiting for it at most
    // `milisegundos` (-1: for ever); false when the terminal is gone.
    bool Llenar(int milisegundos);
    Suceso DeSenal();
    // Asks the terminal where the cursor is; 0 and 0 without an answer.
    void PreguntarPosicion(std::size_t& fila, std::size_t& columna);
    // Notes `senal` to be delivered once closed, unless one is already.
    void Anotar(int senal);
    bool ModoCrudo();
    // Writes a question or a mode to the terminal; false when refused.
    bool Escribir(const char* ascii);

    int descriptor, salida;
    int tubo[2] = {-1, -1};  // the signal handlers' numbers
    termios original{};
    bool abierta = false;
    struct sigaction anteriores[std::size(kSenales)] = {};
    int senal_leida = 0;  // a signal read and not yet a key
    int entregar = 0;   // a signal to deliver again once closed
    int error_lectura = 0;
    unsigned char bytes[4096];
    std::size_t inicio = 0, fin = 0;
    DecodificadorTeclas decodificador;
    // Decoded and not yet taken: a few, or what came while an answer was awaited.
    std::vector<Suceso, AsignadorBorrado<Suceso>> cola;
    std::size_t siguiente = 0;
};

#endif
