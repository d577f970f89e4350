// Writes the seed corpus of every fuzz target: small valid inputs made by the
// engine's own writers (images, the pack, the registry text) or built here
// byte by byte. From the repository's top folder, after a fuzz build:
//   ./build-fuzz/fuzz/make_fuzz_seeds fuzz/corpus
// Each target's folder is emptied and written again.
#include <cstdio>
#include <fstream>

#include "fuzz/seeds/seeds.h"

namespace seeds {

void Corpus::Begin(std::string_view target) {
    folder_ = root_ / target;
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
}

std::string Corpus::Write(std::string_view name, std::string_view bytes) {
    const std::string path = PathOf(name);
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::string Corpus::Write(std::string_view name, const Bytes& bytes) {
    return Write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void Corpus::Expect(bool accepted, std::string_view seed) {
    if (accepted) return;
    std::fprintf(stderr, "make_fuzz_seeds: %s/%.*s is not accepted by its reader\n", folder_.filename().c_str(),
                 static_cast<int>(seed.size()), seed.data());
    failed_ = true;
}

}  // namespace seeds

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds CORPUS_FOLDER\n");
        return 2;
    }
    seeds::Corpus corpus(argv[1]);
    seeds::WriteImageSeeds(corpus);
    seeds::WriteTextSeeds(corpus);
    seeds::WriteFontSeeds(corpus);
    seeds::WriteFileSeeds(corpus);
    seeds::WriteDataSeeds(corpus);
    seeds::WriteAppSeeds(corpus);
    seeds::WriteScriptSeeds(corpus);
    return corpus.Failed() ? 1 : 0;
}
