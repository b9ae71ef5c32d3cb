#include "teclas.h"

#include "Ueditor.h"
#include "rejilla.h"

#include <cctype>
#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

namespace {

using N = Tecla::Nombre;

// The key of a capability: kcub1 and kLFT are Left, and so on.
const std::map<std::string, N> kBases = {
    {"kcub1", N::Izquierda}, {"kLFT", N::Izquierda}, {"kcuf1", N::Derecha},  {"kRIT", N::Derecha},
    {"kcuu1", N::Arriba},    {"kUP", N::Arriba},     {"kcud1", N::Abajo},    {"kDN", N::Abajo},
    {"khome", N::Inicio},    {"kHOM", N::Inicio},    {"kend", N::Fin},       {"kEND", N::Fin},
    {"kdch1", N::Suprimir},  {"kDC", N::Suprimir},   {"kich1", N::Insertar}, {"kIC", N::Insertar},
    {"kpp", N::RePag},       {"kPRV", N::RePag},     {"knp", N::AvPag},      {"kNXT", N::AvPag},
    {"kbs", N::Retroceso},
};

Tecla DeCapacidad(const std::string& capacidad) {
    if (capacidad == "kcbt") return {N::Tabulador, 0, kMayus};
    if (capacidad.rfind("kf", 0) == 0) return {N::Funcion, static_cast<char32_t>(std::stoi(capacidad.substr(2))), 0};
    std::string base = capacidad;
    unsigned modificadores = 0;
    // kLFT is Shift-Left; kLFT3 to kLFT8 carry xterm's modifier parameter.
    if (std::isdigit(static_cast<unsigned char>(base.back())) && kBases.count(base) == 0) {
        const unsigned bits = static_cast<unsigned>(base.back() - '0') - 1;
        base.pop_back();
        modificadores = ((bits & 1) != 0 ? kMayus : 0) | ((bits & 2) != 0 ? kAlt : 0) | ((bits & 4) != 0 ? kCtrl : 0);
    } else if (base[1] >= 'A' && base[1] <= 'Z') {
        modificadores = kMayus;
    }
    return {kBases.at(base), 0, static_cast<unsigned char>(modificadores)};
}

}  // namespace

bool FuenteGuion::Siguiente(Suceso& suceso, bool) {
    if (siguiente >= sucesos.size()) return false;
    suceso = sucesos[siguiente++];
    return true;
}

bool FuenteGuion::Leer(Suceso& suceso, bool literal) {
    if (Siguiente(suceso, literal)) return true;
    if (siguiente > sucesos.size()) return false;
    ++siguiente;
    suceso = {Suceso::Tipo::Tecla, {N::Intro}};
    return true;
}

std::string LineaTras(FuenteGuion&& fuente) {
    Rejilla pantalla(80, 24);
    Editor editor(fuente, pantalla);
    editor.Leer(CadenaExt(0));
    const LineaTecleada& linea = editor.Leida();
    return {linea.Datos(), linea.Datos() + linea.Largo()};
}

std::string LineaTras(const std::vector<Tecla>& teclas) {
    std::vector<Suceso> sucesos;
    for (const Tecla& tecla : teclas) sucesos.push_back({Suceso::Tipo::Tecla, tecla});
    return LineaTras(FuenteGuion(std::move(sucesos)));
}

std::vector<TeclaDeclarada> LeerTeclasTerminfo() {
    std::ifstream archivo(DATOS "/teclas-terminfo.txt");
    if (!archivo) throw std::runtime_error("no se encuentra teclas-terminfo.txt");
    std::vector<TeclaDeclarada> teclas;
    for (std::string familia, capacidad, hex; archivo >> familia >> capacidad >> hex;) {
        std::string bytes;
        for (std::size_t n = 0; n + 1 < hex.size(); n += 2)
            bytes += static_cast<char>(std::stoi(hex.substr(n, 2), nullptr, 16));
        teclas.push_back({familia, capacidad, bytes, DeCapacidad(capacidad)});
    }
    return teclas;
}

Accion AccionEsperada(const Tecla& tecla) {
    const bool ctrl = (tecla.modificadores & kCtrl) != 0, alt = (tecla.modificadores & kAlt) != 0;
    const bool mayus = (tecla.modificadores & kMayus) != 0;
    switch (tecla.nombre) {
        case N::Izquierda: return ctrl || alt ? Accion::PalabraAnterior : Accion::Izquierda;
        case N::Derecha: return ctrl || alt ? Accion::PalabraSiguiente : Accion::Derecha;
        case N::Inicio: return ctrl || alt ? Accion::Nada : Accion::Inicio;
        case N::Fin: return ctrl || alt ? Accion::Nada : Accion::Fin;
        case N::Suprimir: return ctrl || alt ? Accion::Nada : Accion::Suprimir;
        case N::Retroceso: return alt ? Accion::Nada : Accion::Retroceso;
        case N::Tabulador: return mayus || alt ? Accion::Nada : Accion::Escribir;
        case N::Intro: return Accion::Intro;
        case N::Simbolo: break;
        default: return Accion::Nada;
    }
    if (!ctrl && !alt) return Accion::Escribir;
    if (alt && !ctrl) {
        if (tecla.simbolo == 'b') return Accion::PalabraAnterior;
        return tecla.simbolo == 'f' ? Accion::PalabraSiguiente : Accion::Nada;
    }
    if (alt) return Accion::Nada;
    switch (tecla.simbolo) {
        case 'a': return Accion::Inicio;
        case 'b': return Accion::Izquierda;
        case 'd': return Accion::FinDeEntrada;
        case 'e': return Accion::Fin;
        case 'f': return Accion::Derecha;
        case 'h': return Accion::Retroceso;
        case 'j': return Accion::Intro;
        case 'k': return Accion::BorrarHastaFin;
        case 'l': return Accion::Redibujar;
        case 'u': return Accion::BorrarHastaInicio;
        case 'v': return Accion::Literal;
        case 'w': return Accion::BorrarPalabra;
        case 'z': return Accion::Escribir;
        default: return Accion::Nada;
    }
}

bool MismaTecla(const Tecla& a, const Tecla& b) {
    if (a.nombre == N::Funcion || b.nombre == N::Funcion) return a.nombre == b.nombre;
    return a == b;
}

std::string Describir(const Tecla& tecla) {
    static const char* const kNombres[] = {"Caracter", "Izquierda", "Derecha", "Arriba", "Abajo", "Inicio", "Fin",
                                           "Insertar", "Suprimir", "RePag", "AvPag", "Retroceso", "Tabulador",
                                           "Intro", "Escape", "F"};
    std::ostringstream texto;
    if ((tecla.modificadores & kCtrl) != 0) texto << "Ctrl+";
    if ((tecla.modificadores & kAlt) != 0) texto << "Alt+";
    if ((tecla.modificadores & kMayus) != 0) texto << "Mayus+";
    texto << kNombres[static_cast<int>(tecla.nombre)];
    if (tecla.nombre == N::Simbolo || tecla.nombre == N::Funcion) texto << " " << static_cast<std::uint32_t>(tecla.simbolo);
    return texto.str();
}
