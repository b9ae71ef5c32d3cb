// TecladoConsola: the line editor's keys on a Windows console, read as key
// events (ReadConsoleInputW): the virtual key and its modifiers give the
// editing keys, the character (UTF-16) the rest, through the same bindings as
// on a POSIX terminal. While a line is edited the console's line mode and
// echo are off; they are turned back on after it, and when Ctrl-C or closing
// the console ends the program, which Ctrl-C does with STATUS_CONTROL_C_EXIT.
#ifndef UTECLADO_H
#define UTECLADO_H

#include <windows.h>

#include "Ueditor.h"
#include "Uentrada.h"

class TecladoConsola final : public FuenteTeclas {
public:
    // Reads the console input `entrada`, which it does not close.
    explicit TecladoConsola(HANDLE entrada);
    ~TecladoConsola();
    TecladoConsola(const TecladoConsola&) = delete;
    TecladoConsola& operator=(const TecladoConsola&) = delete;

    void Abrir() override;
    void Cerrar() override;
    // A key, repeated as the key event says; false when the console's input
    // cannot be read.
    bool Leer(Tecla& tecla) override;
    bool Pendiente() override;

private:
    // The key an event stands for; false for an event that is no key (a key
    // let go, a modifier alone, a surrogate awaiting its pair).
    bool Traducir(const KEY_EVENT_RECORD& evento, Tecla& tecla);

    HANDLE entrada;
    DWORD modo_original = 0;
    bool abierta = false;
    DecodificadorUtf16 decodificador;
    char32_t cola[1] = {};  // the second character of a unit that finished two
    std::size_t en_cola = 0, siguiente = 0;
    Tecla repetida;
    WORD repeticiones = 0;
};

#endif
