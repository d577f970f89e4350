#include "platform/fonts/system_font.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

using plat::FontRequest;
using plat::PixelRect;
using plat::SystemFont;

// The loading thread makes and measures fonts, and measures the font being
// drawn, while the main thread draws and releases it as on a device loss.
TEST(FontsThreads, LoadingThreadWorksWhileTheMainThreadDraws) {
    auto shared = SystemFont::Create(FontRequest{"DejaVu Sans", 12, 96, 400, false, false});
    ASSERT_TRUE(shared);
    const std::wstring text = L"Loading the park...";
    const int expectedWidth = shared->MeasureWidth(text);

    std::vector<uint32_t> reference(200 * 24, 0);
    const PixelRect all{0, 0, 200, 24};
    ASSERT_TRUE(shared->DrawText({reference.data(), 200, 24, 800}, all, all, text, 0xFFFFFFFF));

    std::atomic<int> wrongWidths{0};
    std::atomic<int> madeFonts{0};
    std::thread loader([&] {
        for (int i = 0; i < 8; ++i) {
            auto font = SystemFont::Create(
                FontRequest{i % 2 ? "DejaVu Serif" : "Missing Face", 8 + i, 96, i % 3 ? 400 : 700, i % 4 == 0, false});
            if (font && font->MeasureWidth(text) > 0) ++madeFonts;
            if (shared->MeasureWidth(text) != expectedWidth) ++wrongWidths;
        }
    });
    int wrongDraws = 0;
    for (int i = 0; i < 40; ++i) {
        std::vector<uint32_t> pixels(200 * 24, 0);
        shared->DrawText({pixels.data(), 200, 24, 800}, all, all, text, 0xFFFFFFFF);
        wrongDraws += pixels != reference;
        if (i % 10 == 9) shared->ReleaseDeviceState();
    }
    loader.join();
    EXPECT_EQ(madeFonts.load(), 8);
    EXPECT_EQ(wrongWidths.load(), 0);
    EXPECT_EQ(wrongDraws, 0);
}

// Fonts asked for ahead: whatever was prepared, and on whichever thread it is
// then asked for, every font is the one a plain Create makes, a prepared one
// serving no request but its own.
TEST(FontsThreads, APreparedFontIsTheFontCreateMakesForItsOwnRequestOnly) {
    const FontRequest regular{"DejaVu Sans", 12, 96, 400, false, false};
    const FontRequest bold{"DejaVu Sans", 12, 96, 700, false, false};
    const FontRequest missing{"Missing Face", 10, 96, 400, true, false};
    const std::wstring text = L"Park opens at nine";
    auto same = [&](SystemFont* made, const FontRequest& request) {
        auto plain = SystemFont::Create(request);
        if (!made || !plain) return made == nullptr && plain == nullptr;
        return made->FilePath() == plain->FilePath() && made->FamilyName() == plain->FamilyName() &&
               made->UsedFallback() == plain->UsedFallback() && made->Metrics().ascent == plain->Metrics().ascent &&
               made->Metrics().height == plain->Metrics().height && made->Request() == request &&
               made->MeasureWidth(text) == plain->MeasureWidth(text);
    };
    const std::vector<std::vector<FontRequest>> preparedSets = {
        {},
        {regular},
        {regular, regular},
        {bold, missing, regular},
    };
    for (size_t set = 0; set < preparedSets.size(); ++set) {
        for (const FontRequest& request : preparedSets[set]) SystemFont::Prepare(request);
        std::vector<bool> ok;
        std::thread loader([&] {
            for (const FontRequest& request : {regular, regular, bold, missing, regular})
                ok.push_back(same(SystemFont::Create(request).get(), request));
        });
        loader.join();
        EXPECT_EQ(ok, std::vector<bool>(5, true)) << "prepared set " << set;
    }
}

}  // namespace
