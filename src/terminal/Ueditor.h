// The line editor every terminal and console of the program shares, free of
// platform code: Editor::Leer reads one line, the one way from the keys to
// the screen. Each platform turns what it reads into keys of the one key
// model (Utecla.h, whose table binds them) and gives the editor a source of
// them and a screen (Uplataforma.h). A key goes through the rules about one
// key after another (TeclasSeguidas), changes the line (Linea, Ulinea.h),
// and the view (Vista, Uvista.h) draws what changed once no more keys are
// waiting. Nothing configures it, nothing typed is kept for recall, and every
// byte deleted is wiped.
#ifndef UEDITOR_H
#define UEDITOR_H

#include "Ucadenaext.h"
#include "Ulinea.h"
#include "Uplataforma.h"
#include "Utecla.h"
#include "Uvista.h"

class Editor {
public:
    Editor(FuenteTeclas& fuente, Pantalla& pantalla) : fuente(fuente), vista(pantalla, linea.Bytes()) {}

    // Edits one line after `prompt` (shown first), the source's keys taken
    // one by one, until Enter or the end of the input; the screen is brought
    // up to date whenever no more keys are waiting. Empezar, Tomar for each
    // key or event, Acabar: its steps, which a test may also take one by one.
    Lectura Leer(const CadenaExt& prompt);

    // Starts an empty line after `prompt`, and shows the prompt.
    void Empezar(const CadenaExt& prompt);
    // Acts on a key or event: a key or a pasted character on the line, and
    // what it changed on the view; a change of size, going on after a stop,
    // or a signal on the view (and, for a signal, on the source).
    Lectura Tomar(const Suceso& suceso);
    // Brings the screen up to date.
    void Refrescar() { vista.Refrescar(); }
    // The line as it ended: shown whole, or, when the input ended, emptied
    // and blanked.
    void Acabar(Lectura lectura);
    // The line read, until the next Leer; the caller may empty it.
    LineaTecleada& Leida() { return linea.Bytes(); }

private:
    Lectura Cambio(const Linea::Efecto& efecto);

    FuenteTeclas& fuente;
    Linea linea;
    Vista vista;
    // Held from one key to the next, across lines too: an Escape, or a CR
    // whose LF may follow.
    TeclasSeguidas seguidas;
};

#endif
