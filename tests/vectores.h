// Known answers of the cipher, read from datos/vectores-cifra.txt, and a
// plain-array model of the cipher to compute expected transcripts with.
#ifndef VECTORES_H
#define VECTORES_H

#include <string>
#include <vector>

struct VectorFlujo {
    std::string clave;
    std::vector<int> simbolos;  // the first keystream symbols after keying
};

struct VectorCifrado {
    std::string clave, texto, cifrado;
};

std::vector<VectorFlujo> LeerVectoresFlujo();
std::vector<VectorCifrado> LeerVectoresCifrado();

// Independent model of the cipher on plain arrays (not the program's code).
std::string Modelo(const std::string& clave, const std::string& texto, bool descifrar);

#endif
