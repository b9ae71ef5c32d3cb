// LineasDeDatos: how the dialogue tells the stream it writes to which lines
// are the user's data (a result, a plain text shown by the check) rather than
// the program's own texts, with no platform code on either side. An output
// stream buffer that shows data lines differently implements it; any other
// (a pipe, a file) does not, and so writes every line as it is.
#ifndef ULINEADATOS_H
#define ULINEADATOS_H

#include <ostream>

class LineasDeDatos {
public:
    // The line whose first byte is written next, up to its newline, is the
    // user's data.
    virtual void LineaDeDatos() = 0;

protected:
    ~LineasDeDatos() = default;
};

// Tells `salida`'s buffer, when it implements LineasDeDatos, that the line
// written next is the user's data; call it at the start of a line.
inline void MarcarLineaDeDatos(std::ostream& salida) {
    if (auto* lineas = dynamic_cast<LineasDeDatos*>(salida.rdbuf())) lineas->LineaDeDatos();
}

#endif
