// Runs a fuzz target over the files given on the command line, or over every file in the
// folders given: the corpus replay that runs with the tests, in any compiler's build.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size);

namespace {

void Replay(const std::filesystem::path& File) {
    std::ifstream In(File, std::ios::binary);
    const std::vector<char> Bytes((std::istreambuf_iterator<char>(In)),
                                  std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(Bytes.data()), Bytes.size());
}

} // namespace

int main(int argc, char** argv) {
    std::size_t Count = 0;
    for (int I = 1; I < argc; ++I) {
        const std::filesystem::path Path(argv[I]);
        if (std::filesystem::is_directory(Path)) {
            for (const auto& Entry : std::filesystem::directory_iterator(Path))
                if (Entry.is_regular_file()) {
                    Replay(Entry.path());
                    ++Count;
                }
        } else {
            Replay(Path);
            ++Count;
        }
    }
    if (Count == 0) {
        std::fprintf(stderr, "no inputs to replay\n");
        return 1;
    }
    std::printf("replayed %zu inputs\n", Count);
    return 0;
}
