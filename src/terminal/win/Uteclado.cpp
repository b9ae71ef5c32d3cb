#include "Uteclado.h"

#include <atomic>
#include <cerrno>
#include <iterator>
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

// The errno for `error`, met reading the console: the C runtime's for the
// errors a console handle gives (what a read() of a pipe or file would say),
// an I/O error for any other.
int ErrnoDeSistema(DWORD error) {
    switch (error) {
        case ERROR_INVALID_HANDLE: return EBADF;
        case ERROR_ACCESS_DENIED: return EACCES;
        default: return EIO;
    }
}

}  // namespace

TecladoConsola::TecladoConsola(HANDLE entrada, LectorEventos leer) : entrada(entrada), leer(leer) { SetConsoleCtrlHandler(AlTerminar, TRUE); }

TecladoConsola::~TecladoConsola() {
    Cerrar();
    SetConsoleCtrlHandler(AlTerminar, FALSE);
    Borrar(cola, sizeof cola);
    Borrar(&repetida, sizeof repetida);
    Borrar(lote, sizeof lote);
}

void TecladoConsola::Abrir() {
    if (!GetConsoleMode(entrada, &modo_original)) return;
    abierta = true;
    modo_a_restaurar = modo_original;
    consola_editada = entrada;
    // Keys one at a time, Ctrl-C still the system's; arrows as key codes; a
    // change of the buffer's size as an event.
    SetConsoleMode(entrada, (modo_original | ENABLE_PROCESSED_INPUT | ENABLE_WINDOW_INPUT) &
                                ~(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_VIRTUAL_TERMINAL_INPUT));
}

void TecladoConsola::Cerrar() {
    if (!abierta) return;
    abierta = false;
    SetConsoleMode(entrada, modo_original);
    consola_editada = nullptr;
}

bool TecladoConsola::HayMas() {
    if (siguiente < en_cola || repeticiones > 0) return true;
    // Every key typed is followed by the event of letting it go, which is no
    // key to wait for: counted, it would keep what was typed off the screen.
    for (DWORD k = leidos; k < en_lote; ++k)
        if (!SinTecla(lote[k])) return true;
    return false;
}

bool TecladoConsola::Leer(Suceso& suceso, bool) {
    suceso.tipo = Suceso::Tipo::Tecla;
    Tecla& tecla = suceso.tecla;
    for (;;) {
        if (repeticiones > 0) {
            --repeticiones;
            tecla = repetida;
            return true;
        }
        if (siguiente < en_cola) {
            tecla = std::exchange(cola[siguiente++], Tecla{});
            return true;
        }
        if (leidos == en_lote) {
            // All the events there are, in one call: a paste comes in a few.
            leidos = en_lote = 0;
            const bool leido = leer(entrada, lote, static_cast<DWORD>(std::size(lote)), &en_lote);
            if (!leido) error_lectura = ErrnoDeSistema(GetLastError());
            if (!leido || en_lote == 0) return false;
        }
        INPUT_RECORD& evento = lote[leidos++];
        if (evento.EventType == WINDOW_BUFFER_SIZE_EVENT) {
            suceso = {Suceso::Tipo::Tamano, {}};
            return true;
        }
        en_cola = evento.EventType == KEY_EVENT ? TeclasDeEvento(evento.Event.KeyEvent, decodificador, cola) : 0;
        siguiente = 0;
        const WORD veces = evento.EventType == KEY_EVENT ? evento.Event.KeyEvent.wRepeatCount : 1;
        Borrar(&evento, sizeof evento);
        if (en_cola == 1 && veces > 1) {
            repetida = cola[0];
            repeticiones = static_cast<WORD>(veces - 1);
        }
    }
}

namespace {

// The named key of a virtual key.
bool Nombrada(WORD virtual_key, Tecla& tecla) {
    using N = Tecla::Nombre;
    if (virtual_key >= VK_F1 && virtual_key <= VK_F24) {
        tecla = {N::Funcion, static_cast<char32_t>(virtual_key - VK_F1 + 1), 0};
        return true;
    }
    switch (virtual_key) {
        case VK_LEFT: tecla = {N::Izquierda}; return true;
        case VK_RIGHT: tecla = {N::Derecha}; return true;
        case VK_UP: tecla = {N::Arriba}; return true;
        case VK_DOWN: tecla = {N::Abajo}; return true;
        case VK_HOME: tecla = {N::Inicio}; return true;
        case VK_END: tecla = {N::Fin}; return true;
        case VK_INSERT: tecla = {N::Insertar}; return true;
        case VK_DELETE: tecla = {N::Suprimir}; return true;
        case VK_PRIOR: tecla = {N::RePag}; return true;
        case VK_NEXT: tecla = {N::AvPag}; return true;
        case VK_BACK: tecla = {N::Retroceso}; return true;
        case VK_TAB: tecla = {N::Tabulador}; return true;
        case VK_RETURN: tecla = {N::Intro}; return true;
        case VK_ESCAPE: tecla = {N::Escape}; return true;
        default: return false;
    }
}

}  // namespace

std::size_t TeclasDeEvento(const KEY_EVENT_RECORD& evento, DecodificadorUtf16& decodificador, Tecla* teclas) {
    const wchar_t unidad = evento.uChar.UnicodeChar;
    unsigned modificadores = 0;
    // A character made with Alt and the numeric keypad comes as Alt is let go.
    if (!evento.bKeyDown) {
        if (evento.wVirtualKeyCode != VK_MENU || unidad == 0) return 0;
    } else {
        const DWORD estado = evento.dwControlKeyState;
        if ((estado & SHIFT_PRESSED) != 0) modificadores |= kMayus;
        if ((estado & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) != 0) modificadores |= kCtrl;
        if ((estado & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED)) != 0) modificadores |= kAlt;
        if (Nombrada(evento.wVirtualKeyCode, teclas[0])) {
            teclas[0] = ConModificadores(teclas[0], modificadores);
            return 1;
        }
        // AltGr's characters are typed, as a terminal sends them.
        const bool altgr = (modificadores & (kCtrl | kAlt)) == (kCtrl | kAlt);
        if (altgr && unidad != 0 && !EsControl(unidad)) modificadores &= ~(kCtrl | kAlt);
        if (unidad == 0) {
            // Ctrl or Alt with a letter the layout makes no character of.
            const WORD letra = evento.wVirtualKeyCode;
            if ((modificadores & (kCtrl | kAlt)) == 0 || letra < 'A' || letra > 'Z') return 0;
            teclas[0] = ConModificadores({Tecla::Nombre::Simbolo, static_cast<char32_t>(letra), 0}, modificadores);
            return 1;
        }
    }
    char32_t simbolos[2];
    const std::size_t n = decodificador.Entrar(static_cast<char16_t>(unidad), simbolos);
    for (std::size_t k = 0; k < n; ++k) teclas[k] = ConModificadores(TeclaDeSimbolo(simbolos[k]), modificadores);
    Borrar(simbolos, sizeof simbolos);
    return n;
}
