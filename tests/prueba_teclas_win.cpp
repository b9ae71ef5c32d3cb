// The Windows console's key events against the same key model: each key the
// terminal families declare (the rows of the terminfo test) as the console
// reports it, with the same modifiers, with and without Alt, is the same key
// and does the same; AltGr's characters are typed, Alt's are not.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Uteclado.h"
#include "rejilla.h"
#include "teclas.h"

namespace {

using N = Tecla::Nombre;

// A key pressed as the console reports it: the virtual key, the character the
// layout makes of it, the state of the modifiers.
KEY_EVENT_RECORD Evento(WORD virtual_key, wchar_t simbolo, DWORD estado, BOOL abajo = TRUE) {
    KEY_EVENT_RECORD evento{};
    evento.bKeyDown = abajo;
    evento.wRepeatCount = 1;
    evento.wVirtualKeyCode = virtual_key;
    evento.uChar.UnicodeChar = simbolo;
    evento.dwControlKeyState = estado;
    return evento;
}

DWORD Estado(unsigned modificadores) {
    return ((modificadores & kMayus) != 0 ? SHIFT_PRESSED : 0) | ((modificadores & kCtrl) != 0 ? LEFT_CTRL_PRESSED : 0) |
           ((modificadores & kAlt) != 0 ? LEFT_ALT_PRESSED : 0);
}

// The event of a named key, with the character Windows gives it.
KEY_EVENT_RECORD EventoDe(const Tecla& tecla) {
    const bool ctrl = (tecla.modificadores & kCtrl) != 0;
    WORD vk = 0;
    wchar_t simbolo = 0;
    switch (tecla.nombre) {
        case N::Izquierda: vk = VK_LEFT; break;
        case N::Derecha: vk = VK_RIGHT; break;
        case N::Arriba: vk = VK_UP; break;
        case N::Abajo: vk = VK_DOWN; break;
        case N::Inicio: vk = VK_HOME; break;
        case N::Fin: vk = VK_END; break;
        case N::Insertar: vk = VK_INSERT; break;
        case N::Suprimir: vk = VK_DELETE; break;
        case N::RePag: vk = VK_PRIOR; break;
        case N::AvPag: vk = VK_NEXT; break;
        case N::Retroceso: vk = VK_BACK; simbolo = ctrl ? 0x7F : 0x08; break;
        case N::Tabulador: vk = VK_TAB; simbolo = 0x09; break;
        case N::Intro: vk = VK_RETURN; simbolo = 0x0D; break;
        case N::Escape: vk = VK_ESCAPE; simbolo = 0x1B; break;
        case N::Funcion: vk = static_cast<WORD>(VK_F1 + tecla.simbolo - 1); break;
        case N::Simbolo: break;
    }
    return Evento(vk, simbolo, Estado(tecla.modificadores));
}

std::vector<Tecla> Teclas(const std::vector<KEY_EVENT_RECORD>& eventos) {
    DecodificadorUtf16 decodificador;
    std::vector<Tecla> teclas;
    for (const KEY_EVENT_RECORD& evento : eventos) {
        Tecla salida[2];
        teclas.insert(teclas.end(), salida, salida + TeclasDeEvento(evento, decodificador, salida));
    }
    return teclas;
}

TEST(TeclasConsola, LasMismasFilasQueEnTerminfoConYSinAlt) {
    std::size_t probadas = 0;
    for (const TeclaDeclarada& declarada : LeerTeclasTerminfo()) {
        for (const bool alt : {false, true}) {
            SCOPED_TRACE(declarada.familia + " " + declarada.capacidad + (alt ? " con Alt" : ""));
            const Tecla esperada = ConModificadores(declarada.tecla, alt ? kAlt : 0);
            const std::vector<Tecla> teclas = Teclas({EventoDe(esperada)});
            ASSERT_EQ(teclas.size(), 1u);
            EXPECT_TRUE(MismaTecla(teclas[0], esperada)) << Describir(teclas[0]);
            EXPECT_EQ(AccionDeTecla(teclas[0]), AccionEsperada(esperada));
            ++probadas;
        }
    }
    EXPECT_GT(probadas, 2000u);
}

constexpr DWORD kAltGr = RIGHT_ALT_PRESSED | LEFT_CTRL_PRESSED;

TEST(TeclasConsola, AltGrEscribeAltNoYLosCaracteresDeControl) {
    // "uno dos", then AltGr's @ # € [ { (a Spanish keyboard); Alt with x, and
    // with B and F (one with Shift, one without a character); Ctrl-A and
    // Ctrl-Shift-E; a character made with Alt on the keypad; a character of
    // two UTF-16 units; Ctrl-Alt-B with no character (not AltGr).
    const std::vector<KEY_EVENT_RECORD> eventos = {
        Evento('U', L'u', 0), Evento('N', L'n', 0), Evento('O', L'o', 0), Evento(VK_SPACE, L' ', 0),
        Evento('D', L'd', 0), Evento('O', L'o', 0), Evento('S', L's', 0),
        Evento('2', L'@', kAltGr), Evento('3', L'#', kAltGr), Evento('E', L'\u20ac', kAltGr),
        Evento(VK_OEM_1, L'[', kAltGr), Evento(VK_OEM_7, L'{', kAltGr | SHIFT_PRESSED),
        Evento('X', L'x', LEFT_ALT_PRESSED), Evento('B', L'B', LEFT_ALT_PRESSED | SHIFT_PRESSED),
        Evento('Z', L'z', 0), Evento('F', 0, LEFT_ALT_PRESSED), Evento('Y', L'y', 0),
        Evento('A', 0x01, LEFT_CTRL_PRESSED), Evento('W', L'W', SHIFT_PRESSED), Evento('E', 0x05, LEFT_CTRL_PRESSED | SHIFT_PRESSED),
        Evento(VK_MENU, L'\u00f1', 0, FALSE), Evento(0, 0xD83D, 0), Evento(0, 0xDE00, 0),
        Evento('B', 0, LEFT_CTRL_PRESSED | LEFT_ALT_PRESSED),
    };
    EXPECT_EQ(LineaTras(Teclas(eventos)), "Wuno zdos@#?[{y\xa4?");
}

TEST(TeclasConsola, CtrlVConTeclasQueEnvianUnCaracterDeControl) {
    // Backspace, Ctrl-H, Enter, Tab and Escape after Ctrl-V: bytes 127, 8, 13,
    // 9 and 27, as on a terminal; Left after it moves.
    const KEY_EVENT_RECORD ctrl_v = Evento('V', 0x16, LEFT_CTRL_PRESSED);
    const std::vector<KEY_EVENT_RECORD> eventos = {
        ctrl_v, EventoDe({N::Retroceso}), ctrl_v, Evento('H', 0x08, LEFT_CTRL_PRESSED),
        ctrl_v, EventoDe({N::Intro}), ctrl_v, EventoDe({N::Tabulador}), ctrl_v, EventoDe({N::Escape}),
        ctrl_v, EventoDe({N::Izquierda}), Evento('A', L'a', 0),
    };
    EXPECT_EQ(LineaTras(Teclas(eventos)), "\x7f\x08\r\ta\x1b");
}

// Events for the console's own reader, all in one read, then none: the
// console is gone.
std::vector<INPUT_RECORD> guion;
BOOL LeerGuion(HANDLE, INPUT_RECORD* eventos, DWORD maximo, DWORD* leidos) {
    *leidos = static_cast<DWORD>(std::min<std::size_t>(maximo, guion.size()));
    std::copy_n(guion.begin(), *leidos, eventos);
    guion.erase(guion.begin(), guion.begin() + *leidos);
    return *leidos > 0;
}

// Through the console's reader and the loop that reads a line, as the program
// reads them: a key event repeated three times types three characters;
// Escape then B is Alt-B; a CR LF pasted into the console (the LF comes as
// Ctrl-Enter) is one line end, so the next line is what follows it.
TEST(TeclasConsola, RepeticionesEscapeYCrLfPegado) {
    KEY_EVENT_RECORD tres_a = Evento('A', L'a', 0);
    tres_a.wRepeatCount = 3;
    const KEY_EVENT_RECORD intro = EventoDe({N::Intro}), lf = Evento(VK_RETURN, L'\n', LEFT_CTRL_PRESSED);
    for (const KEY_EVENT_RECORD& evento : {tres_a, EventoDe({N::Escape}), Evento('B', L'b', 0), Evento('X', L'X', SHIFT_PRESSED),
                                          intro, lf, Evento('Z', L'z', 0), intro}) {
        INPUT_RECORD registro{};
        registro.EventType = KEY_EVENT;
        registro.Event.KeyEvent = evento;
        guion.push_back(registro);
    }
    TecladoConsola teclado(nullptr, &LeerGuion);
    Rejilla pantalla(80, 24);
    Editor editor(teclado, pantalla);
    for (const char* esperada : {"Xaaa", "z"}) {
        ASSERT_EQ(editor.Leer(CadenaExt(0)), Lectura::Linea);
        EXPECT_EQ(std::string(editor.Leida().Datos(), editor.Leida().Datos() + editor.Leida().Largo()), esperada);
    }
}

}  // namespace
