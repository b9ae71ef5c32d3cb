#include "Uconsola.h"

#include <algorithm>
#include <atomic>
#include <string>

namespace {

constexpr wchar_t kCtrlZ = 0x1A;

bool EscribirConsola(HANDLE consola, const wchar_t* texto, DWORD n) {
    while (n > 0) {
        DWORD escritos = 0;
        if (!WriteConsoleW(consola, texto, n, &escritos, nullptr) || escritos == 0) return false;
        texto += escritos;
        n -= escritos;
    }
    return true;
}

// The input console and its mode before the line editor changed it, for the
// handler of Ctrl-C and of the console's closing, which runs on a thread of
// its own while the program is being ended. There is one console per process.
std::atomic<HANDLE> consola_editada{nullptr};
std::atomic<DWORD> modo_a_restaurar{0};

BOOL WINAPI AlTerminar(DWORD suceso) {
    if (HANDLE h = consola_editada.load()) SetConsoleMode(h, modo_a_restaurar.load());
    // Ended by Ctrl-C with the status Windows gives it (Wine's default
    // handler would exit with 0, as if the dialogue had ended normally).
    if (suceso == CTRL_C_EVENT || suceso == CTRL_BREAK_EVENT) ExitProcess(static_cast<UINT>(STATUS_CONTROL_C_EXIT));
    return FALSE;  // the default handler then ends the process
}

}  // namespace

namespace {

// UTF-16 gathered in a block and written to a console a block at a time.
// Every character of the table lies in the Basic Multilingual Plane: one
// UTF-16 unit each. The block holds what is shown, typed keys included, and
// is wiped.
class Tramo {
public:
    explicit Tramo(HANDLE consola) : consola(consola) {}
    ~Tramo() { Borrar(datos, sizeof datos); }
    Tramo(const Tramo&) = delete;
    Tramo& operator=(const Tramo&) = delete;

    void Poner(char32_t caracter) {
        if (largo == std::size(datos)) Vaciar();
        datos[largo++] = static_cast<wchar_t>(caracter);
    }
    // False once the console has refused a block.
    bool Vaciar() {
        if (bien && largo > 0) bien = EscribirConsola(consola, datos, largo);
        largo = 0;
        return bien;
    }

private:
    HANDLE consola;
    wchar_t datos[256];
    DWORD largo = 0;
    bool bien = true;
};

}  // namespace

SalidaConsola::~SalidaConsola() {
    Tramo tramo(consola);
    mostrador.Terminar([&](char32_t c) { tramo.Poner(c); });
    tramo.Vaciar();
}

bool SalidaConsola::Mostrar(const char* bytes, std::size_t n) {
    Tramo tramo(consola);
    for (std::size_t k = 0; k < n; ++k) tramo.Poner(CaracterDeByte(static_cast<unsigned char>(bytes[k])));
    return tramo.Vaciar();
}

void SalidaConsola::Avisar(unsigned desconocidos) {
    const std::string aviso = AvisoDesconocidos(desconocidos) + "\n";
    const int largo = MultiByteToWideChar(CP_UTF8, 0, aviso.data(), static_cast<int>(aviso.size()), nullptr, 0);
    std::wstring utf16(static_cast<std::size_t>(largo), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, aviso.data(), static_cast<int>(aviso.size()), utf16.data(), largo);
    EscribirConsola(consola, utf16.data(), static_cast<DWORD>(utf16.size()));
}

SalidaConsola::int_type SalidaConsola::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
}

std::streamsize SalidaConsola::xsputn(const char* s, std::streamsize n) {
    Tramo tramo(consola);
    for (std::streamsize k = 0; k < n; ++k)
        mostrador.Entrar(static_cast<unsigned char>(s[k]), [&](char32_t c) { tramo.Poner(c); });
    return tramo.Vaciar() ? n : 0;
}

LineasConsola::LineasConsola(HANDLE entrada, SalidaConsola& eco) : entrada(entrada), eco(eco) {
    GetConsoleMode(entrada, &modo_original);
    modo_a_restaurar = modo_original;
    consola_editada = entrada;
    SetConsoleCtrlHandler(AlTerminar, TRUE);
    // Keys one at a time, Ctrl-C still the system's; arrows as key codes.
    SetConsoleMode(entrada, (modo_original | ENABLE_PROCESSED_INPUT) &
                                ~(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_VIRTUAL_TERMINAL_INPUT));
}

LineasConsola::~LineasConsola() {
    SetConsoleMode(entrada, modo_original);
    SetConsoleCtrlHandler(AlTerminar, FALSE);
    consola_editada = nullptr;
    Soltar();
}

void LineasConsola::Soltar() {
    Borrar(linea.data(), linea.size());
    linea.clear();
    desconocidos.clear();
    cursor = 0;
    ctrl_z = false;
    alto = 0;
}

LineasConsola::int_type LineasConsola::underflow() {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (entregada) Soltar();
    entregada = false;
    setg(nullptr, nullptr, nullptr);
    if (Editar() == Fin::Entrada) return traits_type::eof();
    linea.push_back('\n');
    entregada = true;
    setg(linea.data(), linea.data(), linea.data() + linea.size());
    return traits_type::to_int_type(*gptr());
}

LineasConsola::Fin LineasConsola::Editar() {
    Situar();
    for (;;) {
        INPUT_RECORD evento;
        DWORD n = 0;
        if (!ReadConsoleInputW(entrada, &evento, 1, &n) || n == 0) {
            Soltar();
            return Fin::Entrada;
        }
        const bool entrada_de_linea = evento.EventType == KEY_EVENT && !Tecla(evento.Event.KeyEvent);
        Borrar(&evento, sizeof evento);
        if (!entrada_de_linea) continue;
        if (!ctrl_z) {
            Llevar(linea.size());
            eco.Mostrar("\n", 1);
            if (const auto n = std::count(desconocidos.begin(), desconocidos.end(), 1); n > 0)
                eco.Avisar(static_cast<unsigned>(n));
            return Fin::Linea;
        }
        // The end of the input leaves nothing on the screen, as Ctrl-D at a
        // terminal does: the line is blanked there.
        Llevar(0);
        std::fill(linea.begin(), linea.end(), ' ');
        Redibujar(0, false);
        Soltar();
        return Fin::Entrada;
    }
}

bool LineasConsola::Tecla(const KEY_EVENT_RECORD& tecla) {
    const wchar_t caracter = tecla.uChar.UnicodeChar;
    // A character made with Alt and the numeric keypad comes as Alt is let go.
    if (!tecla.bKeyDown) {
        if (tecla.wVirtualKeyCode == VK_MENU && caracter != 0) Unidad(caracter);
        return true;
    }
    for (WORD vez = 0; vez < std::max<WORD>(tecla.wRepeatCount, 1); ++vez) {
        switch (tecla.wVirtualKeyCode) {
            case VK_RETURN: return false;
            case VK_BACK: Retroceder(); break;
            case VK_DELETE: Suprimir(); break;
            case VK_LEFT: if (cursor > 0) Llevar(cursor - 1); break;
            case VK_RIGHT: if (cursor < linea.size()) Llevar(cursor + 1); break;
            case VK_HOME: Llevar(0); break;
            case VK_END: Llevar(linea.size()); break;
            case VK_ESCAPE: break;  // as at the terminal, Esc types nothing
            default:
                if (caracter == L'\r' || caracter == L'\n') return false;
                if (caracter != 0) Unidad(caracter);
        }
    }
    return true;
}

void LineasConsola::Unidad(wchar_t unidad) {
    const bool alta = unidad >= 0xD800 && unidad < 0xDC00, baja = unidad >= 0xDC00 && unidad < 0xE000;
    if (alto != 0 && baja) {
        Teclear(0x10000 + ((static_cast<char32_t>(alto) - 0xD800) << 10) + (unidad - 0xDC00));
        alto = 0;
        return;
    }
    if (alto != 0) Teclear(alto);  // a high surrogate left alone
    alto = alta ? unidad : 0;
    if (!alta) Teclear(unidad);
}

void LineasConsola::Teclear(char32_t caracter) {
    if (cursor == 0) ctrl_z = caracter == kCtrlZ;
    if (cursor > 0) {
        char& anterior = linea[cursor - 1];
        const char32_t compuesto = Componer(CaracterDeByte(static_cast<unsigned char>(anterior)), caracter);
        if (compuesto != 0) {
            anterior = static_cast<char>(ByteDeCaracter(compuesto));
            Ir(cursor - 1);
            Redibujar(cursor - 1, false);
            return;
        }
    }
    const unsigned char byte = ByteDeCaracter(caracter);
    Insertar(byte, byte == '?' && caracter != U'?');
}

void LineasConsola::Insertar(unsigned char byte, bool desconocido) {
    linea.insert(linea.begin() + static_cast<std::ptrdiff_t>(cursor), static_cast<char>(byte));
    desconocidos.insert(desconocidos.begin() + static_cast<std::ptrdiff_t>(cursor), desconocido);
    ++cursor;
    Redibujar(cursor - 1, false);
}

void LineasConsola::Retroceder() {
    if (cursor == 0) return;
    Llevar(cursor - 1);
    Suprimir();
}

void LineasConsola::Suprimir() {
    if (cursor == linea.size()) return;
    if (cursor == 0) ctrl_z = false;
    linea.erase(linea.begin() + static_cast<std::ptrdiff_t>(cursor));
    desconocidos.erase(desconocidos.begin() + static_cast<std::ptrdiff_t>(cursor));
    Redibujar(cursor, true);
}

void LineasConsola::Redibujar(std::size_t desde, bool acortada) {
    eco.Mostrar(linea.data() + desde, linea.size() - desde);
    if (acortada) eco.Mostrar(" ", 1);
    const std::size_t fin = linea.size() + (acortada ? 1 : 0);
    Reajustar(fin);
    if (cursor != fin) Ir(cursor);
}

void LineasConsola::Llevar(std::size_t posicion) {
    if (posicion == cursor) return;
    cursor = posicion;
    Ir(cursor);
}

void LineasConsola::Situar() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(eco.Consola(), &info) || info.dwSize.X <= 0) return;
    ancho = info.dwSize.X;
    origen = info.dwCursorPosition.Y * ancho + info.dwCursorPosition.X;
}

void LineasConsola::Reajustar(std::size_t fin) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (ancho <= 0 || !GetConsoleScreenBufferInfo(eco.Consola(), &info)) return;
    const std::ptrdiff_t esperado = origen + static_cast<std::ptrdiff_t>(fin);
    // Past the last column the cursor is at the start of the next row, or,
    // on a console that wraps late, still in the last column.
    const bool tardio = esperado % ancho == 0 && info.dwCursorPosition.X == ancho - 1;
    const std::ptrdiff_t fila = info.dwCursorPosition.Y + (tardio ? 1 : 0);
    origen -= (esperado / ancho - fila) * ancho;
}

void LineasConsola::Ir(std::size_t posicion) {
    if (ancho <= 0) return;
    const std::ptrdiff_t lineal = std::max<std::ptrdiff_t>(0, origen + static_cast<std::ptrdiff_t>(posicion));
    SetConsoleCursorPosition(eco.Consola(), {static_cast<SHORT>(lineal % ancho), static_cast<SHORT>(lineal / ancho)});
}
