// The line editor's core, the same on every platform: key scripts give a line
// and a cursor, and whatever the width, the screen it drew holds exactly the
// prompt and the line, wrapped, with the cursor on its byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Ueditor.h"
#include "Utabla850.h"

namespace {

// A terminal reduced to its cells, counted from the prompt's first: a
// character written in the last column of a row leaves the cursor there
// until the next one (as terminals do), and a change of width rewraps the
// cells as they are.
class Rejilla final : public Pantalla {
public:
    explicit Rejilla(std::size_t ancho) : ancho(ancho) {}

    bool Poner(const char32_t* caracteres, std::size_t n) override {
        for (std::size_t k = 0; k < n; ++k) {
            if (caracteres[k] == '\n') {
                if (!pendiente) cursor = (cursor / ancho + 1) * ancho;
                pendiente = false;
                continue;
            }
            pendiente = false;
            if (celdas.size() <= cursor) celdas.resize(cursor + 1, U' ');
            celdas[cursor++] = caracteres[k];
            pendiente = cursor % ancho == 0;
        }
        return true;
    }
    bool Vaciar() override { return true; }
    std::size_t Ancho() override { return ancho; }
    void Ir(std::size_t desde, std::size_t hasta, std::size_t a) override {
        EXPECT_FALSE(pendiente) << "moved from the last column";
        EXPECT_EQ(desde, cursor) << "the editor lost the cursor";
        EXPECT_EQ(a, ancho);
        cursor = hasta;
    }
    void Limpiar(std::size_t) override {
        EXPECT_FALSE(pendiente);
        if (celdas.size() > cursor) celdas.resize(cursor);
    }
    void FinDeFila() override {
        EXPECT_TRUE(pendiente) << "no row to end";
        pendiente = false;
    }

    std::u32string Texto() const {
        std::u32string texto(celdas);
        while (!texto.empty() && texto.back() == U' ') texto.pop_back();
        return texto;
    }

    std::size_t ancho;
    std::u32string celdas;
    std::size_t cursor = 0;
    bool pendiente = false;
};

// A key for the scripts: characters below U+E000 are read as a terminal's
// (TeclaDeCaracter, as both platforms read them); U+E000 plus a named key,
// plus 32 times its modifiers, is that key.
using N = Tecla::Nombre;
constexpr char32_t K(N nombre, unsigned modificadores = 0) {
    return 0xE000 + static_cast<char32_t>(nombre) + 32 * modificadores;
}
const std::u32string IZQ{K(N::Izquierda)}, DER{K(N::Derecha)}, INI{K(N::Inicio)}, FIN{K(N::Fin)},
    SUP{K(N::Suprimir)}, PANT{K(N::Izquierda, kCtrl)}, PSIG{K(N::Derecha, kCtrl)}, NADA{K(N::Arriba)},
    REDIB{U"\x0c"};

Tecla DeGuion(char32_t c) {
    if (c < 0xE000 || c >= 0xE100) return TeclaDeCaracter(c);
    return {static_cast<N>((c - 0xE000) % 32), 0, static_cast<unsigned char>((c - 0xE000) / 32)};
}

struct Guion {
    std::u32string teclas;
    std::string linea;  // bytes
    std::size_t cursor;
    Editor::Resultado resultado = Editor::Resultado::Sigue;
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
    {U"\u0301e\u0301\u0301", "?\x82?", 3, Editor::Resultado::Sigue, 2},
    {U"5€ ?\t😀", "5? ?\t?", 6, Editor::Resultado::Sigue, 2},
    {U"␠⌂‐⍽␛", " \x7f\xf0\xff\x1b", 5},
    // Ctrl-V types the next key as its byte; a newline it does not.
    {U"\x16\x01\x16\t\x16\r\x16\n\x16" + IZQ + U"\x16" + U"a", "\x01\ta\r", 3},
    // Keys with no meaning insert and move nothing.
    {U"ab" + NADA + U"\x10\x0e\x12\x14\x07\x1b\x1c\x1f" + std::u32string(1, 0) + U"c", "abc", 3},
    {U"abc" + REDIB + U"\x0c" + IZQ, "abc", 2},
    {U"hola\r", "hola", 4, Editor::Resultado::Linea},
    {U"\r", "", 0, Editor::Resultado::Linea},
    {U"\x04", "", 0, Editor::Resultado::FinDeEntrada},
    {U"a\x04" + IZQ + U"\x04", "a", 0},
    {U"\x1a" U"abc\r", "\x1a" "abc", 4, Editor::Resultado::FinDeEntrada},
    {U"a\x1a\r", "a\x1a", 2, Editor::Resultado::Linea},
    {U"abc" + INI + U"\x1a\r", "\x1a" "abc", 1, Editor::Resultado::FinDeEntrada},
    {U"\x16\x1a\r", "\x1a", 1, Editor::Resultado::Linea},
    {std::u32string(70, U'x') + INI + U"ñ" + FIN + IZQ + U"\x7f" + U"é", "\xa4" + std::string(68, 'x') + "\x82x", 70},
};

// Starts a line after `texto`, not yet on the screen.
void Empezar(Editor& editor, const std::string& texto) {
    CadenaExt prompt(0);
    for (const char c : texto) prompt.Agregar(static_cast<unsigned char>(c));
    editor.Empezar(prompt);
}

std::u32string Mostrado(const std::string& prompt, const std::string& linea) {
    std::u32string texto;
    for (const char c : prompt + linea) texto += CaracterDeByte(static_cast<unsigned char>(c));
    while (!texto.empty() && texto.back() == U' ') texto.pop_back();
    return texto;
}

class EditorEnPantalla : public testing::TestWithParam<std::size_t> {};

TEST_P(EditorEnPantalla, GuionesDeTeclas) {
    const std::string prompt = "Clave: ";
    // At width 7 the prompt fills a row; at 13 every key is drawn at once.
    const bool cada_tecla = GetParam() == 13;
    for (const Guion& guion : kGuiones) {
        SCOPED_TRACE(testing::Message() << "guion " << &guion - kGuiones);
        Rejilla rejilla(GetParam());
        Editor editor(rejilla);
        Empezar(editor, prompt);
        Editor::Resultado resultado = Editor::Resultado::Sigue;
        for (const char32_t c : guion.teclas) {
            ASSERT_EQ(resultado, Editor::Resultado::Sigue);
            resultado = editor.Aplicar(DeGuion(c));
            if (cada_tecla && resultado == Editor::Resultado::Sigue) editor.Refrescar();
        }
        EXPECT_EQ(resultado, guion.resultado);
        const LineaTecleada& linea = editor.Linea();
        EXPECT_EQ(std::string(linea.Datos(), linea.Datos() + linea.Largo()), guion.linea);
        EXPECT_EQ(linea.Cursor(), guion.cursor);
        EXPECT_EQ(linea.Desconocidos(), guion.desconocidos);
        editor.Refrescar();
        EXPECT_TRUE(rejilla.Texto() == Mostrado(prompt, guion.linea));
        EXPECT_EQ(rejilla.cursor, prompt.size() + guion.cursor);
        if (resultado == Editor::Resultado::Sigue) continue;
        editor.Acabar(resultado);
        if (resultado == Editor::Resultado::FinDeEntrada) {
            EXPECT_TRUE(rejilla.Texto() == Mostrado(prompt, ""));
            EXPECT_EQ(editor.Linea().Largo(), 0u);
        } else {
            // The cursor is on the row after the line, whatever its length.
            const std::size_t fin = prompt.size() + guion.linea.size();
            EXPECT_EQ(rejilla.cursor, fin % GetParam() == 0 ? fin : (fin / GetParam() + 1) * GetParam());
            EXPECT_FALSE(rejilla.pendiente);
        }
    }
}

TEST_P(EditorEnPantalla, ElAnchoCambiaYLaLineaSeRedibujaEnSuSitio) {
    const std::string prompt = "(C)ifrar/(D)escifrar/(S)alir?: ";
    std::string texto = "cifrar a lo largo de varias filas";
    Rejilla rejilla(GetParam());
    Editor editor(rejilla);
    Empezar(editor, prompt);
    for (const char c : texto) editor.Aplicar(DeGuion(static_cast<unsigned char>(c)));
    for (int vez = 0; vez < 3; ++vez) editor.Aplicar(DeGuion(IZQ[0]));
    editor.Refrescar();
    for (const std::size_t ancho : {GetParam() + 9, std::size_t{5}, GetParam()}) {
        rejilla.ancho = ancho;
        editor.Refrescar();  // the screen says it is another width
        editor.Aplicar(DeGuion(U'!'));
        editor.Refrescar();
    }
    texto.insert(texto.size() - 3, "!!!");
    EXPECT_TRUE(rejilla.Texto() == Mostrado(prompt, texto));
    EXPECT_EQ(rejilla.cursor, prompt.size() + texto.size() - 3);
}

TEST(Entrada, Utf16DeLaConsola) {
    const auto decodificar = [](const std::u16string& unidades) {
        DecodificadorUtf16 decodificador;
        std::u32string caracteres;
        for (const char16_t u : unidades) {
            char32_t salida[2];
            caracteres.append(salida, decodificador.Entrar(u, salida));
        }
        return caracteres;
    };
    EXPECT_TRUE(decodificar(u"añ\U0001F600z") == U"añ\U0001F600z");
    // A surrogate left alone is a character the table lacks, however it ends.
    EXPECT_TRUE(decodificar(u"\xD83Dz\xDE00\xD83D\xD83D\xDE00") == U"\xFFFDz\xFFFD\xFFFD\U0001F600");
}

INSTANTIATE_TEST_SUITE_P(Anchos, EditorEnPantalla, testing::Values(7, 13, 80));

}  // namespace
