// DecodificadorTeclas: what a terminal sends, byte by byte, as keys (Utecla.h),
// with the state machine terminal emulators use for DEC and ECMA-48 input.
// Text is UTF-8. ESC starts an escape sequence: CSI (ESC [) and SS3 (ESC O)
// with parameters, a private marker and intermediates; the control strings
// OSC (ESC ]), DCS (ESC P), SOS (ESC X), PM (ESC ^) and APC (ESC _), ended by
// ST (ESC \) or BEL; or, before any other key, Alt with that key.
//
// The cursor and editing keys decode in the forms of every common terminal
// family: xterm's, with its modifier parameter (;2 to ;8, ;9 to ;16 with
// Meta as Alt) and its keypad-transmit forms (ESC O D); rxvt's (ESC [ a to d,
// ESC O a to d, and the finals $ ^ @ for Shift, Ctrl and both); the Linux
// console's (ESC [ [ A to E, and ESC Tab for Shift-Tab); and ESC before a
// sequence for Alt (ESC ESC [ D is Alt-Left). Any other complete sequence, a
// control string, a mouse report (X10's ESC [ M and three bytes, SGR's and
// the others), a focus event or a reply is Suceso::Nada: it types nothing.
//
// A sequence is broken off by a byte that cannot belong to it, which then
// counts on its own, or by Interrumpir (nothing more came within the wait);
// a control string also by any control character but BEL and ESC, and after
// kLargoMaximoCadena bytes, so that a stray ESC ] cannot swallow a line.
#ifndef USECUENCIAS_H
#define USECUENCIAS_H

#include <cstddef>

#include "Uentrada.h"
#include "Utecla.h"

class DecodificadorTeclas {
public:
    // The most sucesos one call gives.
    static constexpr std::size_t kMaximo = 2;
    // The longest content of a control string; the rest is typed.
    static constexpr std::size_t kLargoMaximoCadena = 512;

    // Takes the next byte; writes the sucesos it completes to `sucesos` and
    // answers how many.
    std::size_t Entrar(unsigned char byte, Suceso* sucesos);
    // Nothing more came within the wait (or the input ended): ends what is
    // open. A lone ESC is the Escape key, a character cut short U+FFFD, and a
    // sequence or string broken off nothing.
    std::size_t Interrumpir(Suceso* sucesos);
    // Whether a sequence, a string or a character is open, so that the caller
    // waits only so long for its next byte.
    bool Abierto() const;
    // The program has just asked the terminal where the cursor is: the next
    // ESC [ row ; column R is its answer (Suceso::Posicion), not xterm's F3
    // with modifiers, which is written the same.
    // False: no answer came; the next one is F3 again.
    void EsperarPosicion(bool esperar) { esperando_posicion = esperar; }
    // Forgets the parameters and the character decoded so far.
    ~DecodificadorTeclas();

private:
    enum class Estado : unsigned char { Texto, Escape, Csi, Ss3, Cadena, CadenaEscape, Raton, ConsolaLinux };
    static constexpr std::size_t kParametros = 4;

    std::size_t EnTexto(unsigned char byte, Suceso* sucesos);
    std::size_t EnEscape(unsigned char byte, Suceso* sucesos);
    std::size_t EnParametros(unsigned char byte, Suceso* sucesos);
    std::size_t EnCadena(unsigned char byte, Suceso* sucesos);
    // Ends the sequence in `tecla` (with Alt, after ESC ESC).
    std::size_t Dar(const Tecla& tecla, Suceso* sucesos);
    std::size_t DarNada(Suceso* sucesos);
    // Ends an open sequence: `byte` belongs to none and counts on its own.
    std::size_t Romper(unsigned char byte, Suceso* sucesos);
    void Empezar(Estado nuevo);
    unsigned Modificadores(std::size_t indice) const;
    std::size_t FinalCsi(unsigned char final, Suceso* sucesos);
    std::size_t FinalSs3(unsigned char final, Suceso* sucesos);

    Estado estado = Estado::Texto;
    bool alt = false;  // ESC before the key being read
    DecodificadorUtf8 utf8;
    unsigned parametros[kParametros] = {};
    std::size_t n_parametros = 0;  // how many began, stored or not
    unsigned char privado = 0, intermedio = 0;
    bool invalida = false;  // a byte out of place: no key of any terminal
    bool esperando_posicion = false;
    std::size_t largo = 0;  // of the control string, or the mouse report's bytes
};

#endif
