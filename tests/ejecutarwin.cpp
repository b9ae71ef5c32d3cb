// Ejecutar on Windows: the program started with CreateProcess, its standard
// handles a file, a pipe or none, and the transcripts' line ends made
// Windows' ones on the way in and back on the way out.
#include "ejecutar.h"

#include <windows.h>

#include <filesystem>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <utility>

namespace {

// A handle the child inherits, closed when it goes out of scope.
class Asa {
public:
    explicit Asa(HANDLE h = nullptr) : h(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    ~Asa() { Cerrar(); }
    Asa(const Asa&) = delete;
    Asa& operator=(Asa&& otra) noexcept {
        if (this != &otra) {
            Cerrar();
            h = std::exchange(otra.h, nullptr);
        }
        return *this;
    }
    HANDLE get() const { return h; }
    void Cerrar() {
        if (h != nullptr) CloseHandle(h);
        h = nullptr;
    }

private:
    HANDLE h;
};

SECURITY_ATTRIBUTES Heredable() { return {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE}; }

std::wstring Ancha(const std::string& s) { return std::filesystem::path(s).wstring(); }

std::string Temporal() {
    wchar_t carpeta[MAX_PATH], ruta[MAX_PATH];
    if (GetTempPathW(MAX_PATH, carpeta) == 0 || GetTempFileNameW(carpeta, L"cif", 0, ruta) == 0)
        throw std::runtime_error("GetTempFileName");
    return std::filesystem::path(ruta).string();
}

HANDLE Abrir(const std::string& ruta, DWORD acceso, DWORD creacion, DWORD banderas = FILE_ATTRIBUTE_NORMAL) {
    SECURITY_ATTRIBUTES sa = Heredable();
    return CreateFileW(Ancha(ruta).c_str(), acceso, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, creacion, banderas, nullptr);
}

// A pipe: the child inherits its read end when it is to read from it, its
// write end otherwise.
void Tuberia(Asa& lectura, Asa& escritura, bool hijo_lee) {
    SECURITY_ATTRIBUTES sa = Heredable();
    HANDLE l = nullptr, e = nullptr;
    if (!CreatePipe(&l, &e, &sa, 0)) throw std::runtime_error("CreatePipe");
    SetHandleInformation(hijo_lee ? e : l, HANDLE_FLAG_INHERIT, 0);
    lectura = Asa(l);
    escritura = Asa(e);
}

std::wstring Citado(const std::string& palabra) { return L"\"" + Ancha(palabra) + L"\""; }

// The shared transcripts' lines end in LF. On Windows a CR just before a
// line's end is part of that end, so a line that ends in a CR of its own
// needs a CR LF after it; with CIFRADOR_CRLF set every line gets one, as
// cmd's echo and type and Notepad write them.
std::string FinesWindows(const std::string& entrada) {
    const bool todas = std::getenv("CIFRADOR_CRLF") != nullptr;
    std::string r;
    r.reserve(entrada.size());
    for (const char c : entrada) {
        if (c == '\n' && (todas || (!r.empty() && r.back() == '\r'))) r += '\r';
        r += c;
    }
    return r;
}

// What the program writes to a file must end every line in CR LF; given back
// with LF, as the transcripts have it.
std::string FinesLinux(const std::string& escrito) {
    std::string r;
    r.reserve(escrito.size());
    for (std::size_t i = 0; i < escrito.size(); ++i) {
        if (escrito[i] == '\n') throw std::runtime_error("salto de línea sin CR en el byte " + std::to_string(i));
        if (escrito[i] == '\r' && i + 1 < escrito.size() && escrito[i + 1] == '\n') ++i;
        r += escrito[i];
    }
    return r;
}

}  // namespace

Resultado Ejecutar(const std::string& entrada_lf, Destino destino, const std::vector<std::string>& argumentos,
                   Origen origen) {
    const std::string entrada = FinesWindows(entrada_lf);
    const std::string ruta_entrada = Temporal(), ruta_salida = Temporal(), ruta_errores = Temporal();
    if (origen == Origen::Archivo) std::ofstream(ruta_entrada, std::ios::binary) << entrada;

    Asa in, alimentar, out, nadie_lee, err(Abrir(ruta_errores, GENERIC_WRITE, CREATE_ALWAYS));
    if (origen == Origen::Archivo) in = Asa(Abrir(ruta_entrada, GENERIC_READ, OPEN_EXISTING));
    if (origen == Origen::Tuberia) Tuberia(in, alimentar, true);
    if (origen == Origen::Directorio)
        in = Asa(Abrir(std::filesystem::temp_directory_path().string(), GENERIC_READ, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS));
    if (destino == Destino::Archivo) out = Asa(Abrir(ruta_salida, GENERIC_WRITE, CREATE_ALWAYS));
    if (destino == Destino::Lleno) {
        Tuberia(nadie_lee, out, false);
        nadie_lee.Cerrar();
    }

    std::wstring linea = Citado(CIFRADOR);
    for (const auto& a : argumentos) linea += L" " + Citado(a);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in.get();
    si.hStdOutput = out.get();
    si.hStdError = err.get();
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, linea.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi))
        throw std::runtime_error("CreateProcess");
    in.Cerrar();
    out.Cerrar();
    err.Cerrar();
    // A child that stops reading early makes the rest undeliverable, which is
    // not the parent's failure.
    for (std::size_t hecho = 0; alimentar.get() != nullptr && hecho < entrada.size();) {
        DWORD n = 0;
        const DWORD pedir = static_cast<DWORD>(std::min<std::size_t>(entrada.size() - hecho, 1 << 20));
        if (!WriteFile(alimentar.get(), entrada.data() + hecho, pedir, &n, nullptr) || n == 0) break;
        hecho += n;
    }
    alimentar.Cerrar();
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD estado = 0;
    GetExitCodeProcess(pi.hProcess, &estado);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    const std::string salida = destino == Destino::Archivo ? LeerArchivo(ruta_salida) : std::string();
    const std::string errores = LeerArchivo(ruta_errores);
    for (const auto& ruta : {ruta_entrada, ruta_salida, ruta_errores}) std::filesystem::remove(ruta);
    return {FinesLinux(salida), FinesLinux(errores), static_cast<int>(estado)};
}
