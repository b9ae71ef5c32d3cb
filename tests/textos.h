// The dialogue's texts as they reach standard output, written out here from
// what users see rather than taken from the program, so a changed text fails.
#ifndef TEXTOS_H
#define TEXTOS_H

#include <string>

inline const std::string kMenu = "(C)ifrar/(D)escifrar/(S)alir?: ";
inline const std::string kPideTexto = "Escriba la linea a interpretar: \n";
inline const std::string kPideClave = "Escriba la clave: \n";
inline const std::string kPregunta = "Desea comprobar el resultado? s/n: ";
inline const std::string kClaveInvalida = "Debe escribir una clave valida (Long mayor a cero)\n";
inline const std::string kCifrada = "Cadena cifrada: \n";
inline const std::string kOriginalComprobada = "Cadena original:\n";
inline const std::string kOriginalDescifrada = "Cadena original: \n";

#endif
