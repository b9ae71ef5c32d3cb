#include "consola.h"

#include <unistd.h>

#include <cstring>
#include <iostream>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>

#include "Ubufferdescriptor.h"
#include "Ucadenaext.h"
#include "Ucifrarc4.h"
#include "Ulineadatos.h"
#include "Uterminal.h"

namespace {

constexpr const char* kMenu = "(C)ifrar/(D)escifrar/(S)alir?: ";
constexpr const char* kPideTexto = "Escriba la linea a interpretar: ";
constexpr const char* kPideClave = "Escriba la clave: ";
constexpr const char* kPregunta = "Desea comprobar el resultado? s/n: ";
constexpr const char* kCadenaCifrada = "Cadena cifrada: ";
// The two headers over a plain text differ by their trailing blank, and the
// users' transcripts keep the difference: they are not to be merged.
constexpr const char* kOriginalComprobada = "Cadena original:";
constexpr const char* kOriginalDescifrada = "Cadena original: ";
constexpr const char* kClaveInvalida = "Debe escribir una clave valida (Long mayor a cero)";

constexpr std::streamsize kDescarteMenu = 1000;

// One direction of the dialogue: which string the typed line goes into, which
// one receives the result, and the headers over the result and over the check.
struct Sentido {
    bool descifrar;
    const char* encabezado;
    const char* encabezado_comprobacion;
};

constexpr Sentido kCifrar{false, kCadenaCifrada, kOriginalComprobada};
constexpr Sentido kDescifrar{true, kOriginalDescifrada, kCadenaCifrada};

// Reads a line and a key, transforms the line from `fuente` into `destino`,
// shows it, and on request shows the inverse transformation of the result
// (which overwrites `fuente`). False when the input ended at the check question.
bool EjecutarOperacion(const Sentido& sentido, CadenaExt& fuente, CadenaExt& destino, CadenaExt& clave,
                       CifraRC4& cifra, std::istream& entrada, std::ostream& salida) {
    LeerTexto(fuente, entrada, salida);
    LeerClave(clave, entrada, salida);
    if (!cifra.EstablecerClave(clave)) {
        salida << kClaveInvalida << std::endl;
        return true;
    }
    cifra.EstablecerModo(sentido.descifrar);
    cifra.Procesar(fuente, destino);
    salida << sentido.encabezado << std::endl;
    MarcarLineaDeDatos(salida);
    destino.EscribirLinea(salida);

    const std::optional<bool> comprobar = PreguntarComprobacion(entrada, salida);
    if (!comprobar) return false;
    if (!*comprobar) return true;
    LeerClave(clave, entrada, salida);
    if (!cifra.EstablecerClave(clave)) return true;
    cifra.EstablecerModo(!sentido.descifrar);
    cifra.Procesar(destino, fuente);
    salida << sentido.encabezado_comprobacion << std::endl;
    MarcarLineaDeDatos(salida);
    fuente.EscribirLinea(salida);
    return true;
}

}  // namespace

std::optional<char> MostrarMenu(std::istream& entrada, std::ostream& salida) {
    salida << kMenu;
    salida.flush();
    char respuesta = 0;
    if (!(entrada >> respuesta)) return std::nullopt;
    entrada.ignore(kDescarteMenu, '\n');
    switch (respuesta) {
        case 'C': return 'c';
        case 'D': return 'd';
        case 'S': return 's';
        default: return respuesta;
    }
}

void LeerTexto(CadenaExt& texto, std::istream& entrada, std::ostream& salida) {
    texto.Vaciar();
    salida << kPideTexto << std::endl;
    texto.LeerLinea(entrada);
}

void LeerClave(CadenaExt& clave, std::istream& entrada, std::ostream& salida) {
    clave.Vaciar();
    salida << kPideClave << std::endl;
    clave.LeerLinea(entrada);
}

std::optional<bool> PreguntarComprobacion(std::istream& entrada, std::ostream& salida) {
    salida << kPregunta;
    salida.flush();
    char respuesta = 0;
    if (!(entrada >> respuesta)) return std::nullopt;
    entrada.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    return respuesta == 's' || respuesta == 'S';
}

void Dialogo(std::istream& entrada, std::ostream& salida) {
    CadenaExt texto(CadenaExt::kCapacidadInicial);
    CadenaExt cifrado(CadenaExt::kCapacidadInicial);
    // Created with new and deleted at the end as the dialogue has always done;
    // held by owners so that an exception still frees (and wipes) them.
    std::unique_ptr<CifraRC4> cifra(new CifraRC4);
    std::unique_ptr<CadenaExt> clave(new CadenaExt(CadenaExt::kCapacidadInicial));

    // The menu and the check question wait for an answer; when the input
    // yields none the dialogue ends, closing the prompt line left open.
    bool sin_respuesta = false;
    // Once the output has failed nothing more can reach the user.
    while (!sin_respuesta && salida) {
        const std::optional<char> opcion = MostrarMenu(entrada, salida);
        if (!opcion) {
            sin_respuesta = true;
        } else if (*opcion == 'c') {
            sin_respuesta = !EjecutarOperacion(kCifrar, texto, cifrado, *clave, *cifra, entrada, salida);
        } else if (*opcion == 'd') {
            sin_respuesta = !EjecutarOperacion(kDescifrar, cifrado, texto, *clave, *cifra, entrada, salida);
        } else if (*opcion == 's') {
            break;
        }
    }
    if (sin_respuesta) salida << std::endl;
    cifra.reset();
    clave.reset();
}

#ifndef CIFRADOR_SIN_MAIN
int main() {
    try {
        // Our own buffers, wiped when they go (the dialogue flushes before
        // every read itself); std::cin and std::cout are left unused. Once a
        // write has failed the input ends, so that the dialogue stops at its
        // next question (the terminal layer's line editor does the same).
        BufferDescriptor buffer_entrada(STDIN_FILENO), buffer_salida(STDOUT_FILENO);
        std::istream entrada(&buffer_entrada);
        std::ostream salida(&buffer_salida);
        buffer_entrada.LeerSoloMientras(salida);
        // On a UTF-8 terminal bytes are shown and typed as code page 850
        // characters, and lines are read through a line editor.
        const Terminal terminal(entrada, salida);
        Dialogo(entrada, salida);
        salida.flush();
        // The dialogue took a failed read for the end of the input; the
        // exit status must not report it as one. Standard input is read
        // either by its buffer or by the line editor, never by both.
        int estado = 0;
        int error = buffer_entrada.ErrorDeLectura();
        if (error == 0) error = terminal.ErrorDeLectura();
        if (error != 0) {
            std::cerr << "cifrador: no se pudo leer la entrada estandar: " << std::strerror(error) << std::endl;
            estado = 1;
        }
        if (!salida) {
            std::cerr << "cifrador: no se pudo escribir la salida estandar" << std::endl;
            estado = 1;
        }
        return estado;
    } catch (const std::bad_alloc&) {
        std::cerr << "cifrador: memoria agotada" << std::endl;
    }
    // A line of 4 GiB, more than a test can feed the program, and an error in
    // the program itself (an index out of range): the coverage report leaves
    // both out.
    // GCOVR_EXCL_START
    catch (const std::length_error&) {
        std::cerr << "cifrador: la linea supera la longitud maxima de 4294967295 bytes" << std::endl;
    } catch (const std::exception&) {
        std::cerr << "cifrador: error interno inesperado" << std::endl;
    }
    // GCOVR_EXCL_STOP
    return 1;
}
#endif
