// Arrays that held a key, a text or a permutation are wiped before they go
// back to the allocator. This test binary replaces the array forms of
// operator new and delete, and munmap and mremap, which give back the large
// arrays (src/Umemorialinux.cpp); while a test watches, each array or range
// released is searched, before it is freed, for the secret the test planted.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "Ubufferdescriptor.h"
#include "Ucifrarc4.h"
#include "cadenas.h"
#include "consola.h"

namespace {

struct Vigia {
    std::vector<std::string> secretos;  // none: not watching
    std::size_t liberados = 0;
    std::size_t con_secreto = 0;
    std::size_t desmapeados = 0;  // of liberados, ranges given back by munmap or mremap
} vigia;

void Revisar(const void* p, std::size_t tam) {
    if (p == nullptr || vigia.secretos.empty()) return;
    ++vigia.liberados;
    for (const std::string& s : vigia.secretos)
        if (memmem(p, tam, s.data(), s.size()) != nullptr) {
            ++vigia.con_secreto;
            return;
        }
}

void Revisar(void* p) { Revisar(p, p == nullptr ? 0 : malloc_usable_size(p)); }

void RevisarMapa(const void* p, std::size_t tam) {
    if (vigia.secretos.empty()) return;
    ++vigia.desmapeados;
    Revisar(p, tam);
}

}  // namespace

extern "C" int munmap(void* p, std::size_t n) noexcept {
    RevisarMapa(p, n);
    return static_cast<int>(syscall(SYS_munmap, p, n));
}
// A shrink gives back the tail; a growth keeps every page it had.
extern "C" void* mremap(void* p, std::size_t antes, std::size_t despues, int opciones, ...) noexcept {
    if (despues < antes) RevisarMapa(static_cast<char*>(p) + despues, antes - despues);
    return reinterpret_cast<void*>(syscall(SYS_mremap, p, antes, despues, opciones, nullptr));
}

// The replacements stay out of line: where GCC inlines one and not the other
// into a test that pairs the two, it takes their malloc and free for a
// mismatch with new[] or delete[] (at -O2, with or without --coverage).
[[gnu::noinline]] void* operator new[](std::size_t n) {
    if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
    throw std::bad_alloc();
}
// std::unique_ptr<unsigned char[]> releases through the unsized form.
[[gnu::noinline]] void operator delete[](void* p) noexcept {
    Revisar(p);
    std::free(p);
}
[[gnu::noinline]] void operator delete[](void* p, std::size_t) noexcept {
    Revisar(p);
    std::free(p);
}

namespace {

const std::string kSecreto = "clave-secreta:9f3a7c21e";

// Watches the arrays released while it lives; its checks run at the end.
class Vigilancia {
public:
    explicit Vigilancia(std::vector<std::string> secretos) {
        vigia = Vigia{std::move(secretos), 0, 0};
    }
    ~Vigilancia() {
        EXPECT_GT(vigia.liberados, 0u) << "nada se libero mientras se vigilaba";
        EXPECT_EQ(vigia.con_secreto, 0u) << "un bloque liberado conservaba el secreto";
        vigia = Vigia{};
    }
};

std::string Repetido(std::size_t veces) {
    std::string s;
    while (veces-- > 0) s += kSecreto;
    return s;
}

TEST(Borrado, ElVigiaVeUnBloqueQueNoSeBorro) {
    vigia = Vigia{{kSecreto}, 0, 0};
    void* p = ::operator new[](64);
    std::memcpy(p, kSecreto.data(), kSecreto.size());
    ::operator delete[](p);
    EXPECT_EQ(vigia.liberados, 1u);
    EXPECT_EQ(vigia.con_secreto, 1u);
    vigia = Vigia{};
}

TEST(Borrado, LiberarYDestruir) {
    CadenaExt a(320);
    {
        auto b = std::make_unique<CadenaExt>(320);
        Llenar(a, Repetido(10));
        Llenar(*b, Repetido(10));
        Vigilancia v({kSecreto});
        a.Liberar();
        b.reset();
    }
}

TEST(Borrado, RedimensionarAlCrecerYAlEncoger) {
    CadenaExt c(320);
    Vigilancia v({kSecreto});
    Llenar(c, Repetido(100));  // grows from 320 twice, leaving two arrays behind
    c.Redimensionar(50);
    c.Redimensionar(5000);
}

TEST(Borrado, UnaLineaLargaAlAjustarseYAlDesmapearse) {
    // 3 MiB: a mapping from 1 MiB on, grown in place, cut to the length, cut
    // again through the content and unmapped.
    std::istringstream entrada(Repetido((3 << 20) / kSecreto.size()) + "\n");
    CadenaExt c(320);
    Vigilancia v({kSecreto});
    c.LeerLinea(entrada);
    c.Redimensionar(3 << 19);
    c.Liberar();
    EXPECT_GE(vigia.desmapeados, 3u);
}

TEST(Borrado, AsignacionSobreUnaCadenaConSecreto) {
    CadenaExt a(320), b(320);
    Llenar(a, Repetido(3));
    Llenar(b, "otra cosa");
    Vigilancia v({kSecreto});
    a = b;
}

TEST(Borrado, LeerLineaAlCrecerYAlAjustarse) {
    std::istringstream entrada(Repetido(60) + "\nresto");
    CadenaExt c(320);
    Vigilancia v({kSecreto});
    c.LeerLinea(entrada);
    c.LeerLinea(entrada);
}

TEST(Borrado, LaCifraBorraSuCopiaDeLaClave) {
    CadenaExt clave(320), otra(320);
    Llenar(clave, kSecreto);
    Llenar(otra, "otra clave");
    auto cifra = std::make_unique<CifraRC4>();
    cifra->EstablecerClave(clave);
    Vigilancia v({kSecreto});
    cifra->EstablecerClave(otra);  // replaces the copy of the first key
    cifra->EstablecerClave(clave);
    cifra.reset();
}

TEST(Borrado, UnDialogoEnteroNoDejaNiClaveNiTexto) {
    const std::string texto = "texto-en-claro:" + std::string(400, 'T') + "fin";
    std::istringstream entrada("c\n" + texto + "\n" + kSecreto + "\ns\n" + kSecreto + "\nd\n" + texto + "\n" + kSecreto +
                               "\ns\n" + kSecreto + "\ns\n");
    std::ostringstream salida;
    Vigilancia v({kSecreto, texto.substr(0, 32), texto.substr(200, 32)});
    Dialogo(entrada, salida);
}

TEST(Borrado, LosBuffersDeConsolaAlLeerYAlEscribir) {
    int tuberia[2];
    ASSERT_EQ(pipe(tuberia), 0);
    const std::string linea = kSecreto + "\n";
    ASSERT_EQ(write(tuberia[1], linea.data(), linea.size()), static_cast<ssize_t>(linea.size()));
    close(tuberia[1]);
    const int nulo = open("/dev/null", O_WRONLY);
    ASSERT_GE(nulo, 0);
    {
        auto entrada = std::make_unique<BufferDescriptor>(tuberia[0]);
        auto salida = std::make_unique<BufferDescriptor>(nulo);
        std::istream leida(entrada.get());
        std::ostream escrita(salida.get());
        CadenaExt c(320);
        ASSERT_TRUE(c.LeerLinea(leida));
        EXPECT_EQ(Texto(c), kSecreto);
        ASSERT_TRUE(c.Escribir(escrita));  // left pending in the buffer
        Vigilancia v({kSecreto});
        entrada.reset();
        salida.reset();
    }
    close(tuberia[0]);
    close(nulo);
}

}  // namespace
