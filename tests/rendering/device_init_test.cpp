// D3DInterface::Init on described adapters: what it chooses, how it fails,
// and result checking.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <mutex>

#include "device_test_support.h"

namespace {

using testsupport::DeviceTest;
using testsupport::FakeImage;
using testsupport::OneAdapter;

class DeviceInitTest : public DeviceTest {
protected:
    // The device lock must be free for another thread after a failed Init.
    bool LocksAreFree() {
        D3DInterface::DeviceLock& lock = d3d->GetDeviceLock();
        std::future<void> taken = std::async(std::launch::async, [&lock] { std::lock_guard hold(lock); });
        const bool free = taken.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
        if (!free) lock.Leave();  // let the waiting thread finish so the test can end
        return free;
    }
    void ExpectFailedInit(int code) {
        EXPECT_EQ(code, d3d->Init(nullptr, true, false));
        EXPECT_FALSE(d3d->IsReady());
        EXPECT_TRUE(LocksAreFree());
        EXPECT_FALSE(d3d->Redraw());
        const DrawState s;
        const Color c = Color::FromRGB(1, 2, 3);
        d3d->FillRect(&c, &s, Rect(0, 0, 4, 4));  // draws nothing, crashes nothing
    }
};

TEST_F(DeviceInitTest, WindowedInitUsesTheClientArea) {
    host.clientW = 400;
    host.clientH = 300;
    FakeImage registered(L"tree", 8, 8, true);
    d3d->AddImage(&registered);
    InitWindowed();
    EXPECT_TRUE(d3d->IsReady());
    EXPECT_EQ(400, d3d->GetDisplaySize().width);
    EXPECT_EQ(300, d3d->GetDisplaySize().height);
    EXPECT_EQ(plat::Format::X8R8G8B8, d3d->GetDisplayFormat());
    EXPECT_EQ(plat::Format::A8R8G8B8, d3d->GetSurfaceFormat());
    EXPECT_EQ(host.screenW, d3d->GetDrawBuffer()->GetWidth());
    EXPECT_EQ(host.screenH, d3d->GetDrawBuffer()->GetHeight());
    EXPECT_EQ(60u, d3d->GetRefreshRate());
    EXPECT_EQ(16u, d3d->GetFrameInterval());
    EXPECT_TRUE(d3d->ShadersAvailable());
    EXPECT_FALSE(host.fallback);
    EXPECT_EQ(1, registered.commits);
    EXPECT_TRUE(host.layoutPresentation.Equals(Rect(0, 0, 400, 300)));
    EXPECT_EQ(1u, Device()->PresentCount());  // Init presents the first frame
    d3d->RemoveImage(&registered);
}

TEST_F(DeviceInitTest, NoUsableFormatPairGivesInvalidColourDepth) {
    plat::GraphicsConfig c = OneAdapter();
    c.adapters[0].textureFormats = {plat::Format::R5G6B5};
    UseConfig(c);
    ExpectFailedInit(RESULT_INVALID_COLORDEPTH);
}

TEST_F(DeviceInitTest, SecondAdapterAndSixteenBitDisplayAreFound) {
    plat::GraphicsConfig c = OneAdapter();
    plat::AdapterConfig second = c.adapters[0];
    c.adapters[0].textureFormats = {};
    second.displayFormats = {plat::Format::R5G6B5};
    second.textureFormats = {plat::Format::A4R4G4B4, plat::Format::A8R8G8B8};
    c.adapters.push_back(second);
    UseConfig(c);
    InitWindowed();
    EXPECT_EQ(plat::Format::R5G6B5, d3d->GetDisplayFormat());
    EXPECT_EQ(plat::Format::A8R8G8B8, d3d->GetSurfaceFormat());
    EXPECT_TRUE(d3d->IsReady());
}

TEST_F(DeviceInitTest, DeviceFailuresGiveCreateFail) {
    plat::GraphicsConfig c = OneAdapter();
    c.adapters[0].caps.maxTextureBlendStages = 1;
    UseConfig(c);
    ExpectFailedInit(RESULT_DIRECTX_CREATE_FAIL);

    c = OneAdapter();
    c.adapters[0].deviceCreationFails = true;
    UseConfig(c);
    ExpectFailedInit(RESULT_DIRECTX_CREATE_FAIL);
}

TEST_F(DeviceInitTest, NoArgbTexturesStopsBeforeTheBuffers) {
    plat::GraphicsConfig c = OneAdapter();
    c.adapters[0].textureFormats = {plat::Format::A4R4G4B4};
    UseConfig(c);
    ExpectFailedInit(RESULT_INVALID_COLORDEPTH);
    EXPECT_EQ(nullptr, d3d->GetDrawBuffer());
}

TEST_F(DeviceInitTest, FullscreenPillarboxesOnAWideDesktop) {
    UseConfig(OneAdapter(1680, 1050, 60));
    host.screenW = 1024;
    host.screenH = 768;
    host.desktopW = 1680;
    host.desktopH = 1050;
    ASSERT_EQ(RESULT_OK, d3d->Init(nullptr, false, false));
    EXPECT_EQ(1680, d3d->GetDisplaySize().width);
    EXPECT_EQ(1050, d3d->GetDisplaySize().height);
    EXPECT_TRUE(host.layoutPresentation.Equals(Rect(140, 0, 1400, 1050)));
    EXPECT_TRUE(host.layoutSource.Equals(Rect(0, 0, 1024, 768)));
    EXPECT_TRUE(d3d->GetDisplayLayout().bordered);
    // The options ask whether stretching would change the picture: 4:3 against 8:5.
    EXPECT_EQ(1680, d3d->GetDesktopSize().width);
    EXPECT_EQ(1050, d3d->GetDesktopSize().height);
    EXPECT_EQ(Ratio(4, 3), d3d->GetGameAspectRatio());
    EXPECT_EQ(Ratio(8, 5), d3d->GetDesktopAspectRatio());
    EXPECT_FALSE(d3d->GetGameAspectRatio() == d3d->GetDesktopAspectRatio());

    d3d->LogDisplayMode(true);
    EXPECT_TRUE(host.layoutPresentation.Equals(Rect(0, 0, 1680, 1050)));
}

TEST_F(DeviceInitTest, FullscreenWithoutModeAtTheRefreshRateUsesTheDesktop) {
    plat::GraphicsConfig c = OneAdapter(1280, 1024, 60);
    for (plat::DisplayMode& m : c.adapters[0].modes) m.refreshRate = 75;
    UseConfig(c);
    host.desktopW = 1280;
    host.desktopH = 1024;
    ASSERT_EQ(RESULT_OK, d3d->Init(nullptr, false, false));
    EXPECT_EQ(1280, d3d->GetDisplaySize().width);
    EXPECT_EQ(1024, d3d->GetDisplaySize().height);
    const Rect& p = d3d->GetDisplayLayout().presentation;
    EXPECT_GT(p.w, 0);
    EXPECT_GT(p.h, 0);
}

TEST_F(DeviceInitTest, RefreshRatesOutsideTheRangeAreClampedAndFlagged) {
    UseConfig(OneAdapter(1024, 768, 50));
    InitWindowed();
    EXPECT_EQ(60u, d3d->GetRefreshRate());
    EXPECT_TRUE(host.fallback);

    d3d->Cleanup();
    host.fallback = false;
    UseConfig(OneAdapter(1024, 768, 120));
    InitWindowed();
    EXPECT_EQ(100u, d3d->GetRefreshRate());
    EXPECT_EQ(10u, d3d->GetFrameInterval());
    EXPECT_TRUE(host.fallback);

    d3d->Cleanup();
    host.fallback = true;
    plat::GraphicsConfig c = OneAdapter(1024, 768, 85);
    c.adapters[0].displayModeQueryFails = true;
    UseConfig(c);
    InitWindowed();
    EXPECT_EQ(60u, d3d->GetRefreshRate());
    EXPECT_TRUE(host.fallback);

    d3d->Cleanup();
    UseConfig(OneAdapter(1024, 768, 85));
    InitWindowed();
    EXPECT_EQ(85u, d3d->GetRefreshRate());
    EXPECT_FALSE(host.fallback);
}

TEST_F(DeviceInitTest, TextureLimitsComeFromTheChosenAdapter) {
    plat::GraphicsConfig c = OneAdapter();
    c.adapters[0].caps.maxTextureWidth = 2048;
    c.adapters[0].caps.maxTextureHeight = 2048;
    c.adapters[0].caps.pixelShaderVersion = 0x0104;
    UseConfig(c);
    InitWindowed();
    EXPECT_EQ(2046, d3d->GetTextureLimits().maxWidth);
    EXPECT_FALSE(d3d->ShadersAvailable());
}

TEST_F(DeviceInitTest, FailedResultIsRecordedUnderRuntimeError) {
    InitWindowed();
    EXPECT_FALSE(d3d->CheckResult("Fine", plat::kOk));
    EXPECT_TRUE(host.registry.empty());
    EXPECT_TRUE(d3d->CheckResult("First", plat::kErrInvalidCall));
    EXPECT_TRUE(d3d->CheckResult("SetTexture", plat::kErrDeviceLost));
    ASSERT_EQ(1u, host.registry.size());
    EXPECT_EQ(
        "SetTexture: The device is lost and cannot be restored at the current time, so rendering is not possible.",
        host.registry["Dure3V\\RuntimeError"]);

    plat::Surface* s = nullptr;
    d3d->ReleaseDevice();
    EXPECT_EQ(plat::kErrNotFound, d3d->CreateRenderTarget(8, 8, plat::Format::A8R8G8B8, &s));
    EXPECT_EQ(nullptr, s);
}

TEST_F(DeviceInitTest, InitWithoutHostFails) {
    D3DInterface lonely(nullptr);
    EXPECT_NE(RESULT_OK, lonely.Init(nullptr, true, false));
    EXPECT_FALSE(lonely.IsReady());
}

}  // namespace
