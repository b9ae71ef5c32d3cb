#include "Upantalla.h"

#include "Ubloque.h"

namespace {

// `n` characters as UTF-16 (each character is one unit), in blocks to
// `escribir`; false when a block was refused.
template <class Escribir>
bool EnUtf16(const char32_t* simbolos, std::size_t n, Escribir escribir) {
    auto bloque = EnBloques<wchar_t>(escribir);
    for (std::size_t k = 0; k < n; ++k) bloque.Poner(static_cast<wchar_t>(simbolos[k]));
    return bloque.Entregar();
}

}  // namespace

bool ConsolaWin::Poner(const char32_t* simbolos, std::size_t n) {
    return EnUtf16(simbolos, n, [&](const wchar_t* bloque, std::size_t largo) {
        for (std::size_t hecho = 0; hecho < largo;) {
            DWORD escritos = 0;
            if (!WriteConsoleW(consola, bloque + hecho, static_cast<DWORD>(largo - hecho), &escritos, nullptr) ||
                escritos == 0)
                return false;
            hecho += escritos;
        }
        return true;
    });
}

bool ConsolaWin::Medir(Medida& medida) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(consola, &info) || info.dwSize.X <= 0) return false;
    medida.ancho = static_cast<std::size_t>(info.dwSize.X);
    medida.arriba = static_cast<std::size_t>(info.srWindow.Top);
    medida.filas = static_cast<std::size_t>(info.srWindow.Bottom - info.srWindow.Top + 1);
    medida.x = static_cast<std::size_t>(info.dwCursorPosition.X);
    medida.y = static_cast<std::size_t>(info.dwCursorPosition.Y);
    return true;
}

bool ConsolaWin::PonerEn(std::size_t x, std::size_t y, const char32_t* simbolos, std::size_t n) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(consola, &info) || info.dwSize.X <= 0) return false;
    const std::size_t ancho = static_cast<std::size_t>(info.dwSize.X);
    std::size_t celda = y * ancho + x;
    return EnUtf16(simbolos, n, [&](const wchar_t* bloque, std::size_t largo) {
        const COORD donde{static_cast<SHORT>(celda % ancho), static_cast<SHORT>(celda / ancho)};
        celda += largo;
        DWORD escritos = 0;
        return WriteConsoleOutputCharacterW(consola, bloque, static_cast<DWORD>(largo), donde, &escritos) != 0;
    });
}

void ConsolaWin::LlevarCursor(std::size_t x, std::size_t y) {
    SetConsoleCursorPosition(consola, {static_cast<SHORT>(x), static_cast<SHORT>(y)});
}
