// Encrypts standard input (one line, without its newline) with the key given
// as the first argument, through the tests' independent model of the cipher:
// the cipher text the program must print, for memoria_linea.sh.
#include <iostream>
#include <iterator>
#include <string>

#include "vectores.h"

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '\0') {
        std::cerr << "uso: modelo_linea CLAVE < linea\n";
        return 2;
    }
    std::ios::sync_with_stdio(false);
    const std::string texto{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
    std::cout << Modelo(argv[1], texto, false);
    return std::cout.flush() ? 0 : 1;
}
