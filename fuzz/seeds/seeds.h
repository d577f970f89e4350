#pragma once
// The seed corpus generator's shared parts. Each family of seeds is written
// by one function into the corpus folder of its fuzz target; a seed that the
// engine's own reader does not accept is reported, so the corpus never
// starts the fuzzers from inputs they cannot get past.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace seeds {

using Bytes = std::vector<uint8_t>;

class Corpus {
public:
    explicit Corpus(std::filesystem::path root) : root_(std::move(root)) {}

    // Empties the target's folder (made when missing) and makes it the one written to.
    void Begin(std::string_view target);
    // Writes one seed into the current target's folder; returns its path.
    std::string Write(std::string_view name, std::string_view bytes);
    std::string Write(std::string_view name, const Bytes& bytes);
    // A path in the current target's folder for a writer that makes the file itself.
    std::string PathOf(std::string_view name) const { return (folder_ / name).string(); }

    // Reports a seed its reader refused; the run then ends in failure.
    void Expect(bool accepted, std::string_view seed);
    bool Failed() const { return failed_; }

private:
    std::filesystem::path root_;
    std::filesystem::path folder_;
    bool failed_ = false;
};

// One function per family, in the files named after them.
void WriteImageSeeds(Corpus& corpus);   // image_seeds.cpp: png, jpeg, gif, tga
void WriteTextSeeds(Corpus& corpus);    // text_seeds.cpp: xml, descriptor, expression, curve
void WriteFontSeeds(Corpus& corpus);    // font_seeds.cpp: font_descriptor, image_font
void WriteFileSeeds(Corpus& corpus);    // file_seeds.cpp: pak, registry, shader
void WriteDataSeeds(Corpus& corpus);    // data_seeds.cpp: sound, catalogues, park, tutorial
void WriteAppSeeds(Corpus& corpus);     // app_seeds.cpp: http_reply, settings, profiles, assets, config, localization
void WriteScriptSeeds(Corpus& corpus);  // script_seeds.cpp: scripts

}  // namespace seeds
