// Presenting the frame: composition into the back buffer, recovery after a
// failed present, the cursor and screen capture.
#include <gtest/gtest.h>

#include "device_test_support.h"

namespace {

using testsupport::CountingShader;
using testsupport::DeviceTest;
using testsupport::FakeImage;

class CountingFont : public DeviceSysFont {
public:
    int releases = 0;
    void ReleaseDeviceFont() override { ++releases; }
};

class DevicePresentTest : public DeviceTest {
protected:
    void FillDrawBuffer(const Color& c, const Rect& r) {
        ASSERT_TRUE(d3d->GetDrawBuffer()->BindRenderTarget());
        DrawState opaque;
        opaque.mode = kDrawOpaque;
        d3d->FillRect(&c, &opaque, r);
    }
    uint32_t Shown(int x, int y) const {
        const auto& frame = Device()->LastPresentedFrame();
        return frame[static_cast<size_t>(y) * static_cast<size_t>(d3d->GetDisplaySize().width) + x];
    }
    void UseFullscreen(int desktopW, int desktopH) {
        plat::GraphicsConfig c;
        plat::AdapterConfig a;
        a.desktop = {static_cast<uint32_t>(desktopW), static_cast<uint32_t>(desktopH), 60, plat::Format::X8R8G8B8};
        a.modes = {a.desktop};
        c.adapters.push_back(a);
        UseConfig(c);
        host.desktopW = desktopW;
        host.desktopH = desktopH;
    }
};

TEST_F(DevicePresentTest, RecoveryAfterFailedPresent) {
    FakeImage image(L"tree", 8, 8, true);
    CountingFont font;
    auto* shader = new CountingShader;  // still registered at the end: the wrapper deletes it
    d3d->AddImage(&image);
    d3d->AddSysFont(&font);
    d3d->AddShaderProgram(shader);
    InitWindowed();
    EXPECT_EQ(1, image.commits);

    Device()->FailNextPresent();
    EXPECT_FALSE(d3d->Redraw());

    // What the application does when Redraw fails.
    d3d->Cleanup();
    EXPECT_FALSE(d3d->IsReady());
    EXPECT_EQ(nullptr, d3d->GetDevice());
    EXPECT_EQ(1, image.moves);
    EXPECT_EQ(1, font.releases);
    EXPECT_EQ(1, shader->releases);
    EXPECT_FALSE(d3d->Redraw());

    ASSERT_EQ(RESULT_OK, d3d->Init(nullptr, true, false));
    EXPECT_EQ(2, image.commits);
    FillDrawBuffer(Color::FromRGB(0, 200, 0), Rect(3, 4, 2, 2));
    ASSERT_TRUE(d3d->Redraw());
    EXPECT_EQ(0xFF00C800u, Shown(3, 4));
    EXPECT_EQ(0xFF00C800u, Shown(4, 5));
    EXPECT_EQ(0xFF000000u, Shown(5, 5));

    d3d->ReleaseDeviceObjects(false);
    EXPECT_EQ(1, image.trims);
    d3d->RemoveImage(&image);
    d3d->RemoveSysFont(&font);
}

TEST_F(DevicePresentTest, PillarboxedFrameHasBlackBordersAndCentredPicture) {
    UseFullscreen(400, 240);  // 5:3 around a 4:3 draw buffer of 320 x 240
    ASSERT_EQ(RESULT_OK, d3d->Init(nullptr, false, false));
    FillDrawBuffer(Color::FromRGB(255, 0, 0), Rect(0, 0, host.screenW, host.screenH));
    FillDrawBuffer(Color::FromRGB(0, 0, 255), Rect(0, 0, 1, 1));
    ASSERT_TRUE(d3d->Redraw());
    const int left = (400 - 320) / 2;
    for (int x : {0, left - 1, left + 320, 399}) EXPECT_EQ(0xFF000000u, Shown(x, 100)) << x;
    EXPECT_EQ(0xFF0000FFu, Shown(left, 0));
    EXPECT_EQ(0xFFFF0000u, Shown(left + 1, 0));
    EXPECT_EQ(0xFFFF0000u, Shown(left + 319, 239));
}

TEST_F(DevicePresentTest, StretchedFrameFillsTheDisplay) {
    UseFullscreen(640, 480);
    ASSERT_EQ(RESULT_OK, d3d->Init(nullptr, false, true));
    EXPECT_TRUE(d3d->GetDisplayLayout().stretchingNeeded);
    FillDrawBuffer(Color::FromRGB(0, 255, 0), Rect(0, 0, host.screenW, host.screenH));
    ASSERT_TRUE(d3d->Redraw());
    for (int y : {0, 240, 479})
        for (int x : {0, 320, 639}) EXPECT_EQ(0xFF00FF00u, Shown(x, y)) << x << "," << y;
}

TEST_F(DevicePresentTest, HiddenFullscreenPresentsNothing) {
    UseFullscreen(320, 240);
    ASSERT_EQ(RESULT_OK, d3d->Init(nullptr, false, false));
    host.hidden = true;
    EXPECT_FALSE(d3d->Redraw());
    host.hidden = false;
    EXPECT_TRUE(d3d->Redraw());
}

TEST_F(DevicePresentTest, CursorImageSelection) {
    InitWindowed();
    FakeImage arrow(L"arrow", 4, 4, true);
    FakeImage hand(L"hand", 4, 4, true);
    host.hotspots[L"arrow"] = {1, 1};
    host.hotspots[L"hand"] = {2, 0};
    d3d->AddImage(&arrow);
    d3d->AddImage(&hand);

    bool software = true;
    EXPECT_FALSE(d3d->SetCursorImage(&arrow, &software));
    EXPECT_FALSE(software);
    EXPECT_EQ(1, host.cursorsCreated);
    EXPECT_EQ(1u, host.shownCursor);
    EXPECT_EQ(arrow.bits_, host.lastCursorPixels);

    // The same image again changes nothing.
    EXPECT_FALSE(d3d->SetCursorImage(&arrow, &software));
    EXPECT_EQ(1, host.cursorsCreated);

    EXPECT_FALSE(d3d->SetCursorImage(&hand, &software));
    EXPECT_FALSE(d3d->SetCursorImage(&arrow, &software));
    EXPECT_EQ(2, host.cursorsCreated);  // built once per image
    EXPECT_EQ(1u, host.shownCursor);

    EXPECT_TRUE(d3d->SetCursorImage(nullptr, &software));
    EXPECT_FALSE(software);
    EXPECT_FALSE(d3d->IsSoftwareCursor());

    d3d->ReleaseDevice();
    EXPECT_EQ(2, host.cursorsDestroyed);
    EXPECT_TRUE(d3d->IsSoftwareCursor());
    d3d->RemoveImage(&arrow);
    d3d->RemoveImage(&hand);
}

TEST_F(DevicePresentTest, HardwareCursorWithoutSystemPixelsFallsBackToSoftware) {
    InitWindowed();
    FakeImage packed(L"packed", 4, 4, false);
    host.hotspots[L"packed"] = {0, 0};
    bool software = false;
    EXPECT_TRUE(d3d->SetCursorImage(&packed, &software));
    EXPECT_TRUE(software);
    EXPECT_TRUE(d3d->IsSoftwareCursor());
    EXPECT_EQ(0, host.cursorsCreated);
    EXPECT_TRUE(d3d->SetCursorImage(nullptr, &software));
    EXPECT_TRUE(software);
}

TEST_F(DevicePresentTest, SoftwareCursorIsDrawnAtThePointerLessItsHotSpot) {
    InitWindowed();
    FakeImage pointer(L"pointer", 4, 6, true);  // not in the hot-spot table
    d3d->AddImage(&pointer);
    bool software = false;
    EXPECT_TRUE(d3d->SetCursorImage(&pointer, &software));
    EXPECT_TRUE(software);
    d3d->SetCursorPos(50, 60);
    ASSERT_TRUE(d3d->Redraw());
    EXPECT_EQ(50, d3d->DrawnCursorX());
    EXPECT_EQ(60, d3d->DrawnCursorY());
    // Hot spot is the middle: (2, 3); the image covers 48..51 x 57..62.
    for (int y = 55; y < 65; ++y)
        for (int x = 46; x < 54; ++x) {
            const bool inside = x >= 48 && x < 52 && y >= 57 && y < 63;
            EXPECT_EQ(inside ? 0xFF00FF00u : 0xFF000000u, Shown(x, y)) << x << "," << y;
        }
    // The frame itself is untouched by the cursor.
    EXPECT_EQ(0u, DrawBufferPixels()[60u * host.screenW + 50]);
    // An image that goes away takes the cursor with it.
    d3d->RemoveImage(&pointer);
    EXPECT_TRUE(d3d->Redraw());
    EXPECT_EQ(0xFF000000u, Shown(50, 60));
}

TEST_F(DevicePresentTest, CaptureScreenCopiesTheDrawBuffer) {
    InitWindowed();
    FillDrawBuffer(Color::FromRGB(9, 8, 7), Rect(10, 20, 5, 5));
    std::unique_ptr<DeviceImage> shot = d3d->CaptureScreen();
    ASSERT_NE(nullptr, shot);
    EXPECT_EQ(host.screenW, shot->GetWidth());
    EXPECT_EQ(host.screenH, shot->GetHeight());
    const uint32_t* bits = shot->GetBits();
    ASSERT_NE(nullptr, bits);
    EXPECT_EQ(0xFF090807u, bits[20u * host.screenW + 10]);
    EXPECT_EQ(0u, bits[20u * host.screenW + 15]);
}

}  // namespace
