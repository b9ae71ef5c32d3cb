#include "Uvista.h"

#include <algorithm>

#include "Ubloque.h"
#include "Utabla850.h"

void Vista::Empezar(const CadenaExt& texto) {
    prompt = texto;
    OlvidarPrevias();
    ancho = pantalla.Ancho();
    alto = pantalla.Alto();
    EmpezarFilas();
    Refrescar();
}

void Vista::Cambiada(std::size_t byte) {
    const std::size_t celda = prompt.Longitud() + byte;
    sucia = std::min(sucia.value_or(celda), celda);
}

char32_t Vista::SimboloDeCelda(std::size_t celda) const {
    const std::size_t largo_prompt = prompt.Longitud();
    if (celda < largo_prompt) return SimboloDeByte(prompt.Caracter(static_cast<std::uint32_t>(celda)));
    return celda < Celdas() ? SimboloDeByte(linea[celda - largo_prompt]) : U' ';
}

void Vista::EmpezarFilas(bool limpiar_debajo) {
    primera = 0;
    filas = 1;
    pos = 0;
    en_espera = false;
    mostradas = limpiar_debajo ? std::nullopt : std::optional<std::size_t>(0);
    sucia = 0;
}

void Vista::Refrescar() {
    // A console's change of size shows here; a terminal's comes as a signal.
    std::size_t fila = 0, columna = 0;
    if (pantalla.Cursor(fila, columna) && (pantalla.Ancho() != ancho || pantalla.Alto() != alto)) {
        NuevoTamano(fila, columna);
        return;
    }
    const std::size_t celdas = Celdas(), cursor = prompt.Longitud() + linea.Cursor();
    const std::size_t ultima = celdas / ancho, fila_cursor = cursor / ancho;
    // The rows to show: all while they fit, else the cursor's and those about
    // it, moved only as far as the cursor needs.
    std::size_t mostrar_desde = 0;
    if (ultima >= alto) {
        mostrar_desde = std::clamp(primera, fila_cursor + 1 > alto ? fila_cursor + 1 - alto : 0, fila_cursor);
        mostrar_desde = std::min(mostrar_desde, ultima + 1 - alto);
    }
    // What the line took before, or, drawn afresh over an earlier drawing, as
    // many rows as the screen holds, is cleared after its end.
    bool limpiar = !mostradas || *mostradas > celdas;
    const std::size_t debajo = mostradas ? filas : alto;
    if (mostrar_desde != primera) {
        // The rows the editor holds show other rows of the line: all of them
        // drawn again, from the first.
        Ir(primera * ancho);
        primera = mostrar_desde;
        pos = mostrar_desde * ancho;
        sucia = pos;
        limpiar = true;
    }
    if (sucia) {
        const std::size_t desde = std::max(*sucia, primera * ancho);
        const std::size_t hasta = std::min(celdas, (primera + alto) * ancho);
        if (desde < hasta) {
            Ir(desde, true);
            Mostrar(desde, hasta);
        }
        // What the line took and no longer does, below its end.
        if (limpiar && hasta == celdas && hasta / ancho < primera + debajo) {
            Ir(hasta);
            // The blank that made the row after a full last one stays: a
            // rewrapping terminal may not join an empty row to the line
            // (tmux), and the cursor there would be in a line of its own.
            if (hasta % ancho == 0 && hasta / ancho > primera && ancho > 1) Ir(hasta + 1);
            pantalla.Limpiar();
        }
        mostradas = celdas;
        sucia.reset();
    }
    Ir(cursor);
    pantalla.Enviar();
}

void Vista::Acabar(Lectura lectura) {
    Refrescar();
    if (lectura == Lectura::FinDeEntrada) return;
    const std::size_t celdas = Celdas();
    if (primera == 0 && celdas <= filas * ancho) {
        TerminarEn(celdas);
        return;
    }
    // Taller than the screen: written out whole, from the first row the
    // editor holds, so that the terminal's history keeps all of it. It covers
    // every row drawn, so nothing needs clearing first.
    Ir(primera * ancho);
    primera = 0;
    pos = 0;
    Mostrar(0, celdas);
    TerminarEn(celdas);
}

void Vista::TerminarFila() { TerminarEn(std::min(Celdas(), (primera + filas) * ancho)); }

void Vista::TerminarEn(std::size_t fin) {
    // A line that fills its last row ends there too.
    Ir(fin > 0 && fin % ancho == 0 ? fin - 1 : fin);
    const char32_t nueva_linea = '\n';
    pantalla.Poner(&nueva_linea, 1);
    pantalla.Enviar();
    EmpezarFilas();
    OlvidarPrevias();
}

void Vista::Redibujar(bool en_sitio) {
    if (en_sitio)
        Ir(primera * ancho);
    else
        OlvidarPrevias();
    EmpezarFilas(true);
    Refrescar();
}

void Vista::NuevoTamano(std::size_t fila, std::size_t columna) {
    if (fila == 0) pantalla.Cursor(fila, columna);
    const std::size_t nuevo_ancho = pantalla.Ancho(), nuevo_alto = pantalla.Alto();
    // How far up the first row drawn is now. A terminal that keeps its rows
    // keeps it where it was, the cursor in its column as far as the new width
    // allows. One that rewraps them rewraps the rows drawn as one line (the
    // editor never ends them itself), together with what it had moved above
    // the screen before and wrapped into them (`previas`), and keeps the
    // cursor on its character. The cursor's column tells the two apart, and
    // the answer holds for the rest of the run.
    const std::size_t celda = en_espera ? pos - 1 : pos, dentro = celda - primera * ancho;
    const std::size_t desplazamiento = previas + dentro;
    // Past the end of the rewrapped text, at the start of a row, the cursor
    // may be left waiting in the last column of the row before (tmux says
    // the column after it); in a single column that is the start of a row.
    const bool esperando =
        desplazamiento > 0 && desplazamiento % nuevo_ancho == 0 && columna >= nuevo_ancho && columna > 1;
    const std::size_t sin_reflujo = dentro / ancho, con_reflujo = desplazamiento / nuevo_ancho - (esperando ? 1 : 0);
    const bool como_sin = columna - 1 == std::min(celda % ancho, nuevo_ancho - 1);
    const bool como_con = esperando || columna - 1 == desplazamiento % nuevo_ancho;
    if (fila != 0 && previas_exactas && reflujo == Reflujo::Desconocido && como_sin != como_con)
        reflujo = como_con ? Reflujo::Si : Reflujo::No;
    // The rows of the line, rewrapped, from the first drawn to the last.
    const std::size_t dibujadas = std::min(mostradas.value_or(Celdas()), (primera + filas) * ancho) - primera * ancho;
    const std::size_t filas_con = std::max(con_reflujo + 1, (previas + dibujadas + nuevo_ancho - 1) / nuevo_ancho);
    // A rewrapping terminal that keeps the end of its text at the bottom of
    // the screen (tmux) may push the cursor's character above it; it then
    // puts the cursor in the top left corner, on some later row of the line,
    // and the line's first rows are above the screen.
    const bool perdido = reflujo != Reflujo::No && fila == 1 && columna == 1 && filas_con - con_reflujo > nuevo_alto;
    // Not knowing, it clears as far up as either kind may need: rather a row
    // of what was above than a second copy of the line.
    std::size_t subir = perdido                      ? 0
                        : reflujo == Reflujo::Si   ? con_reflujo
                        : reflujo == Reflujo::No   ? sin_reflujo
                                                   : std::max(sin_reflujo, con_reflujo);
    // What of the rewrapped line may be above the screen: where the cursor is
    // not known, as much as there may be above it.
    std::size_t encima = 0;
    if (perdido)
        encima = filas_con - nuevo_alto;
    else if (fila == 0)
        encima = con_reflujo;
    else if (con_reflujo > fila - 1)
        encima = con_reflujo - (fila - 1);
    if (fila != 0) subir = std::min(subir, fila - 1);
    pantalla.Ir(-static_cast<std::ptrdiff_t>(subir), 0);
    // A rewrapping terminal keeps the rows of the line it moved above the
    // screen wrapped into the first one drawn now.
    previas = reflujo != Reflujo::No ? encima * nuevo_ancho : 0;
    previas_exactas = reflujo == Reflujo::No || (previas_exactas && fila != 0 && !perdido);
    ancho = nuevo_ancho;
    alto = nuevo_alto;
    EmpezarFilas(true);
    Refrescar();
}

void Vista::Ir(std::size_t celda, bool o_esperando) {
    if (celda == pos && (!en_espera || o_esperando)) return;
    if (celda % ancho == 0 && celda / ancho > primera) {
        // The start of a row is reached by wrapping from the end of the one
        // before, as the terminal's own rows are (its last cell drawn again,
        // then this one): a terminal that rewraps its rows on a change of
        // size then holds the rows drawn, to the cursor's, as one line. It
        // also makes the row below the last one drawn.
        if (!(en_espera && pos == celda)) {
            Ir(celda - 1);
            Mostrar(celda - 1, celda);
        }
        Mostrar(celda, celda + 1);
    }
    pantalla.Ir(static_cast<std::ptrdiff_t>(celda / ancho) - static_cast<std::ptrdiff_t>(FilaFisica()), celda % ancho);
    pos = celda;
    en_espera = false;
}

void Vista::Mostrar(std::size_t desde, std::size_t hasta) {
    Tramo tramo(pantalla);
    for (std::size_t celda = desde; celda < hasta; ++celda) tramo.Poner(SimboloDeCelda(celda));
    tramo.Entregar();
    pos = hasta;
    en_espera = hasta % ancho == 0;
    filas = std::max(filas, (hasta - 1) / ancho + 1 - primera);
}
