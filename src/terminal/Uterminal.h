// Terminal: puts the platform's terminal layer between the console's two
// streams (standard input and standard output) and takes it away again, output
// flushed, when destroyed. On a terminal or console every byte of the data is
// shown as its character of the byte table (Utabla850.h), a line the dialogue
// marks as data (Ulineadatos.h) with its trailing spaces as ␠, and what is
// typed comes back as those bytes, letters and combining marks composed; a
// line typed with characters read as "?" is followed by the notice that says
// how many (AvisoDesconocidos) when the output is that terminal too. Pipes and
// files carry the bytes unchanged, but for Windows' CR LF line ends there
// (Ufinlinea.h). Once the console's output stream has failed the line editor
// asks for no more lines: the input ends there, so that the dialogue stops at
// its next question instead of going on unseen (the input stream's own
// buffer, which the layer reads through otherwise, is to stop likewise).
// Lines typed where the line editor is used are read by Editor::Leer
// (Ueditor.h), which the input stream reaches through LineasEditadas
// (Ubuferes.h). Which layer is built is the platform's choice
// (posix/Uterminal.cpp, win/Uterminal.cpp).
#ifndef UTERMINAL_H
#define UTERMINAL_H

#include <iosfwd>
#include <memory>

class Terminal {
public:
    // Fits the layer to whichever of the two streams reach a terminal.
    Terminal(std::istream& entrada_consola, std::ostream& salida_consola);
    // Flushes the output and gives the streams their own buffers back.
    ~Terminal();
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    // The errno of the line editor's read of the keys that failed (the
    // terminal or console gone), 0 while none has. Such a read ends the input
    // as its end does; only this tells the two apart.
    int ErrorDeLectura() const;

private:
    struct Capa;  // the platform's own
    std::unique_ptr<Capa> capa;
};

#endif
