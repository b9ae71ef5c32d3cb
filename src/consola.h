// The console dialogue: a menu loop that encrypts or decrypts one typed line
// with a typed key, offers to check the result with the inverse operation, and
// ends on S. It takes its streams as parameters; main passes the console's.
#ifndef CONSOLA_H
#define CONSOLA_H

#include <iosfwd>
#include <optional>

class CadenaExt;

// Shows the menu and reads the first non-blank character, on whatever line it
// comes, then discards at most 1000 further characters up to the newline.
// C, D and S come back as c, d and s; any other character unchanged; nothing
// when the input ended or failed before an answer.
std::optional<char> MostrarMenu(std::istream& entrada, std::ostream& salida);
// Prompts for the line to transform and reads it into `texto`.
void LeerTexto(CadenaExt& texto, std::istream& entrada, std::ostream& salida);
// Prompts for the key and reads it into `clave`.
void LeerClave(CadenaExt& clave, std::istream& entrada, std::ostream& salida);
// Asks whether to check the result and discards the rest of the answer's line.
// True when the first non-blank character is s or S; nothing when the input
// ended or failed before an answer.
std::optional<bool> PreguntarComprobacion(std::istream& entrada, std::ostream& salida);
// Runs the dialogue until the user quits, the input ends at the menu or the
// check question (the open prompt line is then ended), or the output fails.
// The caller checks `salida` afterwards.
void Dialogo(std::istream& entrada, std::ostream& salida);

#endif
