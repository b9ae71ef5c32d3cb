// The one key model of the line editor, free of platform code: whatever a
// platform reads (a terminal's bytes, a console's key events) becomes a Tecla,
// a typed character or a named key with its modifiers, and one table
// (AccionDeTecla) binds each Tecla to what the editor does. Both platforms
// build their keys with the same functions here, so a key means the same on
// every terminal and console.
#ifndef UTECLA_H
#define UTECLA_H

#include <cstddef>
#include <cstdint>

// Modifiers, as bits of Tecla::modificadores.
constexpr unsigned char kMayus = 1, kAlt = 2, kCtrl = 4;

struct Tecla {
    enum class Nombre : unsigned char {
        Simbolo,  // `simbolo`, a character of its own (not a control one)
        Izquierda, Derecha, Arriba, Abajo,
        Inicio, Fin, Insertar, Suprimir, RePag, AvPag,
        Retroceso, Tabulador, Intro, Escape,
        Funcion,   // F1 to F24: `simbolo` holds the number
    };
    Nombre nombre = Nombre::Simbolo;
    char32_t simbolo = 0;
    unsigned char modificadores = 0;

    bool operator==(const Tecla&) const = default;
};

// What the editor does for a key.
enum class Accion : unsigned char {
    Nada,              // inserts and moves nothing
    Escribir,          // types the key's character (SimboloDeTecla)
    Literal,           // the next key is typed as its own byte
    Izquierda,
    Derecha,
    PalabraAnterior,
    PalabraSiguiente,
    Inicio,
    Fin,
    Retroceso,
    Suprimir,
    BorrarHastaFin,
    BorrarHastaInicio,
    BorrarPalabra,     // back to the previous blank, as a POSIX shell does
    Redibujar,         // the line drawn again in place
    Intro,
    FinDeEntrada,      // the end of the input on an empty line; else Suprimir
};

// What a key source reads: a key, or something that happened to the terminal.
struct Suceso {
    enum class Tipo : unsigned char {
        Tecla,     // `tecla`
        Nada,      // a control string, a report or a reply: no key at all
        Posicion,  // the terminal's report of where the cursor is, when asked
        Tamano,    // the screen changed size
        Reanudar,  // the program goes on after a stop
        Senal,     // a signal is due (POSIX): see FuenteTeclas::Cerrar
        Pegado,    // a character of a paste the terminal marked: `tecla.simbolo`
    };
    Tipo tipo = Tipo::Nada;
    Tecla tecla;
    // Posicion, and Tamano when the terminal told it: the cursor's row and
    // column on the screen, from 1; 0 when not known.
    std::size_t fila = 0, columna = 0;
};

// A key that sends no character of its own (SimboloDeTecla).
constexpr char32_t kSinSimbolo = 0xFFFFFFFF;

// Two rules about one key after another, the same for every platform's keys.
// Escape and then a key is that key with Alt, however long after it comes, as
// readline and Emacs take it: a lone Escape does nothing until the next key,
// and anything else that comes first (a control string, a paste) cancels it.
// An LF right after a CR is the same line end, as a CR LF pasted where the
// terminal does not mark pastes, or into a console, is one line end.
class TeclasSeguidas {
public:
    // Takes what a key source read; false when it is held (the Escape before
    // a key) or dropped (the LF of a CR LF). A key after Ctrl-V (`literal`)
    // is taken as it is.
    bool Tomar(Suceso& suceso, bool literal);

private:
    bool escape = false;    // an Escape is held for the next key
    bool tras_cr = false;   // the last key was Enter, a CR
};

// Whether `simbolo` is a control character (U+0000 to U+001F, U+007F).
inline bool EsControl(char32_t simbolo) { return simbolo < 0x20 || simbolo == 0x7F; }

// The key a character read from a terminal or console stands for, the same on
// every platform: Backspace for DEL, Tab, Enter for CR, Escape, Ctrl with a
// letter (or @ [ \ ] ^ _ and the space for NUL) for the other control
// characters, and the character itself otherwise.
Tecla TeclaDeSimbolo(char32_t simbolo);
// `tecla` with `modificadores` too. A character key with Ctrl or Alt holds a
// capital ASCII letter as the small one with Shift, as terminals cannot tell
// Alt-B from Alt-Shift-B and consoles tell them by Shift.
Tecla ConModificadores(Tecla tecla, unsigned modificadores);
// The character a key sends, the inverse of TeclaDeSimbolo: its own
// character, the control character of Ctrl and a letter, 127 for Backspace
// (with Ctrl too), 9 for Tab, 13 for Enter, 27 for Escape; kSinSimbolo for a
// key with Alt, Shift-Tab and the keys that send a sequence (arrows ...).
char32_t SimboloDeTecla(const Tecla& tecla);
// The binding table: what the editor does for `tecla`. Shift changes nothing
// but on Tab; Ctrl or Alt with an arrow moves a word; Alt with B or F moves a
// word; Alt with any other key, the keys with no editing meaning and any
// combination not bound are Nada.
Accion AccionDeTecla(const Tecla& tecla);

#endif
