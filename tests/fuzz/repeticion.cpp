// Runs a fuzz target's inputs without libFuzzer, so the test build replays the committed seeds
// and every input that once failed under its own sanitizers. Arguments: files, or folders whose
// files are run in name order. Exit status 1 when an argument cannot be read.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tam);

namespace {

namespace fs = std::filesystem;

bool Ejecuta(const fs::path& archivo)
{
    std::ifstream entrada(archivo, std::ios::binary);
    if (!entrada) {
        std::fprintf(stderr, "no se puede leer %s\n", archivo.string().c_str());
        return false;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(entrada)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::size_t ejecutadas = 0;
    for (int i = 1; i < argc; ++i) {
        std::vector<fs::path> archivos;
        std::error_code ec;
        if (fs::is_directory(argv[i], ec)) {
            for (const auto& e : fs::directory_iterator(argv[i]))
                if (e.is_regular_file())
                    archivos.push_back(e.path());
            std::sort(archivos.begin(), archivos.end());
            if (archivos.empty()) {
                std::fprintf(stderr, "%s no tiene entradas\n", argv[i]);
                return 1;
            }
        } else {
            archivos.push_back(argv[i]);
        }
        for (const fs::path& a : archivos) {
            if (!Ejecuta(a))
                return 1;
            ++ejecutadas;
        }
    }
    std::printf("%zu entradas\n", ejecutadas);
    return 0;
}
