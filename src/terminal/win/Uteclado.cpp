#include "Uteclado.h"

#include <atomic>
#include <utility>

#include "Uborrado.h"

namespace {

// The input console and its mode before the editor changed it, for the
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

// Whether an event gives no key: no key event at all, a key let go (but Alt,
// with a character made on the numeric keypad), or a modifier pressed alone.
bool SinTecla(const INPUT_RECORD& evento) {
    if (evento.EventType != KEY_EVENT) return true;
    const KEY_EVENT_RECORD& tecla = evento.Event.KeyEvent;
    if (!tecla.bKeyDown) return tecla.wVirtualKeyCode != VK_MENU || tecla.uChar.UnicodeChar == 0;
    switch (tecla.wVirtualKeyCode) {
        case VK_SHIFT: case VK_CONTROL: case VK_MENU: case VK_CAPITAL: case VK_LWIN: case VK_RWIN:
            return tecla.uChar.UnicodeChar == 0;
        default: return false;
    }
}

}  // namespace

TecladoConsola::TecladoConsola(HANDLE entrada) : entrada(entrada) { SetConsoleCtrlHandler(AlTerminar, TRUE); }

TecladoConsola::~TecladoConsola() {
    Cerrar();
    SetConsoleCtrlHandler(AlTerminar, FALSE);
    Borrar(cola, sizeof cola);
    Borrar(&repetida, sizeof repetida);
}

void TecladoConsola::Abrir() {
    if (!GetConsoleMode(entrada, &modo_original)) return;
    abierta = true;
    modo_a_restaurar = modo_original;
    consola_editada = entrada;
    // Keys one at a time, Ctrl-C still the system's; arrows as key codes.
    SetConsoleMode(entrada, (modo_original | ENABLE_PROCESSED_INPUT) &
                                ~(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_VIRTUAL_TERMINAL_INPUT));
}

void TecladoConsola::Cerrar() {
    if (!abierta) return;
    abierta = false;
    SetConsoleMode(entrada, modo_original);
    consola_editada = nullptr;
}

bool TecladoConsola::Pendiente() {
    if (siguiente < en_cola || repeticiones > 0) return true;
    // Every key typed is followed by the event of letting it go: counted as
    // pending, it would keep what was typed off the screen until the next key.
    for (;;) {
        INPUT_RECORD evento;
        DWORD n = 0;
        if (!PeekConsoleInputW(entrada, &evento, 1, &n) || n == 0) return false;
        const bool ninguna = SinTecla(evento);
        if (ninguna) ReadConsoleInputW(entrada, &evento, 1, &n);
        Borrar(&evento, sizeof evento);
        if (!ninguna) return true;
    }
}

bool TecladoConsola::Leer(Tecla& tecla) {
    for (;;) {
        if (repeticiones > 0) {
            --repeticiones;
            tecla = repetida;
            return true;
        }
        if (siguiente < en_cola) {
            tecla = TeclaDeCaracter(std::exchange(cola[siguiente++], 0));
            return true;
        }
        INPUT_RECORD evento;
        DWORD n = 0;
        if (!ReadConsoleInputW(entrada, &evento, 1, &n) || n == 0) return false;
        const bool es_tecla = evento.EventType == KEY_EVENT && Traducir(evento.Event.KeyEvent, tecla);
        const WORD veces = evento.EventType == KEY_EVENT ? evento.Event.KeyEvent.wRepeatCount : 1;
        Borrar(&evento, sizeof evento);
        if (!es_tecla) continue;
        if (veces > 1 && siguiente == en_cola) {
            repetida = tecla;
            repeticiones = static_cast<WORD>(veces - 1);
        }
        return true;
    }
}

bool TecladoConsola::Traducir(const KEY_EVENT_RECORD& evento, Tecla& tecla) {
    using A = Tecla::Accion;
    const wchar_t unidad = evento.uChar.UnicodeChar;
    // A character made with Alt and the numeric keypad comes as Alt is let go.
    if (!evento.bKeyDown) {
        if (evento.wVirtualKeyCode != VK_MENU || unidad == 0) return false;
    } else {
        const DWORD estado = evento.dwControlKeyState;
        const bool ctrl = (estado & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) != 0;
        const bool alt = (estado & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED)) != 0;
        const bool modificada = ctrl || alt || (estado & SHIFT_PRESSED) != 0;
        const auto sin = [&](A accion) { return Tecla{modificada ? A::Nada : accion, 0}; };
        switch (evento.wVirtualKeyCode) {
            case VK_LEFT: tecla = ctrl && !alt ? Tecla{A::PalabraAnterior, 0} : sin(A::Izquierda); return true;
            case VK_RIGHT: tecla = ctrl && !alt ? Tecla{A::PalabraSiguiente, 0} : sin(A::Derecha); return true;
            case VK_HOME: tecla = sin(A::Inicio); return true;
            case VK_END: tecla = sin(A::Fin); return true;
            case VK_DELETE: tecla = sin(A::Suprimir); return true;
            case VK_BACK: tecla = ctrl || alt ? Tecla{} : TeclaDeCaracter(0x08); return true;
            case VK_RETURN: tecla = TeclaDeCaracter('\r'); return true;
            case VK_ESCAPE: tecla = {A::Nada, 0x1B}; return true;
            case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT: case VK_INSERT: tecla = {}; return true;
            default: break;
        }
        if (evento.wVirtualKeyCode >= VK_F1 && evento.wVirtualKeyCode <= VK_F24) {
            tecla = {};
            return true;
        }
        // Alt alone with a letter; AltGr (Ctrl and Alt) types characters.
        if (alt && !ctrl) {
            tecla = evento.wVirtualKeyCode == 'B'   ? Tecla{A::PalabraAnterior, 0}
                    : evento.wVirtualKeyCode == 'F' ? Tecla{A::PalabraSiguiente, 0}
                                                    : Tecla{};
            return true;
        }
        if (unidad == 0) return false;
    }
    char32_t caracteres[2];
    const std::size_t n = decodificador.Entrar(static_cast<char16_t>(unidad), caracteres);
    if (n == 0) return false;
    tecla = TeclaDeCaracter(caracteres[0]);
    cola[0] = n > 1 ? caracteres[1] : 0;
    en_cola = n - 1;
    siguiente = 0;
    Borrar(caracteres, sizeof caracteres);
    return true;
}
