// Replays the fuzzer's corpus through the number properties, so that every
// build runs them without libFuzzer. Arguments: corpus folders or files. A
// broken property aborts; finding no input at all is a failure too.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "NumberProperties.h"

namespace fs = std::filesystem;

int main(int argc, char** argv)
{
    std::vector<fs::path> Inputs;
    for (int I = 1; I < argc; ++I) {
        const fs::path Arg(argv[I]);
        if (fs::is_directory(Arg)) {
            for (const auto& Entry : fs::directory_iterator(Arg))
                if (Entry.is_regular_file())
                    Inputs.push_back(Entry.path());
        } else if (fs::is_regular_file(Arg)) {
            Inputs.push_back(Arg);
        } else {
            std::fprintf(stderr, "no such corpus: %s\n", Arg.c_str());
            return 1;
        }
    }
    std::sort(Inputs.begin(), Inputs.end());
    if (Inputs.empty()) {
        std::fprintf(stderr, "no corpus input found\n");
        return 1;
    }
    for (const fs::path& Path : Inputs) {
        std::ifstream File(Path, std::ios::binary);
        const std::vector<char> Bytes{std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>()};
        if (!File.eof() && File.fail()) {
            std::fprintf(stderr, "cannot read %s\n", Path.c_str());
            return 1;
        }
        std::fprintf(stderr, "%s\n", Path.filename().c_str());
        CheckNumberProperties(reinterpret_cast<const std::uint8_t*>(Bytes.data()), Bytes.size());
    }
    std::printf("%zu corpus inputs keep every number property\n", Inputs.size());
    return 0;
}
