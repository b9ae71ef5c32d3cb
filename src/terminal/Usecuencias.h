// DecodificadorTeclas: what a terminal sends, byte by byte, as keys (Utecla.h),
// with the state machine terminal emulators use for DEC and ECMA-48 input.
// Text is UTF-8. ESC starts an escape sequence: CSI (ESC [) and SS3 (ESC O)
// with parameters, a private marker and intermediates; the control strings
// OSC (ESC ]), DCS (ESC P), SOS (ESC X), PM (ESC ^) and APC (ESC _), ended by
// ST (ESC \) or BEL; or, before anything else, the Escape key, which
// TeclasSeguidas (Utecla.h) makes Alt for the key after it.
//
// The cursor and editing keys decode in the forms of every common terminal
// family: xterm's, with its modifier parameter (;2 to ;8, ;9 to ;16 with
// Meta as Alt) and its keypad-transmit forms (ESC O D); rxvt's (ESC [ a to d,
// ESC O a to d, and the finals $ ^ @ for Shift, Ctrl and both); the Linux
// console's (ESC [ [ A to E, and ESC Tab for Shift-Tab); and ESC before a
// sequence for Alt (ESC ESC [ D is Escape and Left: Alt-Left). Any other
// complete sequence, a control string, a mouse report (X10's ESC [ M and
// three bytes, SGR's and the others), a focus event or a reply is
// Suceso::Nada: it types nothing.
//
// What comes out depends on the bytes alone, never on when they come: a key
// whose bytes a slow link splits is still that key. A sequence is broken off
// only by a byte that cannot belong to it, which then counts on its own; a
// control string also by any control character but BEL and ESC, and after
// kLargoMaximoCadena bytes, so that a stray ESC ] cannot swallow a line.
//
// A paste the terminal marks (ESC [ 200 ~ to ESC [ 201 ~, once the program
// asked for it with ESC [ ? 2004 h) comes as Suceso::Pegado, one character at
// a time, control characters and escape sequences included: nothing in it is
// a key.
#ifndef USECUENCIAS_H
#define USECUENCIAS_H

#include <cstddef>

#include "Utecla.h"
#include "Uutf.h"

class DecodificadorTeclas {
public:
    // The most sucesos one call gives.
    static constexpr std::size_t kMaximo = 8;
    // The longest content of a control string; the rest is typed.
    static constexpr std::size_t kLargoMaximoCadena = 512;

    // Takes the next byte; writes the sucesos it completes to `sucesos` and
    // answers how many.
    std::size_t Entrar(unsigned char byte, Suceso* sucesos);
    // The next key is to be typed as its byte (after Ctrl-V): an ESC is the
    // Escape key at once, whatever follows it.
    void Literal() { literal = true; }
    // The program has asked the terminal where the cursor is: the next
    // ESC [ row ; column R, whenever it comes, is its answer
    // (Suceso::Posicion), not xterm's F3 with modifiers, which is written the
    // same.
    void EsperarPosicion() { esperando_posicion = true; }
    // Whether a paste is being read.
    bool Pegando() const { return estado == Estado::Pegado; }
    // Forgets the parameters and the character decoded so far.
    ~DecodificadorTeclas();

private:
    enum class Estado : unsigned char { Texto, Escape, Csi, Ss3, Cadena, CadenaEscape, Raton, ConsolaLinux, Pegado };
    static constexpr std::size_t kParametros = 4;

    std::size_t EnTexto(unsigned char byte, Suceso* sucesos);
    std::size_t EnEscape(unsigned char byte, Suceso* sucesos);
    std::size_t EnParametros(unsigned char byte, Suceso* sucesos);
    std::size_t EnCadena(unsigned char byte, Suceso* sucesos);
    std::size_t EnPegado(unsigned char byte, Suceso* sucesos);
    // A byte of a paste, as the characters it completes.
    std::size_t Pegar(unsigned char byte, Suceso* sucesos);
    // Ends the sequence in `tecla`.
    std::size_t Dar(const Tecla& tecla, Suceso* sucesos);
    std::size_t DarNada(Suceso* sucesos);
    // Ends an open sequence: `byte` belongs to none and counts on its own.
    std::size_t Romper(unsigned char byte, Suceso* sucesos);
    void Empezar(Estado nuevo);
    unsigned Modificadores(std::size_t indice) const;
    std::size_t FinalCsi(unsigned char final, Suceso* sucesos);
    std::size_t FinalSs3(unsigned char final, Suceso* sucesos);

    Estado estado = Estado::Texto;
    bool literal = false;
    DecodificadorUtf8 utf8;
    unsigned parametros[kParametros] = {};
    std::size_t n_parametros = 0;  // how many began, stored or not
    unsigned char privado = 0, intermedio = 0;
    bool invalida = false;  // a byte out of place: no key of any terminal
    bool esperando_posicion = false;
    std::size_t largo = 0;  // of the control string, or the mouse report's bytes
    std::size_t fin_pegado = 0;  // bytes of a paste's end seen, held back until it is whole
};

#endif
