#include "Ueditor.h"

Lectura Editor::Leer(const CadenaExt& prompt) {
    Empezar(prompt);
    fuente.Abrir();
    Lectura lectura = Lectura::Sigue;
    while (lectura == Lectura::Sigue) {
        Suceso suceso;
        if (!fuente.Leer(suceso, linea.Literal())) {
            lectura = Lectura::FinDeEntrada;
            break;
        }
        if (!seguidas.Tomar(suceso, linea.Literal())) continue;
        lectura = Tomar(suceso);
        if (lectura == Lectura::Sigue && !fuente.HayMas()) vista.Refrescar();
    }
    Acabar(lectura);
    fuente.Cerrar();
    return lectura;
}

void Editor::Empezar(const CadenaExt& prompt) {
    linea.Empezar();
    vista.Empezar(prompt);
}

Lectura Editor::Tomar(const Suceso& suceso) {
    switch (suceso.tipo) {
        case Suceso::Tipo::Tecla: return Cambio(linea.Aplicar(suceso.tecla));
        case Suceso::Tipo::Pegado: return Cambio(linea.Pegar(suceso.tecla.simbolo));
        case Suceso::Tipo::Nada: case Suceso::Tipo::Posicion: break;
        case Suceso::Tipo::Tamano: vista.NuevoTamano(suceso.fila, suceso.columna); break;
        case Suceso::Tipo::Reanudar: vista.Redibujar(false); break;
        case Suceso::Tipo::Senal:
            // Ended by it, or stopped and then going on with the line.
            vista.TerminarFila();
            fuente.Cerrar();
            fuente.Abrir();
            vista.Redibujar(false);
            break;
    }
    return Lectura::Sigue;
}

Lectura Editor::Cambio(const Linea::Efecto& efecto) {
    if (efecto.cambio) vista.Cambiada(*efecto.cambio);
    if (efecto.redibujar) vista.Redibujar(true);
    return efecto.lectura;
}

void Editor::Acabar(Lectura lectura) {
    if (lectura == Lectura::FinDeEntrada) {
        linea.Bytes().Vaciar();
        vista.Cambiada(0);
    }
    vista.Acabar(lectura);
}
