#include "app/audio/cached_wav.h"

#include <cstdio>
#include <memory>

#include "app/audio/sound_file_internal.h"
#include "foundation/files/path_utils.h"
#include "platform/system/file_system.h"

namespace {

constexpr size_t kMaxDependencyName = 255;

bool ClimbsOut(std::string_view name) {
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("\\/", start);
        if (end == std::string_view::npos) end = name.size();
        if (name.substr(start, end - start) == "..") return true;
        start = end + 1;
    }
    return false;
}

void PutLe16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void PutLe32(std::string& out, uint32_t v) {
    PutLe16(out, v & 0xFFFF);
    PutLe16(out, v >> 16);
}

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

}  // namespace

std::string CachedSoundPath(std::string_view name) {
    if (name.size() <= 2 || name[0] == '\\' || name[0] == '/' || name[1] == ':') return std::string();
    if (ClimbsOut(name)) return std::string();
    std::string path = AddTrailingSlash(GetAppDataFolder());
    path += "cached\\";
    path += name;
    path += ".wav";
    return path;
}

bool FindSoundDependency(std::string_view sourcePath, SoundDependency* out) {
    sound_files::PakFilePtr file = sound_files::OpenForReading(sourcePath);
    if (!file) return false;
    std::string pack = PakFileContainer(file.get());
    out->name = pack.empty() ? std::string(sourcePath) : std::move(pack);
    if (out->name.size() > kMaxDependencyName) return false;
    return plat::GetFileWriteTime(out->name, &out->fileTime);
}

bool WriteCachedWav(std::string_view path, const PcmSound& sound, const SoundDependency* dependency) {
    if (path.empty()) return false;
    if (dependency && dependency->name.size() > kMaxDependencyName) return false;
    const plat::SoundFormat& f = sound.format;
    const auto dataSize = static_cast<uint32_t>(sound.data.size());
    std::string depChunk;
    if (dependency) {
        depChunk = "dep ";
        const auto length = static_cast<uint32_t>(dependency->name.size());
        PutLe32(depChunk, 2 + length + 8);
        PutLe16(depChunk, length);
        depChunk += dependency->name;
        PutLe32(depChunk, static_cast<uint32_t>(dependency->fileTime));
        PutLe32(depChunk, static_cast<uint32_t>(dependency->fileTime >> 32));
        // An odd chunk is followed by a pad byte, which its size leaves out.
        if (length % 2 != 0) depChunk += '\0';
    }

    std::string header = "RIFF";
    PutLe32(header, dataSize + 36 + static_cast<uint32_t>(depChunk.size()));
    header += "WAVEfmt ";
    PutLe32(header, 16);
    PutLe16(header, plat::kSoundFormatPcm);
    PutLe16(header, f.channels);
    PutLe32(header, f.samplesPerSec);
    const uint32_t blockAlign = f.channels * f.bitsPerSample / 8u;
    PutLe32(header, blockAlign * f.samplesPerSec);
    PutLe16(header, blockAlign);
    PutLe16(header, f.bitsPerSample);
    header += depChunk;
    header += "data";
    PutLe32(header, dataSize);

    std::unique_ptr<FILE, FileCloser> file(plat::OpenFile(path, "wb"));
    if (!file) return false;
    if (std::fwrite(header.data(), 1, header.size(), file.get()) != header.size()) return false;
    if (!sound.data.empty() && std::fwrite(sound.data.data(), 1, sound.data.size(), file.get()) != sound.data.size())
        return false;
    return std::fclose(file.release()) == 0;
}
