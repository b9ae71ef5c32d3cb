// The stream buffers between the program's bytes and a Windows console, used
// by the Windows terminal layer (Uterminalwin.cpp). The console is spoken to in
// UTF-16 through the byte table (Utabla850.h), so what it shows and what a key
// stands for do not depend on its code page. Typed lines are edited by the
// program itself: the console's own line mode keeps every line it edited for
// recall with the Up arrow or F7, keys included, and no documented way of
// turning that off works everywhere.
#ifndef UCONSOLAWIN_H
#define UCONSOLAWIN_H

#include <windows.h>

#include <cstddef>
#include <memory>
#include <streambuf>
#include <vector>

#include "Uborrado.h"
#include "Ulineadatos.h"
#include "Utabla850.h"

// Output to a console: each byte is shown as its character of the table, and
// a line marked as the user's data shows the spaces that end it as ␠
// (MostradorLineas). Nothing else is held back, so a flush has nothing left
// to do.
class SalidaConsola : public std::streambuf, public LineasDeDatos {
public:
    explicit SalidaConsola(HANDLE consola) : consola(consola) {}
    // Shows the spaces still held back, as the end of their line.
    ~SalidaConsola() override;

    void LineaDeDatos() override { mostrador.LineaDeDatos(); }
    // Writes `bytes` to the console as the table's characters, with no regard
    // to data lines (the line editor's echo). False when the console could
    // not be written.
    bool Mostrar(const char* bytes, std::size_t n);
    // Shows AvisoDesconocidos(desconocidos) as a line of its own; called after
    // a line typed, with the cursor at the start of a line.
    void Avisar(unsigned desconocidos);
    HANDLE Consola() const { return consola; }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;

private:
    HANDLE consola;
    MostradorLineas mostrador;
};

// Allocates as std::allocator does, and wipes every array before freeing it.
template <class T>
struct AsignadorBorrado {
    using value_type = T;
    AsignadorBorrado() = default;
    template <class U>
    AsignadorBorrado(const AsignadorBorrado<U>&) {}
    T* allocate(std::size_t n) { return std::allocator<T>().allocate(n); }
    void deallocate(T* p, std::size_t n) {
        Borrar(p, n * sizeof(T));
        std::allocator<T>().deallocate(p, n);
    }
    friend bool operator==(const AsignadorBorrado&, const AsignadorBorrado&) { return true; }
};

// Input from a console: the lines typed there, read a key at a time and edited
// by the program: echo, Backspace, Delete, Left, Right, Home and End, a
// character at a time; Tab is content. A combining mark typed after a letter
// composes with it into the code page 850 letter, where there is one (as at a
// UTF-8 terminal). Nothing typed is kept for recall, and the line has no
// length limit. Enter ends a line, followed by the notice of how many of its
// characters were read as "?" when there were any; Ctrl-Z at its start, then
// Enter, ends the input. While it exists the console's line mode and echo are
// off; they are turned back on when it goes, and when Ctrl-C or closing the
// console ends the program.
class LineasConsola : public std::streambuf {
public:
    // Reads key events from the console input `entrada` and echoes through
    // `eco` (the same console's output).
    LineasConsola(HANDLE entrada, SalidaConsola& eco);
    // Restores the console's input mode; wipes the last line.
    ~LineasConsola() override;
    LineasConsola(const LineasConsola&) = delete;
    LineasConsola& operator=(const LineasConsola&) = delete;

protected:
    // Gives each line once it is entered, then its newline.
    int_type underflow() override;

private:
    enum class Fin { Linea, Entrada };
    Fin Editar();
    // False when the line is entered.
    bool Tecla(const KEY_EVENT_RECORD& tecla);
    // A UTF-16 unit typed: surrogate pairs are joined into one character.
    void Unidad(wchar_t unidad);
    // A character typed: the one place where a typed character becomes a
    // byte of the line.
    void Teclear(char32_t caracter);
    // Inserts `byte` at the cursor; `desconocido` when it is a "?" that
    // stands for a character the table lacks.
    void Insertar(unsigned char byte, bool desconocido);
    void Retroceder();
    void Suprimir();
    // Puts the cursor at `posicion` in the line, on the screen too.
    void Llevar(std::size_t posicion);
    // With the screen's cursor at `desde`, shows the line from there on, and
    // a blank over its old last character when it became `acortada` by one,
    // then puts the screen's cursor back at the line's cursor.
    void Redibujar(std::size_t desde, bool acortada);
    // Screen positions are counted along the screen buffer's rows, from the
    // line's first character, so a line that wraps is walked as one.
    // Situar takes the line's start from the cursor before anything is typed;
    // Reajustar, with the screen's cursor just past the line's first `fin`
    // characters, follows the rows the buffer has scrolled up; Ir puts the
    // screen's cursor at a character of the line.
    void Situar();
    void Reajustar(std::size_t fin);
    void Ir(std::size_t posicion);
    void Soltar();

    HANDLE entrada;
    SalidaConsola& eco;
    DWORD modo_original = 0;
    std::vector<char, AsignadorBorrado<char>> linea;
    // Beside each byte of the line: whether it is a "?" read for a character
    // the table lacks, so that the notice counts what the line holds when
    // entered, after any editing.
    std::vector<char, AsignadorBorrado<char>> desconocidos;
    std::size_t cursor = 0;
    std::ptrdiff_t ancho = 0, origen = 0;  // the screen buffer's width; the line's start on it
    bool entregada = false;    // the line in the get area has been given out
    bool ctrl_z = false;       // the line starts with Ctrl-Z typed as a key
    wchar_t alto = 0;          // high surrogate awaiting its low one
};

#endif
