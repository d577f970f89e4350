// Display arithmetic: the presentation rectangle for common desktops and
// windows, the report lines, the full-screen mode search, the refresh clamp
// and the texture limits.
#include <gtest/gtest.h>

#include "rendering/device/d3d_interface.h"
#include "rendering/device/display_layout.h"

namespace {

struct FitCase {
    int desktopW, desktopH, screenW, screenH;
};

class PresentationRectTest : public ::testing::TestWithParam<FitCase> {};

// Full screen without stretch: the draw buffer keeps its shape; a narrower
// buffer fills the height and is centred across, a wider one fills the width
// and is centred down.
TEST_P(PresentationRectTest, FullscreenKeepsTheDrawBufferShape) {
    const FitCase& c = GetParam();
    DisplayLayoutInput in;
    in.windowed = false;
    in.requested = {c.screenW, c.screenH};
    in.desktop = {c.desktopW, c.desktopH};
    in.display = in.desktop;
    in.screenWidth = c.screenW;
    in.screenHeight = c.screenH;
    const DisplayLayout out = ComputeDisplayLayout(in);

    const double bufferShape = static_cast<double>(c.screenW) / c.screenH;
    const double desktopShape = static_cast<double>(c.desktopW) / c.desktopH;
    Rect expected(0, 0, c.desktopW, c.desktopH);
    if (bufferShape < desktopShape - 1e-9) {
        const int w = static_cast<int>(static_cast<double>(c.screenW) * c.desktopH / c.screenH);
        expected = Rect((c.desktopW - w) / 2, 0, w, c.desktopH);
    } else if (bufferShape > desktopShape + 1e-9) {
        const int h = static_cast<int>(static_cast<double>(c.screenH) * c.desktopW / c.screenW);
        expected = Rect(0, (c.desktopH - h) / 2, c.desktopW, h);
    }
    EXPECT_EQ(expected.x, out.presentation.x);
    EXPECT_EQ(expected.y, out.presentation.y);
    EXPECT_EQ(expected.w, out.presentation.w);
    EXPECT_EQ(expected.h, out.presentation.h);
    EXPECT_TRUE(out.source.Equals(Rect(0, 0, c.screenW, c.screenH)));
    EXPECT_EQ(expected.w != c.screenW || expected.h != c.screenH, out.stretchingNeeded);
    EXPECT_EQ(!expected.Equals(out.source), out.bordered);

    // With stretch the whole display is used.
    in.stretch = true;
    const DisplayLayout stretched = ComputeDisplayLayout(in);
    EXPECT_TRUE(stretched.presentation.Equals(Rect(0, 0, c.desktopW, c.desktopH)));
    EXPECT_EQ(c.desktopW != c.screenW || c.desktopH != c.screenH, stretched.stretchingNeeded);
}

INSTANTIATE_TEST_SUITE_P(CommonDesktops, PresentationRectTest,
                         ::testing::Values(FitCase{1680, 1050, 1024, 768}, FitCase{1920, 1080, 1024, 768},
                                           FitCase{1366, 768, 1024, 768}, FitCase{1280, 1024, 1024, 768},
                                           FitCase{1024, 768, 1024, 768}, FitCase{1600, 1200, 1024, 768},
                                           FitCase{1440, 900, 800, 600}, FitCase{1280, 720, 1280, 720}));

TEST(DisplayLayoutTest, PillarboxedReportLines) {
    DisplayLayoutInput in;
    in.windowed = false;
    in.requested = {1024, 768};
    in.desktop = {1680, 1050};
    in.display = {1680, 1050};
    in.screenWidth = 1024;
    in.screenHeight = 768;
    const DisplayLayout out = ComputeDisplayLayout(in);
    ASSERT_EQ(4u, out.reportLines.size());
    EXPECT_EQ("Application requests 1024 x  768 [ 4: 3]\n", out.reportLines[0]);
    EXPECT_EQ("Desktop is           1680 x 1050 [ 8: 5]\n", out.reportLines[1]);
    EXPECT_EQ("Display is           1680 x 1050 [ 8: 5]\n", out.reportLines[2]);
    EXPECT_EQ("Draw buffer is       1024 x  768 [ 4: 3]\n", out.reportLines[3]);
    EXPECT_TRUE(out.presentation.Equals(Rect(140, 0, 1400, 1050)));
}

TEST(DisplayLayoutTest, WindowedUsesTheWholeClientArea) {
    DisplayLayoutInput in;
    in.windowed = true;
    in.requested = in.display = {1024, 768};
    in.desktop = {1920, 1080};
    in.screenWidth = 1024;
    in.screenHeight = 768;
    DisplayLayout out = ComputeDisplayLayout(in);
    ASSERT_EQ(3u, out.reportLines.size());
    EXPECT_EQ("Window is            1024 x  768 [ 4: 3]\n", out.reportLines[1]);
    EXPECT_FALSE(out.stretchingNeeded);
    EXPECT_FALSE(out.bordered);

    // A larger client area is filled by stretching, whatever its shape.
    in.requested = in.display = {1600, 900};
    out = ComputeDisplayLayout(in);
    EXPECT_TRUE(out.presentation.Equals(Rect(0, 0, 1600, 900)));
    EXPECT_TRUE(out.stretchingNeeded);
    EXPECT_TRUE(out.bordered);
}

std::vector<plat::DisplayMode> Modes(std::initializer_list<std::array<unsigned, 3>> list) {
    std::vector<plat::DisplayMode> modes;
    for (const auto& m : list) modes.push_back({m[0], m[1], m[2], plat::Format::X8R8G8B8});
    return modes;
}

TEST(ModeSearchTest, DesktopSizeWinsThenDesktopShapeThenLargest) {
    const auto modes = Modes({{800, 600, 60}, {1680, 1050, 75}, {1440, 900, 60}, {1680, 1050, 60}, {1920, 1080, 60}});
    DisplaySize d = ChooseFullscreenSize(modes, {1680, 1050}, 60, false);
    EXPECT_EQ(1680, d.width);
    EXPECT_EQ(1050, d.height);

    // No exact mode: the widest with the desktop's 16:10 shape.
    const auto noExact = Modes({{1280, 800, 60}, {1440, 900, 60}, {1920, 1080, 60}, {1024, 640, 60}});
    d = ChooseFullscreenSize(noExact, {1680, 1050}, 60, false);
    EXPECT_EQ(1440, d.width);
    EXPECT_EQ(900, d.height);

    // No mode of that shape: the largest.
    const auto other = Modes({{800, 600, 60}, {1920, 1080, 60}, {1280, 1024, 60}});
    d = ChooseFullscreenSize(other, {1680, 1050}, 60, false);
    EXPECT_EQ(1920, d.width);
    EXPECT_EQ(1080, d.height);

    // Modes at another refresh rate count only in fallback.
    const auto at75 = Modes({{1280, 800, 75}});
    d = ChooseFullscreenSize(at75, {1680, 1050}, 60, true);
    EXPECT_EQ(1280, d.width);
}

TEST(ModeSearchTest, FullscreenSearchWithoutModeAtRefreshRateUsesDesktopSize) {
    const auto at75 = Modes({{1280, 800, 75}, {1680, 1050, 75}});
    const DisplaySize d = ChooseFullscreenSize(at75, {1680, 1050}, 60, false);
    EXPECT_EQ(1680, d.width);
    EXPECT_EQ(1050, d.height);
    const DisplaySize none = ChooseFullscreenSize({}, {1280, 1024}, 60, true);
    EXPECT_EQ(1280, none.width);
    EXPECT_EQ(1024, none.height);
}

TEST(RefreshClampTest, ClampsTo60To100AndDerivesTheFrameInterval) {
    RefreshChoice c = ClampRefreshRate(50);
    EXPECT_EQ(60u, c.rate);
    EXPECT_TRUE(c.clamped);
    EXPECT_EQ(16u, c.frameIntervalMs);
    c = ClampRefreshRate(120);
    EXPECT_EQ(100u, c.rate);
    EXPECT_TRUE(c.clamped);
    EXPECT_EQ(10u, c.frameIntervalMs);
    c = ClampRefreshRate(75);
    EXPECT_EQ(75u, c.rate);
    EXPECT_FALSE(c.clamped);
    EXPECT_EQ(13u, c.frameIntervalMs);
}

plat::DeviceCaps Caps(uint32_t maxW, uint32_t maxH, bool pow2Only, uint32_t aspect) {
    plat::DeviceCaps caps;
    caps.maxTextureWidth = maxW;
    caps.maxTextureHeight = maxH;
    caps.texturePow2Only = pow2Only;
    caps.textureNonPow2Conditional = false;
    caps.maxTextureAspectRatio = aspect;
    return caps;
}

TEST(TextureLimitsTest, LimitsFollowTheCaps) {
    TextureLimits t = ComputeTextureLimits(Caps(4096, 4096, false, 0));
    EXPECT_EQ(4096, t.maxWidth);
    EXPECT_EQ(4096, t.maxHeight);
    EXPECT_EQ(2, t.minWidth);
    EXPECT_EQ(65536, t.maxAspectRatio);
    EXPECT_FALSE(t.powerOfTwoOnly);

    t = ComputeTextureLimits(Caps(2048, 2048, false, 8));
    EXPECT_EQ(2046, t.maxWidth);
    EXPECT_EQ(2046, t.maxHeight);
    EXPECT_EQ(8, t.maxAspectRatio);

    t = ComputeTextureLimits(Caps(2048, 2048, true, 0));
    EXPECT_TRUE(t.powerOfTwoOnly);
    EXPECT_EQ(2048, t.maxWidth);

    plat::DeviceCaps conditional = Caps(1024, 1024, true, 0);
    conditional.textureNonPow2Conditional = true;
    t = ComputeTextureLimits(conditional);
    EXPECT_FALSE(t.powerOfTwoOnly);
    EXPECT_EQ(1022, t.maxWidth);
}

TEST(TextureLimitsTest, ZeroTextureLimitWithoutPowerOfTwoRuleStaysPositive) {
    for (bool pow2 : {true, false}) {
        const TextureLimits t = ComputeTextureLimits(Caps(0, 0, pow2, 0));
        EXPECT_EQ(64, t.maxWidth) << pow2;
        EXPECT_EQ(64, t.maxHeight) << pow2;
        EXPECT_EQ(64, t.minWidth) << pow2;
        EXPECT_EQ(64, t.minHeight) << pow2;
        EXPECT_EQ(1, t.maxAspectRatio) << pow2;
    }
}

TEST(ResultNameTest, KnownCodesAndUnknown) {
    EXPECT_STREQ("RESULT_OK", D3DInterface::ResultName(0));
    EXPECT_STREQ("RESULT_DIRECTX_CREATE_FAIL", D3DInterface::ResultName(2));
    EXPECT_STREQ("RESULT_INVALID_COLORDEPTH", D3DInterface::ResultName(6));
    EXPECT_STREQ("RESULT_UNKNOWN", D3DInterface::ResultName(7));
    EXPECT_STREQ("RESULT_UNKNOWN", D3DInterface::ResultName(-1));
}

}  // namespace
