#pragma once
// Helpers for the sound and music tests: sound files encoded here from the
// formats alone (so the readers are never checked against themselves), a
// sound manager on a manually pulled device, and a data folder of the
// test's own.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/audio/dsound_manager.h"
#include "foundation/files/path_utils.h"
#include "tests/platform/temp_folder.h"

namespace audio_test {

using testsupport::TempFolder;
using testsupport::WriteBytes;

inline void Le(std::string& out, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
inline void Be(std::string& out, uint64_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A chunk of an odd size is followed by a pad byte, not counted in its size.
inline std::string Chunk(const char* id, const std::string& body) {
    std::string out(id, 4);
    Le(out, body.size(), 4);
    out += body;
    if (body.size() % 2 != 0) out += '\0';
    return out;
}

inline std::string FmtChunk(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    std::string body;
    Le(body, tag, 2);
    Le(body, channels, 2);
    Le(body, rate, 4);
    const uint32_t block = static_cast<uint32_t>(channels) * bits / 8;  // claims of any size
    Le(body, rate * block, 4);
    Le(body, block, 2);
    Le(body, bits, 2);
    return Chunk("fmt ", body);
}

inline std::string Riff(const std::string& chunks) {
    std::string out = "RIFF";
    Le(out, 4 + chunks.size(), 4);
    return out + "WAVE" + chunks;
}

inline std::string Samples16(const std::vector<int16_t>& samples) {
    std::string out;
    for (int16_t s : samples) Le(out, static_cast<uint16_t>(s), 2);
    return out;
}

inline std::string Wav16(const std::vector<int16_t>& samples, uint16_t channels = 1, uint32_t rate = 44100) {
    return Riff(FmtChunk(1, channels, rate, 16) + Chunk("data", Samples16(samples)));
}

inline std::string Au(uint32_t encoding, uint32_t rate, uint32_t channels, const std::string& data,
                      uint32_t offset = 24) {
    std::string out = ".snd";
    Be(out, offset, 4);
    Be(out, data.size(), 4);
    Be(out, encoding, 4);
    Be(out, rate, 4);
    Be(out, channels, 4);
    out.resize(offset, '\0');
    return out + data;
}

inline std::vector<int16_t> As16(const std::vector<uint8_t>& bytes) {
    std::vector<int16_t> out(bytes.size() / 2);
    std::memcpy(out.data(), bytes.data(), out.size() * 2);
    return out;
}

inline std::string SoundsDir() { return std::string(HALVARO_SOURCE_DIR) + "/data/sounds/"; }
inline std::string FixturesDir() { return std::string(HALVARO_SOURCE_DIR) + "/tests/app/fixtures/"; }

// Any non-null window will do: the device only notes that it has one.
inline plat::NativeWindow* SomeWindow() {
    static int token;
    return reinterpret_cast<plat::NativeWindow*>(&token);
}

// The application's data folder (where the cache goes) inside a fresh
// temporary folder for the test's duration.
class DataFolder {
public:
    DataFolder() : previous_(GetAppDataFolder()) { SetAppDataFolder(folder_.Path().string() + "/"); }
    ~DataFolder() { SetAppDataFolder(previous_); }
    DataFolder(const DataFolder&) = delete;
    DataFolder& operator=(const DataFolder&) = delete;
    std::string operator/(std::string_view relative) const { return folder_ / relative; }
    const std::filesystem::path& Path() const { return folder_.Path(); }

private:
    TempFolder folder_;
    std::string previous_;
};

// Stereo frames of the device's mix.
inline std::vector<int16_t> Pull(plat::SoundDevice& device, size_t frames) {
    std::vector<int16_t> out(2 * frames);
    EXPECT_TRUE(device.Pull(out.data(), frames));
    return out;
}

}  // namespace audio_test
