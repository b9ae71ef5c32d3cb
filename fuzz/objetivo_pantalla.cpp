// Fuzz target: the line editor driven with random keys, pastes (up to a few
// times the screen, so that lines grow taller than it) and changes of size
// into a model terminal (tests/rejilla.h) of random width and height, one
// that rewraps its rows on a change of size or one that keeps them, told
// where its cursor went or not, or into a model Windows console that wraps at
// once, through the console's own screen (Upantallaconsola.h).
// After every key the screen must show the prompt and the line around the
// cursor, each row exactly, as many of them as it holds, the cursor on its
// byte, nothing of the line above it and nothing below; after Enter the
// history must hold the whole line.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>

#include "Ueditor.h"
#include "Utabla850.h"
#include "objetivo.h"
#include "rejilla.h"

namespace {

using N = Tecla::Nombre;

std::u32string Texto(const CadenaExt& prompt, const LineaTecleada& linea) {
    std::u32string texto;
    for (std::uint32_t n = 0; n < prompt.Longitud(); ++n) texto += SimboloDeByte(prompt.Caracter(n));
    for (std::size_t n = 0; n < linea.Largo(); ++n) texto += SimboloDeByte(linea[n]);
    return texto;
}

void Prompt(CadenaExt& prompt, std::size_t largo) {
    prompt.Vaciar();
    for (std::size_t n = 0; n < largo; ++n) prompt.Agregar(static_cast<unsigned char>("Clave: "[n % 7]));
}

// The editing keys, and characters of the line's own (the other program's
// rows are of "#" and "=", which no line holds).
const Tecla kTeclas[] = {
    {N::Izquierda}, {N::Derecha}, {N::Inicio}, {N::Fin}, {N::Retroceso}, {N::Suprimir},
    {N::Izquierda, 0, kCtrl}, {N::Derecha, 0, kCtrl}, {N::Simbolo, 'k', kCtrl}, {N::Simbolo, 'u', kCtrl},
    {N::Simbolo, 'w', kCtrl}, {N::Simbolo, 'l', kCtrl}, {N::Arriba},
};
constexpr char32_t kLetras[] = U"abcdefghij ,.";

void Comprobar(const Rejilla& rejilla, const CadenaExt& prompt, Editor& editor) {
    std::string por_que;
    const bool bien = rejilla.MuestraLinea(Texto(prompt, editor.Leida()), prompt.Longitud() + editor.Leida().Cursor(), por_que);
    // The screen, for whoever reads the finding.
    if (!bien) std::fprintf(stderr, "%s%s\n", por_que.c_str(), rejilla.Volcado().c_str());
    Exigir(bien, "la pantalla muestra la linea alrededor del cursor");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t largo) {
    Lector lector(datos, largo);
    const std::uint8_t tipo = lector.Byte();
    const bool reflujo = (tipo & 1) != 0, consola = (tipo & 2) != 0;
    // Told where the cursor went: a console always, a terminal that keeps
    // its rows with bit 4, one that rewraps them unless bit 8 is set.
    const bool informe = consola || (tipo & 4) != 0 || (reflujo && (tipo & 8) == 0);
    const std::size_t ancho = 1 + lector.Byte() % 100, alto = 1 + lector.Byte() % 40;
    Rejilla rejilla(ancho, alto, reflujo);
    ConsolaModelo modelo(rejilla);
    PantallaConsola pantalla_consola(modelo);
    for (std::size_t n = lector.Byte() % 8; n > 0; --n) rejilla.Escribir(U"#=#=" + std::u32string(n * 7, U'='));
    SinTeclas teclas;
    Editor editor(teclas, consola ? static_cast<Pantalla&>(pantalla_consola) : rejilla);
    CadenaExt prompt(0);
    Prompt(prompt, lector.Byte() % 40);
    editor.Empezar(prompt);
    Comprobar(rejilla, prompt, editor);
    for (std::size_t pasos = 0; lector.Quedan() && pasos < 2000; ++pasos) {
        const std::uint8_t op = lector.Byte();
        if (op < 100) {
            Pulsar(editor, {N::Simbolo, kLetras[op % (std::size(kLetras) - 1)], 0});
        } else if (op < 200) {
            Pulsar(editor, kTeclas[op % std::size(kTeclas)]);
        } else if (op < 220) {
            // A paste: drawn once, after all of it.
            for (std::size_t n = lector.Corto() % (600 + 3 * rejilla.Ancho() * rejilla.Alto()); n > 0; --n)
                Pulsar(editor, {N::Simbolo, kLetras[n % (std::size(kLetras) - 1)], 0});
        } else if (op < 240) {
            const std::size_t nuevo_ancho = 1 + lector.Byte() % 100, nuevo_alto = 1 + lector.Byte() % 40;
            rejilla.CambiarTamano(nuevo_ancho, nuevo_alto);
            if (!consola) editor.Tomar({Suceso::Tipo::Tamano, {}, informe ? rejilla.y + 1 : 0, informe ? rejilla.x + 1 : 0});
        } else if (op < 250) {
            Exigir(Pulsar(editor, {N::Intro}) == Lectura::Linea, "Intro termina la linea");
            const std::u32string texto = Texto(prompt, editor.Leida());
            editor.Acabar(Lectura::Linea);
            Exigir(rejilla.HistoriaConLinea(texto), "tras Intro la linea entera queda sobre el cursor");
            Prompt(prompt, lector.Byte() % 40);
            rejilla.NuevaLinea();
            editor.Empezar(prompt);
        } else {
            Pulsar(editor, {N::Fin});
            Pulsar(editor, {N::Simbolo, 'u', kCtrl});
            Exigir(Pulsar(editor, {N::Simbolo, 'd', kCtrl}) == Lectura::FinDeEntrada, "Ctrl-D termina");
            editor.Acabar(Lectura::FinDeEntrada);
            Comprobar(rejilla, prompt, editor);
            const char32_t fin = U'\n';
            rejilla.Poner(&fin, 1);
            rejilla.NuevaLinea();
            editor.Empezar(prompt);
        }
        editor.Refrescar();
        Comprobar(rejilla, prompt, editor);
    }
    return 0;
}
