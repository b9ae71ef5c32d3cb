// Runs the built program as a user's shell would: bytes on standard input
// from a file or a pipe, standard output and standard error captured. When
// CIFRADOR_ENVOLTORIO holds a command (words split at blanks), the program
// runs under it, as in `valgrind ... cifrador` (not on Windows). Where
// standard output must fail, Windows has no /dev/full: it is a pipe that
// nobody reads. The strings hold the transcripts' LF line ends on both
// platforms; on Windows, lines cross as CR LF (ejecutarwin.cpp).
#ifndef EJECUTAR_H
#define EJECUTAR_H

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

enum class Destino { Archivo, Lleno, Cerrado };  // a file, one that cannot be written, a closed descriptor
enum class Origen { Archivo, Tuberia, Cerrado, Directorio };  // where standard input comes from

struct Resultado {
    std::string salida;
    std::string errores;
    int estado = -1;  // exit status, or -1 when the program did not exit normally
};

Resultado Ejecutar(const std::string& entrada, Destino destino = Destino::Archivo,
                   const std::vector<std::string>& argumentos = {}, Origen origen = Origen::Archivo);

inline std::string LeerArchivo(const std::string& ruta) {
    std::ifstream archivo(ruta, std::ios::binary);
    if (!archivo) throw std::runtime_error("no se puede leer " + ruta);
    return {std::istreambuf_iterator<char>(archivo), std::istreambuf_iterator<char>()};
}

#endif
