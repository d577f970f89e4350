// Debug keys as the developer presses them (Ctrl+Alt+D, then function keys
// through the window procedure), screenshots numbered after the highest one
// present, and the image dump with its index page.

#include <gtest/gtest.h>

#include <chrono>

#include "platform/window/messages.h"
#include "platform/window/virtual_keys.h"
#include "rendering/draw/graphics.h"
#include "rendering/image/image_child.h"
#include "rendering/image/image_surface.h"
#include "rendering/imagefile/image_files.h"
#include "tests/app/app_services_support.h"
#include "tests/support/text_pattern.h"
#include "widgets/tree/widget.h"

namespace {

namespace msg = plat::msg;
namespace vk = plat::vk;
using testsupport::ScopedDataFolder;
using testsupport::ServicesApp;
using testsupport::TempFolder;

constexpr int F(int n) { return static_cast<int>(vk::kF1) + n - 1; }

class Backdrop : public Widget {
public:
    Backdrop() { Resize(0, 0, 640, 480); }
    void Draw(Graphics* g) override {
        g->SetColor(Color{40, 70, 110, 255});
        g->FillRect(0, 0, 640, 480);
        g->SetColor(Color{230, 180, 60, 255});
        g->FillRect(300, 200, 40, 40);
    }
};

class DebugApp : public ServicesApp {
public:
    void Press(int key) {
        Feed(msg::kKeyDown, static_cast<plat::WParam>(key));
        Feed(msg::kKeyUp, static_cast<plat::WParam>(key));
    }
    void PressWith(int modifier, int key) {
        Feed(msg::kKeyDown, static_cast<plat::WParam>(modifier));
        Press(key);
        Feed(msg::kKeyUp, static_cast<plat::WParam>(modifier));
    }
    void EnterDebugMode() {
        Feed(msg::kKeyDown, vk::kControl);
        Feed(msg::kSysKeyDown, vk::kMenu);
        Feed(msg::kSysKeyDown, 'D');
        Feed(msg::kSysKeyUp, 'D');
        Feed(msg::kSysKeyUp, vk::kMenu);
        Feed(msg::kKeyUp, vk::kControl);
    }
};

TEST(DebugKeys, FunctionKeysActOnlyInDebugModeAndTheOthersReachTheGame) {
    ScopedDataFolder data;
    DebugApp app;
    app.Initialize();
    ASSERT_TRUE(app.IsInitialized());

    app.Press(F(1));
    EXPECT_FALSE(app.Settings().Values().waitForVsync);
    EXPECT_EQ(app.keys.back(), F(1));  // not in debug mode: the game's key

    app.EnterDebugMode();
    ASSERT_TRUE(app.DebugKeyMode());
    app.keys.clear();
    app.Press(F(1));
    EXPECT_TRUE(app.Settings().Values().waitForVsync);

    app.PressWith(vk::kControl, F(10));
    EXPECT_EQ(app.SpeedFactor(), 0.25);
    app.PressWith(vk::kControl, F(10));
    EXPECT_EQ(app.SpeedFactor(), 1.0);
    app.Press(F(10));
    EXPECT_EQ(app.StepMode(), 1);
    app.PressWith(vk::kShift, F(10));
    EXPECT_EQ(app.StepMode(), 0);

    app.Press(F(3));
    EXPECT_TRUE(app.OverlayOn());
    EXPECT_TRUE(app.TakeOverlayReset());
    EXPECT_FALSE(app.TakeOverlayReset());
    app.PressWith(vk::kShift, F(3));
    EXPECT_EQ(app.OverlayKind(), 1);
    app.PressWith(vk::kShift, F(3));
    EXPECT_EQ(app.OverlayKind(), 0);
    app.Press(F(3));
    EXPECT_FALSE(app.OverlayOn());

    app.Press(F(8));
    ASSERT_EQ(app.boxes.size(), 1u);
    const std::string stats(app.boxes[0].begin(), app.boxes[0].end());
    EXPECT_TRUE(testsupport::FindPattern(stats,
                                         "^Video Stats: Num Images: [0-9]+\r\nNum Sounds: 0\r\n"
                                         "Available Texture Memory: [0-9,]+ KB\r\n"))
        << stats;

    // Only the function keys of the table are taken; F5 and the rest go on.
    const std::vector<int> game = {F(5), 'Q', F(4), F(12)};
    std::vector<int> handled = {F(1), F(3), F(8), F(10), F(3)};
    for (int key : handled) app.Press(key);
    for (int key : game) app.Press(key);
    std::vector<int> passed;
    for (int key : app.keys)
        if (key != static_cast<int>(vk::kControl) && key != static_cast<int>(vk::kShift)) passed.push_back(key);
    EXPECT_EQ(passed, game);
    app.Shutdown();
}

TEST(DebugKeys, ScreenshotsArePngsNumberedAfterTheHighestPresent) {
    ScopedDataFolder data;
    TempFolder out;
    DebugApp app;
    app.SetDiagnosticsFolder(out.Path().string() + "/");
    app.Initialize();
    ASSERT_TRUE(app.IsInitialized());
    auto* backdrop = new Backdrop;
    app.Widgets().AddWidget(backdrop);
    ASSERT_TRUE(app.Draw());
    app.EnterDebugMode();

    app.Press(F(11));
    std::unique_ptr<ImageData> first = GetPNGImage(out / "_screenshots/image1.png");
    ASSERT_TRUE(first);
    ASSERT_EQ(first->GetWidth(), 640);
    ASSERT_EQ(first->GetHeight(), 480);
    EXPECT_EQ(first->Row(10)[10], 0xFF28466Eu);    // the backdrop
    EXPECT_EQ(first->Row(220)[320], 0xFFE6B43Cu);  // the square in its middle

    testsupport::WriteBytes(out / "_screenshots/image7.png", "not looked into");
    testsupport::WriteBytes(out / "_screenshots/image12.txt", "");
    testsupport::WriteBytes(out / "_screenshots/imagefinal.png", "");
    app.Press(F(11));
    EXPECT_TRUE(std::filesystem::exists(out / "_screenshots/image8.png"));
    EXPECT_FALSE(std::filesystem::exists(out / "_screenshots/image2.png"));
    app.Widgets().RemoveWidget(backdrop);
    app.Shutdown();
}

// A surface of the given size with every pixel `argb` (straight alpha, stored
// premultiplied as decoded files are), except pixel 1 when `second` is given.
std::unique_ptr<ImageSurface> Surface(const wchar_t* name, int w, int h, uint32_t argb, uint32_t second = 0) {
    auto image = std::make_unique<ImageSurface>();
    image->name = name;
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h, argb);
    if (second) pixels[1] = second;
    image->SetBits(pixels.data(), w, h, true);
    return image;
}

TEST(ImageDump, EveryOwnImageLargestFirstWithThumbnailsAndTotals) {
    TempFolder out;
    ServicesApp app;  // its image set sees the surfaces below
    app.SetDiagnosticsFolder(out.Path().string() + "/");
    auto wide = Surface(L"wide", 40, 10, 0xFF0000FFu);
    auto big = Surface(L"big", 30, 30, 0xFF00FF00u, 0x80800000u);  // pixel 1: red 128, half covered
    auto small = Surface(L"small", 8, 8, 0xFFFF0000u);
    ImageChild child(big.get());  // a child holds no pixels of its own
    testsupport::WriteBytes(out / "_dump/stale.txt", "from the last dump");

    ASSERT_TRUE(app.DumpImages());
    EXPECT_FALSE(std::filesystem::exists(out / "_dump/stale.txt"));
    const std::string page = testsupport::ReadBytes(out / "_dump/imagelist.html");
    const char* expectedRows =
        "<TD ALIGN=RIGHT>30 x 30<BR>3,600 bytes</TD><TD>mBits<BR></TD></TR>.*"
        "<TD ALIGN=RIGHT>40 x 10<BR>1,600 bytes</TD>.*"
        "<TD ALIGN=RIGHT>8 x 8<BR>256 bytes</TD>.*"
        "<TR><TD>Totals</TD><TD ALIGN=RIGHT>5,456 bytes</TD>";
    EXPECT_TRUE(testsupport::FindPattern(page, expectedRows)) << page;
    EXPECT_TRUE(testsupport::FindPattern(page,
                                         "^<HTML><BODY BGCOLOR=EEEEFF><CENTER><FONT SIZE=\\+2><B>[^<]+"
                                         "</B></FONT><BR>Total ImageSurface Allocation: 5,456 bytes<BR>"));
    EXPECT_TRUE(page.find("</TABLE></CENTER></BODY></HTML>") != std::string::npos);

    // The largest image's file holds its pixels with straight alpha.
    std::unique_ptr<ImageData> png = GetPNGImage(out / "_dump/img0000.png");
    ASSERT_TRUE(png);
    ASSERT_EQ(png->GetWidth(), 30);
    EXPECT_EQ(png->Row(0)[0], 0xFF00FF00u);
    const uint32_t unpremultiplied = png->Row(0)[1];
    EXPECT_EQ(unpremultiplied >> 24, 0x80u);
    EXPECT_NEAR(static_cast<int>((unpremultiplied >> 16) & 255), 128, 1);

    // Each thumbnail is a JPEG of the size the page gives it.
    std::vector<std::string> size;
    ASSERT_TRUE(testsupport::FindPattern(page, "<IMG SRC=thumb0001.jpg WIDTH=([0-9]+) HEIGHT=([0-9]+)>", &size));
    std::unique_ptr<ImageData> thumb = GetJPEGImage(out / "_dump/thumb0001.jpg");
    ASSERT_TRUE(thumb);
    EXPECT_EQ(thumb->GetWidth(), std::stoi(size[0]));
    EXPECT_EQ(thumb->GetHeight(), std::stoi(size[1]));
    EXPECT_FALSE(std::filesystem::exists(out / "_dump/img0003.png"));  // the child is not dumped
}

TEST(ImageDump, AFolderThatCannotBeMadeEndsTheDumpWithAMessage) {
    TempFolder out;
    testsupport::WriteBytes(out / "plain-file", "not a folder");
    ServicesApp app;
    app.SetDiagnosticsFolder(out / "plain-file/");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(app.DumpImages());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    ASSERT_EQ(app.boxes.size(), 1u);
    EXPECT_EQ(app.boxes[0].rfind(L"Image Dump: ", 0), 0u);
}

}  // namespace
