// LineasEditadas: the lines typed at a terminal, read through libedit's line
// editor (its readline interface) instead of the terminal's own line mode.
// The user moves and edits inside the line with the arrow keys, Home, End,
// Backspace and Delete, a character at a time, and a line of any length
// arrives whole. Nothing typed is kept for recall or written to any file, and
// Tab is typed like any other character. The keys are read by a reader of the
// program's own: a combining mark typed after a letter it composes with into
// a code page 850 letter (Componer) reaches the editor as that letter, and
// when the window changes size the line is drawn again in place (Ctrl-] does
// the same). Standard input and output are the terminal; one editor at a time.
#ifndef UEDITOR_H
#define UEDITOR_H

#include <cstddef>
#include <streambuf>

#include "Uflujos.h"

class LineasEditadas : public std::streambuf {
public:
    // `salida` holds back the open line: it becomes the editor's prompt, so
    // the prompt is on the screen once and the editor can redraw it.
    explicit LineasEditadas(SalidaTerminal& salida);
    // Wipes and frees the last line read.
    ~LineasEditadas() override;
    LineasEditadas(const LineasEditadas&) = delete;
    LineasEditadas& operator=(const LineasEditadas&) = delete;

protected:
    // Gives each line as the editor returns it (the terminal's UTF-8), then
    // its newline; end of input when the user ends it (Ctrl-D on an empty
    // line), the screen line then ended (SalidaTerminal::TerminarLineaDePantalla).
    int_type underflow() override;

private:
    void Soltar();

    SalidaTerminal& salida;
    char* linea = nullptr;  // from the editor's allocator, null between lines
    std::size_t largo = 0;
    char fin_de_linea = '\n';
};

#endif
