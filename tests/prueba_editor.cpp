// The line editor's core, the same on every platform: key scripts give a line
// and a cursor, and whatever the screen's width and height, after every key
// the screen shows the prompt and the line around the cursor, each row
// exactly, the cursor on its byte; after Enter the terminal's history holds
// the whole line; a change of size leaves it on the screen once.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "Ueditor.h"
#include "Utabla850.h"
#include "Uutf.h"
#include "rejilla.h"

namespace {

// A key for the scripts: characters below U+E000 are read as a terminal's
// (TeclaDeSimbolo, as both platforms read them); U+E000 plus a named key,
// plus 32 times its modifiers, is that key.
using N = Tecla::Nombre;
constexpr char32_t K(N nombre, unsigned modificadores = 0) {
    return 0xE000 + static_cast<char32_t>(nombre) + 32 * modificadores;
}
const std::u32string IZQ{K(N::Izquierda)}, DER{K(N::Derecha)}, INI{K(N::Inicio)}, FIN{K(N::Fin)},
    SUP{K(N::Suprimir)}, PANT{K(N::Izquierda, kCtrl)}, PSIG{K(N::Derecha, kCtrl)}, NADA{K(N::Arriba)},
    REDIB{U"\x0c"};

Tecla DeGuion(char32_t c) {
    if (c < 0xE000 || c >= 0xE100) return TeclaDeSimbolo(c);
    return {static_cast<N>((c - 0xE000) % 32), 0, static_cast<unsigned char>((c - 0xE000) / 32)};
}

struct Guion {
    std::u32string teclas;
    std::string linea;  // bytes
    std::size_t cursor;
    Lectura resultado = Lectura::Sigue;
    std::size_t desconocidos = 0;
};

const Guion kGuiones[] = {
    {U"abc", "abc", 3},
    {U"abc" + IZQ + IZQ + U"X" + DER + DER + DER + U"Y", "aXbcY", 5},
    {U"abc\x01X\x05Y\x02\x02Z\x06", "XabZcY", 5},
    {U"abc" + INI + U"X" + FIN + U"Y", "XabcY", 5},
    {U"\x7f\x08" + SUP + U"abcd\x7f" + IZQ + IZQ + U"\x08" + SUP, "c", 0},
    {U"uno dos tres" + IZQ + IZQ + U"\x0b", "uno dos tr", 10},
    {U"uno dos tres" + IZQ + IZQ + U"\x15", "es", 0},
    {U"uno dos  tres\x17", "uno dos  ", 9},
    {U"uno dos   \x17", "uno ", 4},
    {U"uno\tdos" + IZQ + U"\x17", "uno\ts", 4},
    {U"uno dos tres" + PANT + PANT + U"X" + PSIG + U"Y" + INI + PSIG + U"Z", "unoZ XdosY tres", 4},
    // A mark composes with the byte left of the cursor, wherever it is.
    {U"cafe\u0301 mana" + IZQ + U"\u0303", "caf\x82 ma\xa4" "a", 8},
    {U"\u0301e\u0301\u0301", "?\x82?", 3, Lectura::Sigue, 2},
    {U"5€ ?\t😀", "5? ?\t?", 6, Lectura::Sigue, 2},
    {U"␠⌂‐⍽␛", " \x7f\xf0\xff\x1b", 5},
    // Ctrl-V types the next key as its byte; a newline it does not.
    {U"\x16\x01\x16\t\x16\r\x16\n\x16" + IZQ + U"\x16" + U"a", "\x01\ta\r", 3},
    // Keys with no meaning insert and move nothing.
    {U"ab" + NADA + U"\x10\x0e\x12\x14\x07\x1b\x1c\x1f" + std::u32string(1, 0) + U"c", "abc", 3},
    {U"abc" + REDIB + U"\x0c" + IZQ, "abc", 2},
    {U"hola\r", "hola", 4, Lectura::Linea},
    {U"\r", "", 0, Lectura::Linea},
    {U"\x04", "", 0, Lectura::FinDeEntrada},
    // Ctrl-D on a line that is not empty deletes the byte under the cursor.
    {U"ab\x04" + IZQ + IZQ + U"\x04", "b", 0},
    {U"\x1a" U"abc\r", "\x1a" "abc", 4, Lectura::FinDeEntrada},
    {U"a\x1a\r", "a\x1a", 2, Lectura::Linea},
    {U"abc" + INI + U"\x1a\r", "\x1a" "abc", 1, Lectura::FinDeEntrada},
    {U"\x16\x1a\r", "\x1a", 1, Lectura::Linea},
    {std::u32string(70, U'x') + INI + U"ñ" + FIN + IZQ + U"\x7f" + U"é", "\xa4" + std::string(68, 'x') + "\x82x", 70},
    // A tall line shrinking at its end: the screen shows its last rows.
    {std::u32string(60, U'x') + std::u32string(12, U'\x7f'), std::string(48, 'x'), 48},
};

// Starts a line after `texto`, not yet on the screen.
void Empezar(Editor& editor, const std::string& texto) {
    CadenaExt prompt(0);
    for (const char c : texto) prompt.Agregar(static_cast<unsigned char>(c));
    editor.Empezar(prompt);
}

// What the screen shows for `prompt` and `linea`, one character per byte.
std::u32string Texto(const std::string& prompt, const std::string& linea) {
    std::u32string texto;
    for (const char c : prompt + linea) texto += SimboloDeByte(static_cast<unsigned char>(c));
    return texto;
}

std::string Bytes(const LineaTecleada& linea) { return {linea.Datos(), linea.Datos() + linea.Largo()}; }

#define EXPECT_MUESTRA(rejilla, texto, cursor)                                  \
    do {                                                                       \
        std::string por_que;                                                   \
        EXPECT_TRUE((rejilla).MuestraLinea((texto), (cursor), por_que)) << por_que << (rejilla).Volcado(); \
    } while (false)

struct Medida {
    std::size_t ancho, alto;
    bool consola;  // a Windows console that wraps at once, through PantallaConsola
};

// A model terminal, and the screen the editor draws on: the terminal itself,
// or the console's screen over it.
struct Entorno {
    Entorno(std::size_t ancho, std::size_t alto, bool reflujo, bool en_consola)
        : rejilla(ancho, alto, reflujo), pantalla(en_consola ? static_cast<Pantalla&>(consola) : rejilla) {}
    Rejilla rejilla;
    SinTeclas teclas;
    ConsolaModelo modelo{rejilla};
    PantallaConsola consola{modelo};
    Pantalla& pantalla;
};

class EditorEnPantalla : public testing::TestWithParam<Medida> {};

TEST_P(EditorEnPantalla, GuionesDeTeclas) {
    const std::string prompt = "Clave: ";
    for (const bool cada_tecla : {false, true}) {
        for (const Guion& guion : kGuiones) {
            SCOPED_TRACE(testing::Message() << "guion " << &guion - kGuiones << (cada_tecla ? ", cada tecla" : ""));
            Entorno entorno(GetParam().ancho, GetParam().alto, false, GetParam().consola);
            Rejilla& rejilla = entorno.rejilla;
            rejilla.Escribir(U"######");
            Editor editor(entorno.teclas, entorno.pantalla);
            Empezar(editor, prompt);
            Lectura resultado = Lectura::Sigue;
            for (const char32_t c : guion.teclas) {
                ASSERT_EQ(resultado, Lectura::Sigue);
                resultado = Pulsar(editor, DeGuion(c));
                if (!cada_tecla || resultado != Lectura::Sigue) continue;
                editor.Refrescar();
                EXPECT_MUESTRA(rejilla, Texto(prompt, Bytes(editor.Leida())), prompt.size() + editor.Leida().Cursor());
            }
            EXPECT_EQ(resultado, guion.resultado);
            const LineaTecleada& linea = editor.Leida();
            EXPECT_EQ(Bytes(linea), guion.linea);
            EXPECT_EQ(linea.Cursor(), guion.cursor);
            EXPECT_EQ(linea.Desconocidos(), guion.desconocidos);
            editor.Refrescar();
            EXPECT_MUESTRA(rejilla, Texto(prompt, guion.linea), prompt.size() + guion.cursor);
            if (resultado == Lectura::Sigue) continue;
            editor.Acabar(resultado);
            if (resultado == Lectura::FinDeEntrada) {
                EXPECT_MUESTRA(rejilla, Texto(prompt, ""), prompt.size());
                EXPECT_EQ(editor.Leida().Largo(), 0u);
            } else {
                // The cursor on the row after the line, the line whole above it.
                EXPECT_TRUE(rejilla.HistoriaConLinea(Texto(prompt, guion.linea)));
                EXPECT_FALSE(rejilla.espera);
            }
        }
    }
}

// A line much taller than the screen, edited at its start and at its end.
TEST_P(EditorEnPantalla, LineaMasAltaQueLaPantalla) {
    const Medida m = GetParam();
    Entorno entorno(m.ancho, m.alto, false, m.consola);
    Rejilla& rejilla = entorno.rejilla;
    rejilla.Escribir(U"######");
    Editor editor(entorno.teclas, entorno.pantalla);
    const std::string prompt = "Escriba: ";
    Empezar(editor, prompt);
    std::string linea;
    for (std::size_t n = 0; n < 3 * m.ancho * m.alto + 5; ++n) linea += static_cast<char>('a' + n % 26);
    for (const char c : linea) Pulsar(editor, DeGuion(static_cast<unsigned char>(c)));  // a paste
    editor.Refrescar();
    EXPECT_MUESTRA(rejilla, Texto(prompt, linea), prompt.size() + linea.size());
    const std::u32string guion = INI + U"A\x0b" + U"hola" + IZQ + IZQ + FIN + PANT + INI + DER;
    std::string esperada = "Ahola";
    for (const char32_t c : guion) {
        const std::size_t antes = rejilla.simbolos;
        Pulsar(editor, DeGuion(c));
        editor.Refrescar();
        EXPECT_MUESTRA(rejilla, Texto(prompt, Bytes(editor.Leida())), prompt.size() + editor.Leida().Cursor());
        // Bounded by the screen, not by the line.
        EXPECT_LE(rejilla.simbolos - antes, 2 * m.ancho * m.alto + m.ancho);
    }
    EXPECT_EQ(Bytes(editor.Leida()), esperada);
    // Long again, then Enter at its start: the history holds it whole.
    Pulsar(editor, DeGuion(FIN[0]));
    for (const char c : linea) Pulsar(editor, DeGuion(static_cast<unsigned char>(c)));
    Pulsar(editor, DeGuion(INI[0]));
    editor.Refrescar();
    EXPECT_EQ(Pulsar(editor, DeGuion(U'\r')), Lectura::Linea);
    editor.Acabar(Lectura::Linea);
    EXPECT_TRUE(rejilla.HistoriaConLinea(Texto(prompt, esperada + linea)));
}

INSTANTIATE_TEST_SUITE_P(Medidas, EditorEnPantalla,
                         testing::Values(Medida{7, 40, false}, Medida{13, 40, false}, Medida{80, 24, false},
                                         Medida{7, 3, false}, Medida{13, 2, false}, Medida{5, 1, false},
                                         Medida{1, 4, false}, Medida{7, 40, true}, Medida{80, 24, true},
                                         Medida{13, 2, true}, Medida{1, 4, true}),
                         [](const testing::TestParamInfo<Medida>& p) {
                             return std::to_string(p.param.ancho) + "x" + std::to_string(p.param.alto) +
                                    (p.param.consola ? "Consola" : "");
                         });

// A change of size while a wrapped line is edited, at terminals that rewrap
// their rows and at ones that keep them, told where the cursor went or not,
// and at a console that says where its cursor is: the line once on the
// screen, the cursor on its byte, nothing of it left above, and, where the
// editor was told where the cursor went, what was above it untouched.
struct Cambio {
    bool reflujo, informe, consola;
};

// A line of `largo` characters after `prompt`, the cursor `desde_fin` from
// its end, on a screen of the first size and then of each of the others.
struct Recorrido {
    std::string prompt;
    std::size_t largo, desde_fin;
    std::vector<std::pair<std::size_t, std::size_t>> medidas;
};

const std::string kMenu = "(C)ifrar/(D)escifrar/(S)alir?: ";
const Recorrido kRecorridos[] = {
    {kMenu, 60, 7, {{40, 12}, {40, 12}, {25, 12}, {80, 12}, {37, 5}, {50, 3}, {9, 30}, {80, 24}, {13, 2}, {60, 8}}},
    {kMenu, 90, 5, {{40, 12}, {37, 2}, {43, 3}, {52, 3}, {62, 10}}},
    {kMenu, 100, 0, {{40, 12}, {9, 7}, {39, 7}}},
    {"", 800, 800, {{80, 24}, {60, 12}, {80, 24}}},
    {"", 1500, 1500, {{80, 24}, {40, 8}, {20, 4}, {80, 24}}},
    {"", 1500, 0, {{80, 24}, {40, 8}, {20, 4}, {80, 24}}},
    {kMenu, 6, 0, {{1, 1}, {80, 24}}},
};

class CambioDeTamano : public testing::TestWithParam<Cambio> {};

TEST_P(CambioDeTamano, LaLineaQuedaUnaVezEnLaPantalla) {
    const Cambio cambio = GetParam();
    for (const Recorrido& recorrido : kRecorridos) {
        SCOPED_TRACE(testing::Message() << "recorrido " << &recorrido - kRecorridos);
        const std::string& prompt = recorrido.prompt;
        Entorno entorno(recorrido.medidas[0].first, recorrido.medidas[0].second, cambio.reflujo, cambio.consola);
        Rejilla& rejilla = entorno.rejilla;
        for (int n = 0; n < 5; ++n) rejilla.Escribir(U"#### " + std::u32string(static_cast<std::size_t>(n) * 9, U'='));
        Editor editor(entorno.teclas, entorno.pantalla);
        Empezar(editor, prompt);
        const std::string frase = "cifrar a lo largo de varias filas de la pantalla, y algo mas";
        std::string texto;
        while (texto.size() < recorrido.largo) texto += frase.substr(0, recorrido.largo - texto.size());
        for (const char c : texto) Pulsar(editor, DeGuion(static_cast<unsigned char>(c)));
        for (std::size_t vez = 0; vez < recorrido.desde_fin; ++vez) Pulsar(editor, DeGuion(IZQ[0]));
        editor.Refrescar();
        std::size_t cursor = texto.size() - recorrido.desde_fin;
        for (const auto& [ancho, alto] : recorrido.medidas) {
            SCOPED_TRACE(testing::Message() << ancho << "x" << alto);
            rejilla.CambiarTamano(ancho, alto);
            if (cambio.consola) {
                editor.Refrescar();  // a console's change is seen here
            } else {
                editor.Tomar({Suceso::Tipo::Tamano, {}, cambio.informe ? rejilla.y + 1 : 0, cambio.informe ? rejilla.x + 1 : 0});
            }
            EXPECT_MUESTRA(rejilla, Texto(prompt, texto), prompt.size() + cursor);
            Pulsar(editor, DeGuion(U'!'));
            editor.Refrescar();
            texto.insert(texto.begin() + static_cast<std::ptrdiff_t>(cursor++), '!');
            EXPECT_MUESTRA(rejilla, Texto(prompt, texto), prompt.size() + cursor);
            if (cambio.informe) {
                EXPECT_TRUE(rejilla.AnteriorIntacta()) << rejilla.Volcado();
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Terminales, CambioDeTamano,
                         testing::Values(Cambio{true, true, false}, Cambio{false, true, false},
                                         Cambio{true, false, false}, Cambio{false, false, false},
                                         Cambio{true, true, true}, Cambio{false, true, true}),
                         [](const testing::TestParamInfo<Cambio>& p) {
                             return std::string(p.param.reflujo ? "Reflujo" : "SinReflujo") +
                                    (p.param.consola ? "Consola" : p.param.informe ? "ConInforme" : "SinInforme");
                         });

TEST(Entrada, Utf16DeLaConsola) {
    const auto decodificar = [](const std::u16string& unidades) {
        DecodificadorUtf16 decodificador;
        std::u32string simbolos;
        for (const char16_t u : unidades) {
            char32_t salida[2];
            simbolos.append(salida, decodificador.Entrar(u, salida));
        }
        return simbolos;
    };
    EXPECT_TRUE(decodificar(u"añ\U0001F600z") == U"añ\U0001F600z");
    // A surrogate left alone is a character the table lacks, however it ends.
    EXPECT_TRUE(decodificar(u"\xD83Dz\xDE00\xD83D\xD83D\xDE00") == U"\xFFFDz\xFFFD\xFFFD\U0001F600");
}

}  // namespace
