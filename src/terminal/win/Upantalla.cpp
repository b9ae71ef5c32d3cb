#include "Upantalla.h"

#include <algorithm>
#include <iterator>

#include "Uborrado.h"

namespace {

// Hands `n` characters to `escribir` in blocks of UTF-16 (each character is
// one unit), each block wiped once written; false when a write was refused.
template <class Escribir>
bool EnBloques(const char32_t* caracteres, std::size_t n, Escribir escribir) {
    wchar_t bloque[256];
    bool bien = true;
    for (std::size_t hecho = 0; bien && hecho < n;) {
        const DWORD largo = static_cast<DWORD>(std::min(n - hecho, std::size(bloque)));
        for (DWORD k = 0; k < largo; ++k) bloque[k] = static_cast<wchar_t>(caracteres[hecho + k]);
        bien = escribir(bloque, largo, hecho);
        hecho += largo;
    }
    Borrar(bloque, sizeof bloque);
    return bien;
}

}  // namespace

bool ConsolaWin::Poner(const char32_t* caracteres, std::size_t n) {
    return EnBloques(caracteres, n, [&](const wchar_t* bloque, DWORD largo, std::size_t) {
        for (DWORD hecho = 0; hecho < largo;) {
            DWORD escritos = 0;
            if (!WriteConsoleW(consola, bloque + hecho, largo - hecho, &escritos, nullptr) || escritos == 0) return false;
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

bool ConsolaWin::PonerEn(std::size_t x, std::size_t y, const char32_t* caracteres, std::size_t n) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(consola, &info) || info.dwSize.X <= 0) return false;
    const std::size_t ancho = static_cast<std::size_t>(info.dwSize.X);
    return EnBloques(caracteres, n, [&](const wchar_t* bloque, DWORD largo, std::size_t hecho) {
        const std::size_t celda = y * ancho + x + hecho;
        const COORD donde{static_cast<SHORT>(celda % ancho), static_cast<SHORT>(celda / ancho)};
        DWORD escritos = 0;
        return WriteConsoleOutputCharacterW(consola, bloque, largo, donde, &escritos) != 0;
    });
}

void ConsolaWin::LlevarCursor(std::size_t x, std::size_t y) {
    SetConsoleCursorPosition(consola, {static_cast<SHORT>(x), static_cast<SHORT>(y)});
}
