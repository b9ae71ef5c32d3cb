#include "Ueditor.h"

#include <algorithm>

#include "Utabla850.h"

namespace {

bool Blanco(unsigned char byte) { return byte == ' ' || byte == '\t'; }

}  // namespace

void Editor::Empezar(const CadenaExt& texto) {
    prompt = texto;
    linea.Vaciar();
    literal = false;
    mostrado = 0;
    sucio = kNada;
    ancho = pantalla.Ancho();
    pos = 0;
    Mostrar(nullptr, prompt.Longitud(), prompt.Longitud());
    pantalla.Vaciar();
}

Editor::Resultado Editor::Aplicar(const Tecla& tecla) {
    if (literal) {
        literal = false;
        const char32_t caracter = CaracterDeTecla(tecla);
        // A newline would end the line the dialogue reads, not be part of it.
        if (caracter == '\n') return Resultado::Sigue;
        if (caracter != kSinCaracter) {
            if (EsControl(caracter)) {
                linea.Insertar(static_cast<unsigned char>(caracter));
                Cambiado(linea.Cursor() - 1);
            } else {
                Cambiado(linea.Teclear(caracter));
            }
            return Resultado::Sigue;
        }
    }
    const std::size_t cursor = linea.Cursor(), largo = linea.Largo();
    switch (AccionDeTecla(tecla)) {
        case Accion::Escribir: Cambiado(linea.Teclear(CaracterDeTecla(tecla))); break;
        case Accion::Literal: literal = true; break;
        case Accion::Izquierda: linea.Llevar(cursor > 0 ? cursor - 1 : 0); break;
        case Accion::Derecha: linea.Llevar(std::min(cursor + 1, largo)); break;
        case Accion::PalabraAnterior: linea.Llevar(InicioDePalabra()); break;
        case Accion::PalabraSiguiente: linea.Llevar(FinDePalabra()); break;
        case Accion::Inicio: linea.Llevar(0); break;
        case Accion::Fin: linea.Llevar(largo); break;
        case Accion::Retroceso: if (cursor > 0) Quitar(cursor - 1, cursor); break;
        case Accion::Suprimir: if (cursor < largo) Quitar(cursor, cursor + 1); break;
        case Accion::BorrarHastaFin: Quitar(cursor, largo); break;
        case Accion::BorrarHastaInicio: Quitar(0, cursor); break;
        case Accion::BorrarPalabra: Quitar(InicioDePalabra(), cursor); break;
        case Accion::Redibujar: Redibujar(true); break;
        case Accion::Intro: return linea.EmpiezaConCtrlZ() ? Resultado::FinDeEntrada : Resultado::Linea;
        case Accion::FinDeEntrada: if (largo == 0) return Resultado::FinDeEntrada; break;
        case Accion::Nada: break;
    }
    return Resultado::Sigue;
}

void Editor::Cambiado(std::size_t desde) { sucio = std::min(sucio, desde); }

void Editor::Quitar(std::size_t desde, std::size_t hasta) {
    if (desde == hasta) return;
    linea.Quitar(desde, hasta);
    Cambiado(desde);
}

std::size_t Editor::InicioDePalabra() const {
    std::size_t k = linea.Cursor();
    while (k > 0 && Blanco(linea[k - 1])) --k;
    while (k > 0 && !Blanco(linea[k - 1])) --k;
    return k;
}

std::size_t Editor::FinDePalabra() const {
    std::size_t k = linea.Cursor();
    while (k < linea.Largo() && Blanco(linea[k])) ++k;
    while (k < linea.Largo() && !Blanco(linea[k])) ++k;
    return k;
}

void Editor::Refrescar() {
    // A change of size the platform did not report (a console's) shows here.
    if (pantalla.Ancho() != ancho) {
        Redibujar(true);
        return;
    }
    const std::size_t inicio = prompt.Longitud(), largo = linea.Largo();
    if (sucio != kNada) {
        const std::size_t desde = std::min(sucio, largo);
        Ir(inicio + desde);
        Mostrar(linea.Datos() + desde, largo - desde, inicio + largo);
        if (mostrado > largo) pantalla.Limpiar(mostrado - largo);
        mostrado = largo;
        sucio = kNada;
    }
    Ir(inicio + linea.Cursor());
    pantalla.Vaciar();
}

void Editor::Acabar(Resultado resultado) {
    if (resultado == Resultado::FinDeEntrada) {
        linea.Vaciar();
        Cambiado(0);
        Refrescar();
        return;
    }
    linea.Llevar(linea.Largo());
    Refrescar();
    TerminarFila();
}

void Editor::TerminarFila() {
    const std::size_t fin = prompt.Longitud() + linea.Largo();
    Ir(fin);
    // A line that fills its last row has the cursor on the next one already.
    if (fin == 0 || fin % ancho != 0) {
        const char32_t nueva_linea = '\n';
        pantalla.Poner(&nueva_linea, 1);
    }
    pantalla.Vaciar();
    pos = 0;
}

void Editor::Redibujar(bool en_sitio) {
    ancho = pantalla.Ancho();
    if (en_sitio) Ir(0);
    pos = 0;
    pantalla.Limpiar(prompt.Longitud() + mostrado);
    const std::size_t inicio = prompt.Longitud(), largo = linea.Largo();
    Mostrar(nullptr, inicio, inicio);
    Mostrar(linea.Datos(), largo, inicio + largo);
    mostrado = largo;
    sucio = kNada;
    Ir(inicio + linea.Cursor());
    pantalla.Vaciar();
}

void Editor::Ir(std::size_t hasta) {
    if (pos != hasta) pantalla.Ir(pos, hasta, ancho);
    pos = hasta;
}

void Editor::Mostrar(const unsigned char* bytes, std::size_t n, std::size_t fin) {
    Tramo tramo(pantalla);
    for (std::size_t k = 0; k < n; ++k)
        tramo.Poner(CaracterDeByte(bytes != nullptr ? bytes[k] : prompt.Caracter(static_cast<std::uint32_t>(k))));
    tramo.Entregar();
    if (n > 0 && fin % ancho == 0) pantalla.FinDeFila();
    pos = fin;
}
