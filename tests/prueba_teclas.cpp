// The terminal input's state machine against what terminals send: each key
// string the terminfo database declares for the common families (the cursor
// keys in both their forms, and each string after ESC, which is Alt) is the
// key its capability names and does what users are told; control strings,
// reports and replies type nothing; a sequence broken off lets what follows in.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iomanip>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "Usecuencias.h"
#include "teclas.h"

namespace {

using N = Tecla::Nombre;

// What a terminal sent, in pieces however far apart, as the editor takes it
// (TeclasSeguidas: Escape and a key are Alt with the key).
std::vector<Suceso> Decodificar(const std::vector<std::string>& tramos) {
    DecodificadorTeclas decodificador;
    TeclasSeguidas seguidas;
    std::vector<Suceso> sucesos;
    Suceso salida[DecodificadorTeclas::kMaximo];
    for (const std::string& tramo : tramos) {
        for (const char c : tramo) {
            const std::size_t n = decodificador.Entrar(static_cast<unsigned char>(c), salida);
            for (std::size_t k = 0; k < n; ++k)
                if (seguidas.Tomar(salida[k], false)) sucesos.push_back(salida[k]);
        }
    }
    return sucesos;
}

// Bytes from a terminal, decoded as the terminal's reader does: a key after
// Ctrl-V literally.
class FuenteDeBytes final : public FuenteGuion {
public:
    explicit FuenteDeBytes(const std::vector<std::string>& tramos) {
        for (const std::string& tramo : tramos) bytes += tramo;
    }

private:
    bool Siguiente(Suceso& suceso, bool literal) override {
        while (dados == hechos) {
            if (leido == bytes.size()) return false;
            if (literal) decodificador.Literal();
            dados = 0;
            hechos = decodificador.Entrar(static_cast<unsigned char>(bytes[leido++]), salida);
        }
        suceso = salida[dados++];
        return true;
    }

    DecodificadorTeclas decodificador;
    std::string bytes;
    std::size_t leido = 0;
    Suceso salida[DecodificadorTeclas::kMaximo];
    std::size_t dados = 0, hechos = 0;
};

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
                const std::vector<Suceso> sucesos = Decodificar({(alt ? "\x1b" : "") + forma});
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

// Bytes from a terminal, in pieces however far apart, and the line they give.
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
    {{"a\x1b[" + std::string(600, ';') + "9qb"}, "ab"},
    // Broken off by a control character, by another sequence, or past the
    // longest string: what follows is typed.
    {{"\x1b]0;t\x15hola"}, "hola"},
    {{"x\x1b]0;t\x1b[Dhola"}, "holax"},
    {{"\x1b]" + std::string(DecodificadorTeclas::kLargoMaximoCadena + 3, 'x')}, "xxx"},
    // However far apart its bytes come, a key is that key, and a string or a
    // reply types nothing.
    {{"ab\x1b", "[D", "c"}, "acb"},
    {{"ab\x1b[1;", "5D", "X"}, "Xab"},
    {{"a\x1b]11;rgb:00", "00/0000/0000\x07", "b"}, "ab"},
    {{"a\x1b[12;", "40R", "b"}, "ab"},
    // Escape then a key, however long after, is the key with Alt: Alt-B, a
    // character with none, Alt-Left after a second ESC; a string between
    // Escape and the key leaves the key alone.
    {{"uno dos\x1b", "b", "X"}, "uno Xdos"},
    {{"ab\x1b", "c"}, "ab"},
    {{"a\x1bxb\x1bqc"}, "abc"},
    {{"a\x1bññb"}, "a\xa4" "b"},
    {{"a\x1bñ\x1bñb"}, "ab"},
    {{"a\x1b\xc3", "\xb1" "b"}, "ab"},
    {{"a\xc3", "b"}, "a?b"},
    {{"uno dos\x1b\x1b[DX"}, "uno Xdos"},
    {{"uno dos\x1b\x1b]0;t\x07\x1b[DX"}, "uno doXs"},
    // Words: Alt-B, Alt-Shift-F, Alt-Left after rxvt's ESC, Ctrl-Right as
    // rxvt sends it; the keypad left sending its own keys, its Enter ending
    // the line.
    {{"uno dos\x1b" "bX\x1b" "FY\x1b\x1b[DZ\x1bOcW"}, "uno ZXdosYW"},
    {{"\x1bOp\x1bOy\x1bOk\x1bOMzz"}, "09+"},
    // Meta (xterm's modifiers 9 to 16) is Alt.
    {{"uno dos\x1b[1;9DX\x1b[1;14CY"}, "uno XdosY"},
    // Ctrl-V with a key that sends a control character: its byte; with
    // Escape, 27 at once, and what follows afresh.
    {{"\x16\x7f\x16\x08\x16\r\x16\t\x16\x1b", "[Da"}, "\x7f\x08\r\t\x1b[Da"},
    // Ctrl-@ (or Ctrl-Space) and Ctrl-\ after Ctrl-V: bytes 0 and 28.
    {{std::string("\x16\0\x16\x1c", 4)}, std::string("\0\x1c", 2)},
    // A marked paste is text, control bytes and sequences as their bytes,
    // however its end is split; what only begins like its end is text too.
    {{"a\x1b[200~b\x1b[201~"}, "ab"},
    {{"x\x1b[200~\x01\x1b[D\x7f\tñ\x1b[2", "01~y"}, "x\x01\x1b[D\x7f\t\xa4y"},
    {{"\x1b[200~\x1b[20x\x1b\x1b[201~\x1b[D!"}, "\x1b[20x!\x1b"},
};

TEST(Teclas, CadenasRespuestasEInformesNoEscribenNadaYLoRotoDejaPasarLoQueSigue) {
    for (const Tecleo& tecleo : kTecleos) {
        SCOPED_TRACE(testing::Message() << "tecleo " << &tecleo - kTecleos);
        EXPECT_EQ(LineaTras(FuenteDeBytes(tecleo.tramos)), tecleo.linea);
    }
}

TEST(Teclas, UnaCadenaCompletaEsUnSucesoSinTecla) {
    const std::vector<Suceso> sucesos = Decodificar({"\x1b]11;rgb:0/0/0\x1b\\\x1bP1$r0m\x07\x1b[M !!"});
    ASSERT_EQ(sucesos.size(), 3u);
    for (const Suceso& s : sucesos) EXPECT_EQ(s.tipo, Suceso::Tipo::Nada);
}

// The key tables of the README and of the manual page: each row's keys, as
// written there ("Ctrl-Alt-←", "F1 a F24"), and what the row says they do.
struct Fila {
    std::vector<std::string> teclas;
    std::string hace;
};

// What a row says, to the binding it stands for.
const std::map<std::string, Accion> kQueHace = {
    {"un carácter a la izquierda", Accion::Izquierda},
    {"un carácter a la derecha", Accion::Derecha},
    {"una palabra a la izquierda", Accion::PalabraAnterior},
    {"una palabra a la derecha", Accion::PalabraSiguiente},
    {"al principio de la línea", Accion::Inicio},
    {"al final de la línea", Accion::Fin},
    {"borra el carácter de la izquierda", Accion::Retroceso},
    {"borra el carácter del cursor", Accion::Suprimir},
    {"borra hasta el final de la línea", Accion::BorrarHastaFin},
    {"borra hasta el principio de la línea", Accion::BorrarHastaInicio},
    {"borra la palabra de la izquierda, hasta el blanco anterior", Accion::BorrarPalabra},
    {"vuelve a dibujar la línea en su sitio", Accion::Redibujar},
    {"escribe un tabulador", Accion::Escribir},
    {"escribe el byte de la tecla siguiente", Accion::Literal},
    {"termina la línea", Accion::Intro},
    {"en una línea vacía, termina la entrada; en otra, borra el carácter del cursor", Accion::FinDeEntrada},
    {"en windows, escribe el byte 26; al principio de una línea, con intro, termina la entrada", Accion::Escribir},
    {"nada", Accion::Nada},
};

const std::map<std::string, N> kNombres = {
    {"←", N::Izquierda}, {"→", N::Derecha}, {"↑", N::Arriba}, {"↓", N::Abajo}, {"Inicio", N::Inicio},
    {"Fin", N::Fin}, {"Insert", N::Insertar}, {"Supr", N::Suprimir}, {"RePág", N::RePag}, {"AvPág", N::AvPag},
    {"Retroceso", N::Retroceso}, {"Tab", N::Tabulador}, {"Intro", N::Intro}, {"Esc", N::Escape},
};

// The keys a written name stands for.
std::vector<Tecla> TeclasDe(std::string nombre) {
    if (nombre == "F1 a F24") {
        std::vector<Tecla> f;
        for (char32_t n = 1; n <= 24; ++n) f.push_back({N::Funcion, n, 0});
        return f;
    }
    unsigned modificadores = 0;
    for (const auto& [prefijo, bit] : {std::pair<std::string, unsigned>{"Ctrl-", kCtrl}, {"Alt-", kAlt}, {"Mayús-", kMayus}}) {
        for (std::size_t p; (p = nombre.find(prefijo)) != std::string::npos;) {
            nombre.erase(p, prefijo.size());
            modificadores |= bit;
        }
    }
    if (nombre.size() == 1 && nombre[0] >= 'A' && nombre[0] <= 'Z')
        return {ConModificadores({N::Simbolo, static_cast<char32_t>(nombre[0] - 'A' + 'a'), 0}, modificadores)};
    const auto n = kNombres.find(nombre);
    if (n == kNombres.end()) throw std::runtime_error("tecla desconocida en la tabla: " + nombre);
    return {{n->second, 0, static_cast<unsigned char>(modificadores)}};
}

std::string Leer(const std::string& ruta) {
    std::ifstream archivo(ruta);
    if (!archivo) throw std::runtime_error("no se puede leer " + ruta);
    return {std::istreambuf_iterator<char>(archivo), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Partir(const std::string& lista) {
    std::vector<std::string> partes;
    for (std::size_t desde = 0;;) {
        const std::size_t coma = lista.find(", ", desde);
        partes.push_back(lista.substr(desde, coma - desde));
        if (coma == std::string::npos) return partes;
        desde = coma + 2;
    }
}

// The README's table of keys: the rows after "| Tecla | Hace |".
std::vector<Fila> FilasDelReadme() {
    std::istringstream texto(Leer(FUENTES "/README.md"));
    std::vector<Fila> filas;
    bool dentro = false;
    for (std::string linea; std::getline(texto, linea);) {
        if (linea == "| Tecla | Hace |") {
            dentro = true;
        } else if (dentro && linea.rfind("| ", 0) == 0) {
            const std::size_t medio = linea.find(" | ");
            filas.push_back({Partir(linea.substr(2, medio - 2)), linea.substr(medio + 3, linea.size() - medio - 5)});
        } else if (dentro && linea.rfind("|---", 0) != 0) {
            break;
        }
    }
    return filas;
}

// The manual page's section on editing: each .TP's tag and the sentence under it.
std::vector<Fila> FilasDelManual() {
    const std::pair<std::string, std::string> kEscapes[] = {
        {"\\(<-", "←"}, {"\\(->", "→"}, {"\\(ua", "↑"}, {"\\(da", "↓"}, {"\\-", "-"}, {"\\('a", "á"},
        {"\\('e", "é"}, {"\\('i", "í"}, {"\\('o", "ó"}, {"\\('u", "ú"}, {"\\('I", "Í"}, {"\\('O", "Ó"}, {"\\(~n", "ñ"}};
    std::string manual = Leer(FUENTES "/doc/cifrador.1");
    for (const auto& [escape, simbolo] : kEscapes)
        for (std::size_t p; (p = manual.find(escape)) != std::string::npos;) manual.replace(p, escape.size(), simbolo);
    std::istringstream texto(manual.substr(manual.find(".SH \"EDICIÓN DE LA LÍNEA\"")));
    std::vector<Fila> filas;
    std::string linea;
    std::getline(texto, linea);
    while (std::getline(texto, linea) && linea.rfind(".SH", 0) != 0) {
        if (linea != ".TP" || !std::getline(texto, linea)) continue;
        // .B or .BR with its words, quoted or not, joined as they are shown.
        std::string teclas;
        std::istringstream palabras(linea.substr(linea.find(' ') + 1));
        for (std::string palabra; palabras >> std::quoted(palabra);) teclas += palabra;
        std::string hace;
        while (texto.peek() != '.' && std::getline(texto, linea)) hace += (hace.empty() ? "" : " ") + linea;
        filas.push_back({Partir(teclas), hace.substr(0, hace.size() - 1)});
    }
    return filas;
}

// The lower-case form of a sentence that starts with a capital letter.
std::string Minuscula(std::string frase) {
    for (std::size_t p = 0; p < frase.size(); ++p)
        if (frase[p] >= 'A' && frase[p] <= 'Z') frase[p] = static_cast<char>(frase[p] - 'A' + 'a');
    return frase;
}

TEST(Teclas, LasTablasDelReadmeYDelManualDicenLoQueHaceCadaTecla) {
    // Every key that does something, Shift left out.
    std::vector<Tecla> con_efecto;
    for (int nombre = static_cast<int>(N::Izquierda); nombre <= static_cast<int>(N::Funcion); ++nombre)
        for (const unsigned m : {0u, 0u + kCtrl, 0u + kAlt, 0u + (kCtrl | kAlt)}) con_efecto.push_back({static_cast<N>(nombre), nombre == static_cast<int>(N::Funcion) ? 1u : 0u, static_cast<unsigned char>(m)});
    for (char32_t c = ' '; c < 0x7F; ++c)
        if (c < 'A' || c > 'Z')
            for (const unsigned m : {0u + kCtrl, 0u + kAlt, 0u + (kCtrl | kAlt)}) con_efecto.push_back(ConModificadores({N::Simbolo, c, 0}, m));
    std::erase_if(con_efecto, [](const Tecla& t) { return AccionDeTecla(t) == Accion::Nada; });

    for (const auto& [documento, filas] : {std::pair{"README.md", FilasDelReadme()}, {"cifrador.1", FilasDelManual()}}) {
        SCOPED_TRACE(documento);
        EXPECT_GE(filas.size(), 15u);
        std::vector<Tecla> dichas;
        for (const Fila& fila : filas) {
            SCOPED_TRACE(fila.hace);
            const auto hace = kQueHace.find(Minuscula(fila.hace));
            ASSERT_NE(hace, kQueHace.end()) << "no se sabe qué hace: " << fila.hace;
            for (const std::string& nombre : fila.teclas) {
                for (const Tecla& tecla : TeclasDe(nombre)) {
                    dichas.push_back(tecla);
                    EXPECT_EQ(AccionDeTecla(tecla), hace->second) << nombre;
                    // Shift changes nothing, but on Tab.
                    if (tecla.nombre != N::Tabulador) {
                        EXPECT_EQ(AccionDeTecla(ConModificadores(tecla, kMayus)), hace->second) << "Mayús-" << nombre;
                    }
                }
            }
        }
        for (const Tecla& tecla : con_efecto) {
            const bool dicha = std::any_of(dichas.begin(), dichas.end(), [&](const Tecla& d) { return MismaTecla(d, tecla); });
            EXPECT_TRUE(dicha) << "la tabla no dice qué hace " << Describir(tecla);
        }
    }
}

}  // namespace
