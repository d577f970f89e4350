#pragma once
// Doubles for the asset tests: a sound manager and a music interface that
// record what they are asked and load whatever their file list holds, a
// loading-step counter, and a folder of small PNG pictures to declare in an
// assets.xml written by the test.

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "foundation/system/app_services.h"
#include "foundation/system/sound_manager.h"
#include "foundation/system/track_interface.h"
#include "rendering/image/image_data.h"
#include "rendering/imagefile/image_files.h"
#include "tests/app/recording_tracks.h"
#include "tests/platform/temp_folder.h"

namespace testsupport {

// Loads a sound when its path is in `files`; records every load and release.
class SoundLoadRecorder : public NullSoundManager {
public:
    bool LoadSound(int id, std::string_view path) override {
        loads.emplace_back(id, std::string(path));
        return files.count(std::string(path)) > 0;
    }
    void ReleaseSound(int id) override { released.push_back(id); }

    std::set<std::string> files;
    std::vector<std::pair<int, std::string>> loads;
    std::vector<int> released;

private:
    ScopedService<SoundManager> installed_{this};
};

class LoadingStepCounter : public NullAppServices {
public:
    void AdvanceLoadingStep() override { ++steps; }
    std::atomic<int> steps{0};

private:
    ScopedService<AppServices> installed_{this};
};

// A w x h picture whose pixel (x, y) is opaque with red x and green y.
inline void WriteTestPng(const std::string& path, int w, int h) {
    ImageData image;
    ASSERT_TRUE(image.Allocate(w, h, true));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.GetBits()[y * w + x] =
                0xFF000000u | (static_cast<uint32_t>(x & 0xFF) << 16) | (static_cast<uint32_t>(y & 0xFF) << 8);
    ASSERT_TRUE(WritePNGImage(path, image));
}

// A test folder that is the current directory while it lives, so assets.xml
// names its files by relative paths as the game's does.
class AssetFolder {
public:
    AssetFolder() : guard_(folder_.Path()) { std::filesystem::create_directories(folder_.Path() / "properties"); }

    void Png(const std::string& relative, int w, int h) {
        std::filesystem::create_directories((folder_.Path() / relative).parent_path());
        WriteTestPng(folder_ / relative, w, h);
    }
    void AssetsXml(const std::string& body) {
        std::ofstream(folder_ / "properties/assets.xml") << "<assets>\n" << body << "\n</assets>\n";
    }

private:
    TempFolder folder_;
    CurrentDirectoryGuard guard_;
};

}  // namespace testsupport
