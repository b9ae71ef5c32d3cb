// Runs a fuzz target once on each file named on the command line, or found in
// a directory named there: the saved corpus replayed as an ordinary test,
// without libFuzzer (any compiler). Fails when it finds no input at all.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t largo);

namespace {

void Ejecutar(const std::filesystem::path& ruta) {
    std::ifstream archivo(ruta, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(archivo), std::istreambuf_iterator<char>()};
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t casos = 0;
    for (int n = 1; n < argc; ++n) {
        const std::filesystem::path ruta(argv[n]);
        if (std::filesystem::is_directory(ruta)) {
            for (const auto& e : std::filesystem::directory_iterator(ruta)) {
                if (!e.is_regular_file()) continue;
                Ejecutar(e.path());
                ++casos;
            }
        } else {
            Ejecutar(ruta);
            ++casos;
        }
    }
    std::cout << casos << " entradas reproducidas\n";
    return casos > 0 ? 0 : 1;
}
