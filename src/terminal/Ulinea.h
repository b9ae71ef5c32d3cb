// The line being edited, free of any screen: its bytes and cursor
// (LineaTecleada), and what a key does to them as the one table binds it
// (AccionDeTecla, Utecla.h). After each key it says from which byte on the
// line changed and whether reading it goes on; the view (Uvista.h) draws it.
// LineaTecleada is also the one way typed or pasted characters become the
// line's bytes, with or without the line editor: through the byte table
// (Utabla850.h), composing a combining mark with the letter before it and
// noting the characters read as "?" for the notice.
#ifndef ULINEA_H
#define ULINEA_H

#include <cstddef>
#include <optional>
#include <vector>

#include "Uborrado.h"
#include "Utecla.h"

// A line of bytes being typed, with a cursor from 0 to its length. Every
// array that held it is wiped, as is every byte taken out of it.
class LineaTecleada {
public:
    // How a byte came into the line: typed, a "?" that stands for a character
    // the table lacks, or the key Ctrl-Z (on Windows, at the start of a line,
    // the end of the input once Enter is pressed).
    enum class Origen : unsigned char { Tecla, Desconocido, CtrlZ };

    // Puts `simbolo` in at the cursor: a combining mark that composes with
    // the byte left of the cursor into a letter of the table replaces that
    // byte; any other character is inserted as its byte, "?" for one the
    // table lacks (counted, unless it is "?" itself) and byte 26 for U+001A,
    // the Ctrl-Z key. Answers the position of the first byte changed.
    std::size_t Teclear(char32_t simbolo);
    // Inserts `byte` at the cursor, which moves past it.
    void Insertar(unsigned char byte, Origen origen = Origen::Tecla);
    // Takes out the bytes from `desde` to `hasta` (desde <= hasta <= Largo());
    // a cursor past them moves back with the rest of the line.
    void Quitar(std::size_t desde, std::size_t hasta);
    // Empties the line, cursor at 0.
    void Vaciar() { Quitar(0, Largo()); }

    std::size_t Largo() const { return bytes.size(); }
    const unsigned char* Datos() const { return bytes.data(); }
    unsigned char operator[](std::size_t n) const { return bytes[n]; }
    std::size_t Cursor() const { return cursor; }
    // Puts the cursor at `posicion`, which is at most Largo().
    void Llevar(std::size_t posicion) { cursor = posicion; }
    // How many of its bytes are a "?" for a character the table lacks.
    std::size_t Desconocidos() const;
    // Whether its first byte is the key Ctrl-Z.
    bool EmpiezaConCtrlZ() const { return !origenes.empty() && origenes[0] == Origen::CtrlZ; }

private:
    std::vector<unsigned char, AsignadorBorrado<unsigned char>> bytes;
    std::vector<Origen, AsignadorBorrado<Origen>> origenes;  // one per byte
    std::size_t cursor = 0;
};

// How reading a line goes: on, ended by Enter, or the input ended (Ctrl-D
// on an empty line, Enter on one that starts with Ctrl-Z, the keys gone).
enum class Lectura : unsigned char { Sigue, Linea, FinDeEntrada };

class Linea {
public:
    // What a key did.
    struct Efecto {
        Lectura lectura = Lectura::Sigue;
        std::optional<std::size_t> cambio;  // the first byte that changed, if any did
        bool redibujar = false;              // Ctrl-L: drawn again in place
    };

    // An empty line, nothing pending.
    void Empezar();
    // Acts on a key, as AccionDeTecla binds it; after Ctrl-V, a key that
    // sends a character (SimboloDeTecla) types it, a control character as
    // its byte (a newline is refused). Ctrl-D deletes under the cursor, or on
    // an empty line ends the input.
    Efecto Aplicar(const Tecla& tecla);
    // Takes a character of a marked paste: text, a control character typed
    // as its byte, or CR and LF, which end the line as Enter does, except an
    // empty one: a paste never answers with an empty line (so a pasted CR LF,
    // or the CR CR a terminal makes of it, is one line end).
    Efecto Pegar(char32_t simbolo);
    // Whether the next key is to be typed as its byte (Ctrl-V was pressed).
    bool Literal() const { return literal; }

    LineaTecleada& Bytes() { return bytes; }
    const LineaTecleada& Bytes() const { return bytes; }

private:
    // Types `simbolo`, a control character as its byte.
    Efecto Escribir(char32_t simbolo);
    Efecto Quitar(std::size_t desde, std::size_t hasta);
    // Enter: the line, or the end of the input after a Ctrl-Z.
    Lectura Terminada() const;
    std::size_t InicioDePalabra() const;
    std::size_t FinDePalabra() const;

    LineaTecleada bytes;
    bool literal = false;
};

#endif
