// The terminal input's state machine against what terminals send: each key
// string the terminfo database declares for the common families (the cursor
// keys in both their forms, and each string after ESC, which is Alt) is the
// key its capability names and does what users are told; control strings,
// reports and replies type nothing; a sequence broken off lets what follows in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Usecuencias.h"
#include "teclas.h"

namespace {

using N = Tecla::Nombre;

// What a terminal sent, in pieces with the wait for a lone Escape between
// them.
std::vector<Suceso> Decodificar(const std::vector<std::string>& tramos, bool* abierto = nullptr) {
    DecodificadorTeclas decodificador;
    std::vector<Suceso> sucesos;
    Suceso salida[DecodificadorTeclas::kMaximo];
    for (std::size_t t = 0; t < tramos.size(); ++t) {
        if (t > 0) sucesos.insert(sucesos.end(), salida, salida + decodificador.Interrumpir(salida));
        for (const char c : tramos[t])
            sucesos.insert(sucesos.end(), salida, salida + decodificador.Entrar(static_cast<unsigned char>(c), salida));
    }
    if (abierto != nullptr) *abierto = decodificador.Abierto();
    return sucesos;
}

std::vector<Tecla> Teclas(const std::vector<Suceso>& sucesos) {
    std::vector<Tecla> teclas;
    for (const Suceso& s : sucesos)
        if (s.tipo == Suceso::Tipo::Tecla) teclas.push_back(s.tecla);
    return teclas;
}

// The other form of a cursor key, Home or End: ESC O x for ESC [ x, and back.
std::string OtraForma(const std::string& bytes) {
    if (bytes.size() != 3 || bytes[0] != '\x1b' || std::string("ABCDHF").find(bytes[2]) == std::string::npos) return "";
    if (bytes[1] == 'O') return std::string("\x1b[") + bytes[2];
    return bytes[1] == '[' ? std::string("\x1bO") + bytes[2] : "";
}

TEST(Teclas, LasDeTerminfoDeCadaFamiliaConYSinAlt) {
    std::size_t probadas = 0;
    for (const TeclaDeclarada& declarada : LeerTeclasTerminfo()) {
        std::vector<std::string> formas{declarada.bytes};
        if (const std::string otra = OtraForma(declarada.bytes); !otra.empty()) formas.push_back(otra);
        for (const std::string& forma : formas) {
            for (const bool alt : {false, true}) {
                SCOPED_TRACE(declarada.familia + " " + declarada.capacidad + (alt ? " con Alt" : "") +
                             (forma != declarada.bytes ? " (otra forma)" : ""));
                const Tecla esperada = ConModificadores(declarada.tecla, alt ? kAlt : 0);
                bool abierto = true;
                const std::vector<Suceso> sucesos = Decodificar({(alt ? "\x1b" : "") + forma}, &abierto);
                EXPECT_FALSE(abierto);
                ASSERT_EQ(sucesos.size(), 1u);
                ASSERT_EQ(sucesos[0].tipo, Suceso::Tipo::Tecla);
                EXPECT_TRUE(MismaTecla(sucesos[0].tecla, esperada)) << Describir(sucesos[0].tecla);
                EXPECT_EQ(AccionDeTecla(sucesos[0].tecla), AccionEsperada(esperada));
                ++probadas;
            }
        }
    }
    EXPECT_GT(probadas, 2000u);  // 14 families
}

// Bytes from a terminal, with the wait between pieces, and the line they give.
struct Tecleo {
    std::vector<std::string> tramos;
    std::string linea;  // bytes of code page 850
};

const Tecleo kTecleos[] = {
    // Replies, control strings and reports between two letters.
    {{"a\x1b]11;rgb:0000/0000/0000\x1b\\b"}, "ab"},
    {{"a\x1b]11;rgb:ffff/ffff/ffff\x07" "b"}, "ab"},
    {{"a\x1b]2;Canción ñŜ\x1b\\b"}, "ab"},  // Ŝ's UTF-8 holds 0x9C, C1's ST
    {{"a\x1b]52;c;aG9sYQ==\x07" "b"}, "ab"},
    {{"a\x1bP1$r0m\x1b\\b"}, "ab"},
    {{"a\x1bP>|XTerm(388)\x1b\\b"}, "ab"},
    {{"a\x1b_Gi=1;OK\x1b\\b"}, "ab"},
    {{"a\x1b^privado\x1b\\b"}, "ab"},
    {{"a\x1bXinicio\x1b\\b"}, "ab"},
    {{"a\x1b[M !!b"}, "ab"},
    {{"a\x1b[M\xe0\xff\xa0" "b"}, "ab"},
    {{"a\x1b[<0;10;5Mb\x1b[<0;10;5m"}, "ab"},
    {{"a\x1b[32;10;5Mb"}, "ab"},
    {{"a\x1b[I\x1b[Ob"}, "ab"},
    {{"a\x1b[12;40Rb"}, "ab"},
    {{"a\x1b[?64;1;2c\x1b[>41;351;0cb"}, "ab"},
    {{"a\x1b[?2004;2$y\x1b[4;2$yb"}, "ab"},
    {{"a\x1b[8;24;80t\x1b[?1ub"}, "ab"},
    {{"a\x1b[200~b\x1b[201~"}, "ab"},
    {{"a\x1b[" + std::string(600, ';') + "9qb"}, "ab"},
    // Broken off by the wait, by a control character, by another sequence,
    // or past the longest string: what follows is typed.
    {{"\x1b]11;rgb:00", "hola"}, "hola"},
    {{"\x1bP1$r", "hola"}, "hola"},
    {{"\x1b[1;5", "hola"}, "hola"},
    {{"\x1b]0;t\x15hola"}, "hola"},
    {{"x\x1b]0;t\x1b[Dhola"}, "holax"},
    {{"\x1b]" + std::string(DecodificadorTeclas::kLargoMaximoCadena + 3, 'x')}, "xxx"},
    // Escape alone, Alt with a character, with one of several bytes, and one
    // of several bytes broken off.
    {{"ab\x1b", "c"}, "abc"},
    {{"a\x1bxb\x1bqc"}, "abc"},
    {{"a\x1bññb"}, "a\xa4" "b"},
    {{"a\x1bñ\x1bñb"}, "ab"},
    {{"a\x1b\xc3", "b"}, "ab"},
    {{"a\xc3", "b"}, "a?b"},
    // Words: Alt-B, Alt-Shift-F, Alt-Left after rxvt's ESC, Ctrl-Right as
    // rxvt sends it; the keypad left sending its own keys.
    {{"uno dos\x1b" "bX\x1b" "FY\x1b\x1b[DZ\x1bOcW"}, "uno ZXdosYW"},
    {{"\x1bOp\x1bOy\x1bOk\x1bOM"}, "09+"},
    // Meta (xterm's modifiers 9 to 16) is Alt.
    {{"uno dos\x1b[1;9DX\x1b[1;14CY"}, "uno XdosY"},
    // Ctrl-V with a key that sends a control character: its byte.
    {{"\x16\x7f\x16\x08\x16\r\x16\t\x16\x1b", "\x16\x1b[Da"}, "\x7f\x08\r\ta\x1b"},
};

TEST(Teclas, CadenasRespuestasEInformesNoEscribenNadaYLoRotoDejaPasarLoQueSigue) {
    for (const Tecleo& tecleo : kTecleos) {
        SCOPED_TRACE(testing::Message() << "tecleo " << &tecleo - kTecleos);
        EXPECT_EQ(LineaTras(Teclas(Decodificar(tecleo.tramos))), tecleo.linea);
    }
}

TEST(Teclas, UnaCadenaCompletaEsUnSucesoSinTecla) {
    const std::vector<Suceso> sucesos = Decodificar({"\x1b]11;rgb:0/0/0\x1b\\\x1bP1$r0m\x07\x1b[M !!"});
    ASSERT_EQ(sucesos.size(), 3u);
    for (const Suceso& s : sucesos) EXPECT_EQ(s.tipo, Suceso::Tipo::Nada);
}

}  // namespace
