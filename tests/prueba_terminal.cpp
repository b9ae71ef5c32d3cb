// The terminal layer's byte table, checked against glibc's own IBM850
// converter, and its stream buffers on string streams.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <sstream>
#include <string>

#include "Ubuferes.h"
#include "Upantalla.h"
#include "mostrado.h"

namespace {

std::string Utf8(char32_t c) {
    std::u32string u(1, c);
    const auto r = Iconv("UTF-32LE", "UTF-8", std::string(reinterpret_cast<const char*>(u.data()), 4));
    if (!r) throw std::runtime_error("no es un caracter");
    return *r;
}

std::string Mostrar(const std::string& bytes) {
    std::ostringstream destino;
    SumideroUtf8 utf8(*destino.rdbuf());
    SalidaTerminal salida(utf8);
    std::ostream(&salida) << bytes << std::flush;
    return destino.str();
}

// A source that hands out one byte per refill, as a slow terminal might.
class GotaAGota : public std::streambuf {
public:
    explicit GotaAGota(std::string bytes) : bytes(std::move(bytes)) {}

protected:
    int_type underflow() override {
        if (siguiente == bytes.size()) return traits_type::eof();
        actual = bytes[siguiente++];
        setg(&actual, &actual, &actual + 1);
        return traits_type::to_int_type(actual);
    }

private:
    std::string bytes;
    std::size_t siguiente = 0;
    char actual = 0;
};

std::string Leer(const std::string& utf8) {
    GotaAGota fuente(utf8);
    EntradaTerminal entrada(fuente);
    std::istream flujo(&entrada);
    return {std::istreambuf_iterator<char>(flujo), std::istreambuf_iterator<char>()};
}

std::string Byte(int b) { return std::string(1, static_cast<char>(b)); }

TEST(Terminal, CodePage850ComoLaDeGlibcEnLosDosSentidos) {
    for (int b = 128; b < 256; ++b) {
        SCOPED_TRACE(b);
        const auto glibc = Iconv("IBM850", "UTF-8", Byte(b));
        ASSERT_TRUE(glibc);
        // What glibc makes of the byte reads back as the byte.
        EXPECT_EQ(Leer(*glibc), Byte(b));
        if (b == 240 || b == 255) continue;  // shown by their stand-ins
        EXPECT_EQ(Mostrar(Byte(b)), *glibc);
        EXPECT_EQ(Iconv("UTF-8", "IBM850", Mostrar(Byte(b))), Byte(b));
    }
}

TEST(Terminal, TodoCaracterQueLaCodePageNoTieneSeLeeComoInterrogacion) {
    // Every character up to U+FFFF and some beyond: read back as glibc's IBM850
    // converts it, but for the control pictures, U+2302 and the stand-ins,
    // which are ours, and "?" wherever glibc has no byte.
    int propios = 0;
    for (char32_t c = 1; c < 0x20000; c = c < 0x10000 ? c + 1 : c + 97) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        const std::string utf8 = Utf8(c);
        const unsigned char byte = ByteDeSimbolo(c);
        const auto glibc = Iconv("UTF-8", "IBM850", utf8);
        if (glibc) {
            ASSERT_EQ(Byte(byte), *glibc) << std::hex << static_cast<std::uint32_t>(c);
        } else if (byte != '?') {
            // One of ours: it shows as itself, but ␠, which only ends a line of data.
            if (c != kSimboloEspacio) {
                ASSERT_EQ(Mostrar(Byte(byte)), utf8) << std::hex << static_cast<std::uint32_t>(c);
            }
            ++propios;
        }
    }
    EXPECT_EQ(propios, 31 + 1 + 2 + 1);  // control pictures but ␊, ⌂, the two stand-ins, ␠
}

TEST(Terminal, BytesDeControlComoImagenes) {
    EXPECT_EQ(Mostrar("\t\r\x1b"), "␉␍␛");
    EXPECT_EQ(Mostrar(std::string(1, '\0')), "␀");
    EXPECT_EQ(Mostrar("\x1f\x7f"), "␟⌂");
    EXPECT_EQ(Mostrar("a\nb"), "a\nb");
    std::string todos;
    for (int b = 0; b < 32; ++b)
        if (b != '\n') todos += Byte(b);
    EXPECT_EQ(Leer(Mostrar(todos)), todos);
    EXPECT_EQ(Leer("␊"), "?");  // a line never holds a newline
    EXPECT_EQ(Leer("\t\x7f"), "\t\x7f");  // typed as they are
}

TEST(Terminal, SustitutosDelGuionBlandoYDelEspacioDuro) {
    EXPECT_EQ(Mostrar("\xf0\xff"), "‐⍽");
    EXPECT_EQ(Leer("‐⍽\u00ad\u00a0"), "\xf0\xff\xf0\xff");
    // Neither stand-in is a character of the table.
    for (int b = 0; b < 256; ++b) {
        if (b == 240 || b == 255) continue;
        EXPECT_NE(SimboloDeByte(static_cast<unsigned char>(b)), kSustitutoGuionBlando);
        EXPECT_NE(SimboloDeByte(static_cast<unsigned char>(b)), kSustitutoEspacioDuro);
    }
}

TEST(Terminal, CadaByteEsUnCaracterYVuelve) {
    std::string todos;
    for (int b = 0; b < 256; ++b)
        if (b != '\n') todos += Byte(b);
    const std::string mostrado = Mostrar(todos);
    EXPECT_EQ(Leer(mostrado), todos);
    const auto utf32 = Iconv("UTF-8", "UTF-32LE", mostrado);
    ASSERT_TRUE(utf32);
    EXPECT_EQ(utf32->size(), 4 * todos.size());
}

TEST(Terminal, CaracteresSinByteYUtf8MalFormado) {
    EXPECT_EQ(Leer("5€ 😀!"), "5? ?!");
    EXPECT_EQ(Leer("a\x80z"), "a?z");             // lone continuation byte
    EXPECT_EQ(Leer("\xc3z"), "?z");               // cut short by ASCII
    EXPECT_EQ(Leer("\xc3\xc3\xb1"), "?\xa4");     // cut short by a new character (ñ)
    EXPECT_EQ(Leer("\xc0\xaf"), "??");            // overlong
    EXPECT_EQ(Leer("\xe0\x80\xaf"), "???");       // overlong
    EXPECT_EQ(Leer("\xed\xa0\x80"), "???");       // surrogate
    EXPECT_EQ(Leer("\xf4\x90\x80\x80"), "????");  // past U+10FFFF
    EXPECT_EQ(Leer("\xfe\xff"), "??");
    EXPECT_EQ(Leer("\xe2\x82"), "?");             // input ends inside a character
    EXPECT_EQ(Leer("\xf0\x9f\x98"), "?");
}

TEST(Terminal, CaracterPartidoEntreDosRecargas) {
    // Each byte of "ñ", "⌂" and "░" comes in a refill of its own.
    EXPECT_EQ(Leer("Canción para mi ñandú\n"), "Canci\xa2n para mi \xa4" "and\xa3\n");
    EXPECT_EQ(Leer("⌂░\n"), "\x7f\xb0\n");
    // And line by line, as the dialogue reads.
    GotaAGota fuente("uno ñ\ndos\n");
    EntradaTerminal entrada(fuente);
    std::istream flujo(&entrada);
    std::string linea;
    ASSERT_TRUE(std::getline(flujo, linea));
    EXPECT_EQ(linea, "uno \xa4");
    ASSERT_TRUE(std::getline(flujo, linea));
    EXPECT_EQ(linea, "dos");
    EXPECT_FALSE(std::getline(flujo, linea));
}

TEST(Terminal, SalidaPorTramosLargosYFallida) {
    const std::string largo(1000, '\xa4');
    std::string esperado;
    for (int n = 0; n < 1000; ++n) esperado += "ñ";
    EXPECT_EQ(Mostrar(largo), esperado);

    char poco[4];
    // A destination with room for four bytes only.
    struct Fijo : std::streambuf {
        explicit Fijo(char* p, std::size_t n) { setp(p, p + n); }
    } fijo(poco, sizeof poco);
    SumideroUtf8 utf8(fijo);
    SalidaTerminal salida(utf8);
    std::ostream flujo(&salida);
    flujo << "\xa4\xa4\xa4";  // six bytes of UTF-8 do not fit in four
    EXPECT_TRUE(flujo.bad());
}

TEST(Terminal, LineaAbiertaRetenidaParaElEditor) {
    std::ostringstream destino;
    SumideroUtf8 utf8(*destino.rdbuf());
    SalidaTerminal salida(utf8);
    std::ostream flujo(&salida);
    salida.RetenerLineaAbierta(true);
    flujo << "uno\n\xa4" << "dos: " << std::flush;
    EXPECT_EQ(destino.str(), "uno\n");  // flushing keeps the open line back
    const auto abierta = [&] {
        std::string bytes;
        for (std::uint32_t n = 0; n < salida.LineaAbierta().Longitud(); ++n)
            bytes += static_cast<char>(salida.LineaAbierta().Caracter(n));
        return bytes;
    };
    EXPECT_EQ(abierta(), "\xa4" "dos: ");
    salida.OlvidarLineaAbierta();
    EXPECT_EQ(abierta(), "");  // shown by the editor, not again
    flujo << "\t\ntres" << std::flush;
    EXPECT_EQ(destino.str(), "uno\n␉\n");
    salida.RetenerLineaAbierta(false);
    EXPECT_EQ(destino.str(), "uno\n␉\ntres");
    flujo << "\xf0" << std::flush;
    EXPECT_EQ(destino.str(), "uno\n␉\ntres‐");
}

TEST(Terminal, ComposicionComoLaNfcDePython) {
    // Every letter of ASCII and of code page 850 followed by each combining
    // mark U+0300..U+036F, composed by Python's own normaliser: "base mark
    // result" in hexadecimal, the result 0 unless NFC gives one character that
    // code page 850 has.
    const char* const orden = "python3 -c '"
        "import unicodedata as u\n"
        "cp = {bytes([b]).decode(\"cp850\") for b in range(128, 256)}\n"
        "for b in sorted(c for c in cp | {chr(n) for n in range(128)} if c.isalpha()):\n"
        "  for m in range(0x300, 0x370):\n"
        "    r = u.normalize(\"NFC\", b + chr(m))\n"
        "    print(\"%x %x %x\" % (ord(b), m, ord(r) if len(r) == 1 and r in cp else 0))'";
    FILE* python = popen(orden, "r");
    ASSERT_NE(python, nullptr);
    unsigned base = 0, marca = 0, compuesto = 0, pares = 0, compuestos = 0;
    while (std::fscanf(python, "%x %x %x", &base, &marca, &compuesto) == 3) {
        ++pares;
        if (compuesto != 0) ++compuestos;
        EXPECT_EQ(Componer(base, marca), compuesto) << std::hex << base << " + " << marca;
    }
    ASSERT_EQ(pclose(python), 0) << "python3 hace falta para esta prueba";
    EXPECT_EQ(pares % 0x70, 0u);
    EXPECT_GT(pares, 52u * 0x70);  // the ASCII letters and more
    EXPECT_GT(compuestos, 60u);
    // Through the reader: the letter typed as two characters is its byte.
    EXPECT_EQ(Leer("cafe\u0301 man\u0303ana \u00c7C\u0327"), Leer("café mañana ÇÇ"));
    EXPECT_EQ(Leer("e\u0301\u0301 \u0301x"), "\x82? ?x");  // a mark that composes into nothing
}

TEST(Terminal, LocaleQueCuentaComoUtf8) {
    EXPECT_TRUE(LocaleUtf8("C", "ANSI_X3.4-1968"));
    EXPECT_TRUE(LocaleUtf8("POSIX", "ANSI_X3.4-1968"));
    EXPECT_TRUE(LocaleUtf8(nullptr, "ANSI_X3.4-1968"));
    EXPECT_TRUE(LocaleUtf8("es_ES.UTF-8", "UTF-8"));
    EXPECT_FALSE(LocaleUtf8("es_ES@euro", "ISO-8859-15"));
    EXPECT_FALSE(LocaleUtf8("es_ES", "ISO-8859-1"));
}

TEST(Terminal, AvisoEnSingularYEnPlural) {
    EXPECT_TRUE(AvisoDesconocidos(1) == U"Aviso: 1 carácter sin equivalente en la página 850 se leyó como «?».");
    EXPECT_TRUE(AvisoDesconocidos(2) == U"Aviso: 2 caracteres sin equivalente en la página 850 se leyeron como «?».");
    EXPECT_TRUE(AvisoDesconocidos(1000) == U"Aviso: 1000 caracteres sin equivalente en la página 850 se leyeron como «?».");
}

}  // namespace
