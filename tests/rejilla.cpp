#include "rejilla.h"

#include <algorithm>
#include <utility>

Rejilla::Rejilla(std::size_t ancho, std::size_t alto, bool reflujo)
    : ancho(ancho), reflujo(reflujo), filas(alto, FilaBlanca()) {}

void Rejilla::Bajar() {
    if (y + 1 < filas.size()) {
        ++y;
        return;
    }
    historia.push_back(filas.front());
    filas.erase(filas.begin());
    filas.push_back(FilaBlanca());
}

bool Rejilla::Poner(const char32_t* caracteres_dados, std::size_t n) {
    for (std::size_t k = 0; k < n; ++k) {
        ++simbolos;
        const char32_t c = caracteres_dados[k];
        if (c == U'\n') {
            filas[y].partida = false;
            x = 0;
            espera = false;
            Bajar();
            continue;
        }
        if (espera) {
            filas[y].partida = true;
            x = 0;
            espera = false;
            Bajar();
        }
        filas[y].celdas[x] = c;
        filas[y].marcas[x] = marca;
        if (x + 1 == ancho)
            espera = true;
        else
            ++x;
    }
    return true;
}

void Rejilla::Ir(std::ptrdiff_t desplazamiento, std::size_t columna) {
    espera = false;
    const auto destino = static_cast<std::ptrdiff_t>(y) + desplazamiento;
    y = static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(destino, 0, static_cast<std::ptrdiff_t>(filas.size()) - 1));
    x = std::min(columna, ancho - 1);
}

void Rejilla::Limpiar() {
    std::fill(filas[y].celdas.begin() + static_cast<std::ptrdiff_t>(x), filas[y].celdas.end(), U' ');
    std::fill(filas[y].marcas.begin() + static_cast<std::ptrdiff_t>(x), filas[y].marcas.end(), 0);
    if (x == 0) filas[y].partida = false;
    for (std::size_t f = y + 1; f < filas.size(); ++f) filas[f] = FilaBlanca();
}

void Rejilla::PonerAlInstante(const char32_t* caracteres_dados, std::size_t n) {
    for (std::size_t k = 0; k < n; ++k) {
        Poner(caracteres_dados + k, 1);
        if (espera) {
            // On to the next row at once, as a console does.
            filas[y].partida = true;
            x = 0;
            espera = false;
            Bajar();
        }
    }
}

void Rejilla::PonerEn(std::size_t columna, std::size_t fila, const char32_t* caracteres_dados, std::size_t n) {
    for (std::size_t k = 0, celda = fila * ancho + columna; k < n && celda < filas.size() * ancho; ++k, ++celda) {
        ++simbolos;
        filas[celda / ancho].celdas[celda % ancho] = caracteres_dados[k];
        filas[celda / ancho].marcas[celda % ancho] = caracteres_dados[k] == U' ' ? 0 : marca;
    }
}

void Rejilla::LlevarCursor(std::size_t columna, std::size_t fila) {
    x = columna;
    y = fila;
    espera = false;
}

void Rejilla::Escribir(const std::u32string& texto) {
    anteriores += static_cast<std::size_t>(std::count_if(texto.begin(), texto.end(), [](char32_t c) { return c != U' '; }));
    const char32_t propia = std::exchange(marca, 0);
    Poner(texto.data(), texto.size());
    const char32_t fin = U'\n';
    Poner(&fin, 1);
    marca = propia;
}

namespace {

bool Blanca(const std::u32string& celdas) {
    return std::all_of(celdas.begin(), celdas.end(), [](char32_t c) { return c == U' '; });
}

std::u32string SinBlancos(std::u32string celdas) {
    while (!celdas.empty() && celdas.back() == U' ') celdas.pop_back();
    return celdas;
}

}  // namespace

void Rejilla::CambiarTamano(std::size_t nuevo_ancho, std::size_t nuevo_alto) {
    if (espera) espera = false;  // the cursor stays on the last character shown
    if (!reflujo) {
        // Rows cut or widened where they are; a shorter window loses rows at
        // the bottom, unless the cursor is there: then the top ones go up.
        for (auto* grupo : {&historia, &filas}) {
            for (Fila& fila : *grupo) {
                for (std::size_t k = nuevo_ancho; k < fila.celdas.size(); ++k) cortadas += Anterior(fila, k);
                fila.celdas.resize(nuevo_ancho, U' ');
                fila.marcas.resize(nuevo_ancho, 0);
            }
        }
        ancho = nuevo_ancho;
        x = std::min(x, ancho - 1);
        if (y >= nuevo_alto) {
            const std::size_t subir = y + 1 - nuevo_alto;
            historia.insert(historia.end(), filas.begin(), filas.begin() + static_cast<std::ptrdiff_t>(subir));
            filas.erase(filas.begin(), filas.begin() + static_cast<std::ptrdiff_t>(subir));
            y -= subir;
        }
        for (std::size_t f = nuevo_alto; f < filas.size(); ++f)
            for (std::size_t k = 0; k < ancho; ++k) cortadas += Anterior(filas[f], k);
        filas.resize(nuevo_alto, FilaBlanca());
        return;
    }
    // Rows joined into the lines they wrapped from, and wrapped again; the
    // cursor keeps its character, and its row on the screen where it can.
    std::vector<Fila> todas = historia;
    todas.insert(todas.end(), filas.begin(), filas.end());
    const std::size_t absoluta = historia.size() + y;
    while (todas.size() > absoluta + 1 && Blanca(todas.back().celdas)) todas.pop_back();
    std::vector<Fila> nuevas;
    std::size_t cursor_nuevo = 0, x_nuevo = 0;
    for (std::size_t inicio = 0; inicio < todas.size();) {
        std::size_t fin = inicio;
        while (todas[fin].partida && fin + 1 < todas.size()) ++fin;
        std::u32string texto, marcas;
        for (std::size_t f = inicio; f < fin; ++f) {
            texto += todas[f].celdas;
            marcas += todas[f].marcas;
        }
        texto += SinBlancos(todas[fin].celdas);
        marcas += todas[fin].marcas.substr(0, texto.size() - marcas.size());
        std::size_t necesarias = texto.size();
        const bool con_cursor = absoluta >= inicio && absoluta <= fin;
        const std::size_t desplazamiento = (absoluta - inicio) * ancho + x;
        if (con_cursor) necesarias = std::max(necesarias, desplazamiento + 1);
        const std::size_t n = std::max<std::size_t>(1, (necesarias + nuevo_ancho - 1) / nuevo_ancho);
        if (con_cursor) {
            cursor_nuevo = nuevas.size() + desplazamiento / nuevo_ancho;
            x_nuevo = desplazamiento % nuevo_ancho;
        }
        texto.resize(n * nuevo_ancho, U' ');
        marcas.resize(n * nuevo_ancho, 0);
        for (std::size_t k = 0; k < n; ++k)
            nuevas.push_back({texto.substr(k * nuevo_ancho, nuevo_ancho), marcas.substr(k * nuevo_ancho, nuevo_ancho), k + 1 < n});
        inicio = fin + 1;
    }
    ancho = nuevo_ancho;
    const std::size_t debajo = nuevas.size() - 1 - cursor_nuevo;
    std::size_t arriba = std::min({y, cursor_nuevo, nuevo_alto - 1});
    // What is below the cursor stays on the screen, pushing rows above up.
    if (arriba + 1 + debajo > nuevo_alto) arriba = nuevo_alto - 1 - std::min(debajo, nuevo_alto - 1);
    arriba = std::min(arriba, cursor_nuevo);
    const std::size_t primera = cursor_nuevo - arriba;
    for (std::size_t f = primera + nuevo_alto; f < nuevas.size(); ++f)
        for (std::size_t k = 0; k < nuevo_ancho; ++k) cortadas += Anterior(nuevas[f], k);
    nuevas.resize(std::max(nuevas.size(), primera + nuevo_alto), FilaBlanca());
    historia.assign(nuevas.begin(), nuevas.begin() + static_cast<std::ptrdiff_t>(primera));
    filas.assign(nuevas.begin() + static_cast<std::ptrdiff_t>(primera),
                 nuevas.begin() + static_cast<std::ptrdiff_t>(primera + nuevo_alto));
    y = arriba;
    x = x_nuevo;
}

bool Rejilla::MuestraLinea(const std::u32string& texto, std::size_t cursor, std::string& por_que) const {
    if (espera) {
        por_que = "el cursor espera en la última columna";
        return false;
    }
    if (x != cursor % ancho) {
        por_que = "el cursor no está en la columna de su byte";
        return false;
    }
    const auto fila_cursor = static_cast<std::ptrdiff_t>(cursor / ancho);
    const auto total = static_cast<std::ptrdiff_t>(texto.size() / ancho + 1);
    std::size_t mostradas = 0;
    for (std::size_t f = 0; f < filas.size(); ++f) {
        const std::ptrdiff_t r = fila_cursor + static_cast<std::ptrdiff_t>(f) - static_cast<std::ptrdiff_t>(y);
        const std::u32string& celdas = filas[f].celdas;
        if (r >= total) {
            if (!Blanca(celdas)) {
                por_que = "fila " + std::to_string(f) + ": no está en blanco bajo la línea";
                return false;
            }
        } else if (r >= 0) {
            std::u32string esperada = texto.substr(std::min(texto.size(), static_cast<std::size_t>(r) * ancho), ancho);
            esperada.resize(ancho, U' ');
            if (celdas != esperada) {
                por_que = "fila " + std::to_string(f) + ": no muestra la fila " + std::to_string(r) + " de la línea";
                return false;
            }
            ++mostradas;
        } else {
            for (std::size_t k = 0; k < ancho; ++k) {
                if (celdas[k] != U' ' && filas[f].marcas[k] == marca) {
                    por_que = "fila " + std::to_string(f) + ": sobre la línea hay algo dibujado para ella";
                    return false;
                }
            }
        }
    }
    // Its rows: those with a character, and the cursor's.
    const std::size_t propias = std::max((texto.size() + ancho - 1) / ancho, cursor / ancho + 1);
    if (mostradas < std::min(filas.size(), propias)) {
        por_que = "la pantalla muestra " + std::to_string(mostradas) + " filas de la línea, y caben más";
        return false;
    }
    return true;
}

bool Rejilla::AnteriorIntacta() const {
    std::size_t quedan = 0;
    for (const auto* grupo : {&historia, &filas})
        for (const Fila& fila : *grupo)
            for (std::size_t k = 0; k < fila.celdas.size(); ++k) quedan += Anterior(fila, k);
    return quedan + cortadas == anteriores;
}

bool Rejilla::HistoriaConLinea(const std::u32string& texto) const {
    std::vector<Fila> todas = historia;
    todas.insert(todas.end(), filas.begin(), filas.end());
    const std::size_t absoluta = historia.size() + y;
    const std::size_t n = std::max<std::size_t>(1, (texto.size() + ancho - 1) / ancho);
    if (x != 0 || absoluta < n) return false;
    for (std::size_t k = 0; k < n; ++k)
        if (SinBlancos(todas[absoluta - n + k].celdas) != SinBlancos(texto.substr(k * ancho, ancho))) return false;
    return true;
}

std::string Rejilla::Volcado() const {
    std::string texto = "\n";
    for (const std::u32string& fila : Filas()) {
        for (const char32_t c : fila) texto += c < 128 ? static_cast<char>(c) : '?';
        texto += "|\n";
    }
    return texto + "cursor " + std::to_string(x) + "," + std::to_string(y) + " de " + std::to_string(ancho) + "x" +
           std::to_string(filas.size());
}

std::vector<std::u32string> Rejilla::Filas() const {
    std::vector<std::u32string> texto;
    for (const Fila& fila : filas) texto.push_back(SinBlancos(fila.celdas));
    return texto;
}
