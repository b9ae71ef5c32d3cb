// TecladoConsola: the line editor's keys on a Windows console, read as key
// events (ReadConsoleInputW) and turned into the one key model (Utecla.h): the
// virtual key gives the named keys, the character (UTF-16) the rest, each with
// the modifiers held. AltGr (Ctrl and Alt together) makes characters of its
// own, which are typed, as on a terminal; the character of a key pressed with
// Alt alone is not. While a line is edited the console's line mode and
// echo are off; they are turned back on after it, and when Ctrl-C or closing
// the console ends the program, which Ctrl-C does with STATUS_CONTROL_C_EXIT.
#ifndef UTECLADO_H
#define UTECLADO_H

#include <windows.h>

#include "Uplataforma.h"
#include "Utecla.h"
#include "Uutf.h"

class TecladoConsola final : public FuenteTeclas {
public:
    // How the events are read: ReadConsoleInputW, or a test's own.
    using LectorEventos = BOOL (*)(HANDLE, INPUT_RECORD*, DWORD, DWORD*);

    // Reads the console input `entrada`, which it does not close.
    explicit TecladoConsola(HANDLE entrada, LectorEventos leer = &ReadConsoleInputW);
    ~TecladoConsola();
    TecladoConsola(const TecladoConsola&) = delete;
    TecladoConsola& operator=(const TecladoConsola&) = delete;

    void Abrir() override;
    void Cerrar() override;
    // A key, repeated as the key event says, or Tamano when the buffer
    // changed size; false when the console's input cannot be read. The events
    // are read all at once, as many as there are. A console's keys come whole,
    // so a key after Ctrl-V needs nothing of its own here.
    bool Leer(Suceso& suceso, bool literal) override;
    // Whether the events read at once hold another key.
    bool HayMas() override;
    // Why the console's input could not be read, as the C runtime's errno
    // for the same system error would say it; 0 while it could.
    int ErrorDeLectura() const { return error_lectura; }

private:
    HANDLE entrada;
    LectorEventos leer;
    DWORD modo_original = 0;
    bool abierta = false;
    int error_lectura = 0;
    DecodificadorUtf16 decodificador;
    INPUT_RECORD lote[8192];  // events read at once, each wiped once taken
    DWORD en_lote = 0, leidos = 0;
    Tecla cola[2] = {};
    std::size_t en_cola = 0, siguiente = 0;
    Tecla repetida;
    WORD repeticiones = 0;
};

// The keys a console key event stands for, 0 to 2: none for an event that is
// no key (a key let go, a modifier alone, a surrogate awaiting its pair), two
// when a surrogate left alone is followed by a character.
std::size_t TeclasDeEvento(const KEY_EVENT_RECORD& evento, DecodificadorUtf16& decodificador, Tecla* teclas);

#endif
