// The keys the terminal families declare in the terminfo database
// (datos/teclas-terminfo.txt, made by herramientas/teclas_terminfo.py), the key
// each capability names, and what the editor must do for a key, written here
// as the rules users are told rather than taken from the program's table.
#ifndef TECLAS_H
#define TECLAS_H

#include <string>
#include <vector>

#include "Utecla.h"

struct TeclaDeclarada {
    std::string familia, capacidad;
    std::string bytes;  // what the family sends for it
    Tecla tecla;        // the key the capability names (F keys: Funcion and the number)
};

std::vector<TeclaDeclarada> LeerTeclasTerminfo();

// The editor's action for `tecla`: Shift changes nothing but on Tab; Ctrl or
// Alt with an arrow, and Alt-B and Alt-F, move a word; Home, End and Delete
// do nothing with Ctrl or Alt; Ctrl-Backspace is Backspace; the keys with no
// editing meaning and Alt with any other key do nothing.
Accion AccionEsperada(const Tecla& tecla);

// Whether `a` is the key `b` names: the same key and modifiers, or any
// function key for one.
bool MismaTecla(const Tecla& a, const Tecla& b);

// The line the editor holds after `teclas`, typed into an empty line: its
// bytes.
std::string LineaTras(const std::vector<Tecla>& teclas);

// "Ctrl+Alt-Izquierda" and the like, for the messages of failed checks.
std::string Describir(const Tecla& tecla);

#endif
