#include "Upantalla.h"

#include <algorithm>

#include "Uborrado.h"

namespace {

constexpr std::size_t kAnchoSupuesto = 80;

}  // namespace

bool PantallaConsola::Poner(const char32_t* caracteres, std::size_t n) {
    wchar_t bloque[256];
    bool bien = true;
    while (bien && n > 0) {
        const DWORD largo = static_cast<DWORD>(std::min(n, std::size(bloque)));
        for (DWORD k = 0; k < largo; ++k) bloque[k] = static_cast<wchar_t>(caracteres[k]);
        caracteres += largo;
        n -= largo;
        for (DWORD hecho = 0; bien && hecho < largo;) {
            DWORD escritos = 0;
            bien = WriteConsoleW(consola, bloque + hecho, largo - hecho, &escritos, nullptr) && escritos > 0;
            hecho += escritos;
        }
    }
    Borrar(bloque, sizeof bloque);
    return bien;
}

std::size_t PantallaConsola::Ancho() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(consola, &info) || info.dwSize.X <= 0) return kAnchoSupuesto;
    return static_cast<std::size_t>(info.dwSize.X);
}

void PantallaConsola::Ir(std::size_t desde, std::size_t hasta, std::size_t ancho) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(consola, &info)) return;
    const auto actual = static_cast<std::ptrdiff_t>(info.dwCursorPosition.Y) * static_cast<std::ptrdiff_t>(ancho) +
                        info.dwCursorPosition.X;
    const std::ptrdiff_t destino =
        std::max<std::ptrdiff_t>(0, actual - static_cast<std::ptrdiff_t>(desde) + static_cast<std::ptrdiff_t>(hasta));
    const auto columnas = static_cast<std::ptrdiff_t>(ancho);
    SetConsoleCursorPosition(consola, {static_cast<SHORT>(destino % columnas), static_cast<SHORT>(destino / columnas)});
}

void PantallaConsola::Limpiar(std::size_t n) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (n == 0 || !GetConsoleScreenBufferInfo(consola, &info)) return;
    DWORD escritas = 0;
    FillConsoleOutputCharacterW(consola, L' ', static_cast<DWORD>(n), info.dwCursorPosition, &escritas);
}

void PantallaConsola::FinDeFila() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(consola, &info) && info.dwCursorPosition.X != 0) {
        const char32_t nueva_linea = '\n';
        Poner(&nueva_linea, 1);
    }
}
