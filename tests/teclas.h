// The keys the terminal families declare in the terminfo database
// (datos/teclas-terminfo.txt, made by herramientas/teclas_terminfo.py), the key
// each capability names, and what the editor must do for a key, written here
// as the rules users are told rather than taken from the program's table.
#ifndef TECLAS_H
#define TECLAS_H

#include <string>
#include <utility>
#include <vector>

#include "Ueditor.h"
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

// Sucesos from a list, as a key source: each in turn, then Enter, then none.
class FuenteGuion : public FuenteTeclas {
public:
    explicit FuenteGuion(std::vector<Suceso> sucesos = {}) : sucesos(std::move(sucesos)) {}
    void Abrir() override {}
    void Cerrar() override {}
    bool Leer(Suceso& suceso, bool literal) override;
    bool HayMas() override { return siguiente <= sucesos.size(); }

protected:
    // The next suceso, when there is one; a source of bytes decodes them here.
    virtual bool Siguiente(Suceso& suceso, bool literal);

private:
    std::vector<Suceso> sucesos;
    std::size_t siguiente = 0;
};

// The line the editor reads from `fuente` into an empty line, as the program
// reads it: its bytes.
std::string LineaTras(FuenteGuion&& fuente);
std::string LineaTras(const std::vector<Tecla>& teclas);

// "Ctrl+Alt-Izquierda" and the like, for the messages of failed checks.
std::string Describir(const Tecla& tecla);

#endif
