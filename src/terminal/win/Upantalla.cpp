#include "Upantalla.h"

#include <algorithm>
#include <string>

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
    // Blanks written as characters, which every console shows (Wine's in a
    // terminal does not show what FillConsoleOutputCharacter changes); the
    // cursor then goes back to where it was, less the rows the buffer
    // scrolled up meanwhile.
    CONSOLE_SCREEN_BUFFER_INFO antes, despues;
    if (n == 0 || !GetConsoleScreenBufferInfo(consola, &antes) || antes.dwSize.X <= 0) return;
    const std::u32string blancos(n, U' ');
    Poner(blancos.data(), n);
    if (!GetConsoleScreenBufferInfo(consola, &despues)) return;
    const std::ptrdiff_t ancho = antes.dwSize.X;
    const std::ptrdiff_t fin = antes.dwCursorPosition.Y * ancho + antes.dwCursorPosition.X + static_cast<std::ptrdiff_t>(n);
    // Past the last column the cursor is at the start of the next row, or, on
    // a console that wraps late, still in the last column.
    const bool tardio = fin % ancho == 0 && despues.dwCursorPosition.X == ancho - 1;
    const std::ptrdiff_t subidas = fin / ancho - (despues.dwCursorPosition.Y + (tardio ? 1 : 0));
    SetConsoleCursorPosition(consola, {antes.dwCursorPosition.X,
                                       static_cast<SHORT>(std::max<std::ptrdiff_t>(0, antes.dwCursorPosition.Y - subidas))});
}

void PantallaConsola::FinDeFila() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(consola, &info) && info.dwCursorPosition.X != 0) {
        const char32_t nueva_linea = '\n';
        Poner(&nueva_linea, 1);
    }
}
