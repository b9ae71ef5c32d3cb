// A test tool for the Windows console, run under Wine by consola_wine.py:
// starts the program named on its command line in the same console and, each
// time a file named "ancho-N" appears in the folder given, makes the
// console's buffer and window N columns wide and deletes the file. Ends with
// the program's exit status.
//
//     consola_redimensionar CARPETA PROGRAMA
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

void CambiarTamano(HANDLE consola, SHORT ancho) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(consola, &info)) return;
    const SMALL_RECT ventana{0, info.srWindow.Top, static_cast<SHORT>(ancho - 1), info.srWindow.Bottom};
    const COORD buffer{ancho, info.dwSize.Y};
    // The window is never wider than the buffer: which goes first depends on
    // the way.
    if (ancho < info.dwSize.X) {
        SetConsoleWindowInfo(consola, TRUE, &ventana);
        SetConsoleScreenBufferSize(consola, buffer);
    } else {
        SetConsoleScreenBufferSize(consola, buffer);
        SetConsoleWindowInfo(consola, TRUE, &ventana);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const std::string carpeta = argv[1];
    std::string orden = std::string("\"") + argv[2] + "\"";
    STARTUPINFOA inicio{};
    inicio.cb = sizeof inicio;
    PROCESS_INFORMATION proceso{};
    if (!CreateProcessA(nullptr, orden.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &inicio, &proceso)) return 3;
    const HANDLE consola = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, 0, nullptr);
    while (WaitForSingleObject(proceso.hProcess, 50) == WAIT_TIMEOUT) {
        WIN32_FIND_DATAA hallado;
        const HANDLE busqueda = FindFirstFileA((carpeta + "\\ancho-*").c_str(), &hallado);
        if (busqueda == INVALID_HANDLE_VALUE) continue;
        FindClose(busqueda);
        CambiarTamano(consola, static_cast<SHORT>(std::atoi(hallado.cFileName + 6)));
        DeleteFileA((carpeta + "\\" + hallado.cFileName).c_str());
    }
    DWORD estado = 0;
    GetExitCodeProcess(proceso.hProcess, &estado);
    return static_cast<int>(estado);
}
