// Adapters, resources, copies, present, recording and the matrix helpers.
#include "gfx_test_util.h"

namespace {

using namespace testsupport;
using plat::Format;
using plat::Pool;

TEST(GfxSystemTest, AdaptersReportTheirConfiguredModesFormatsAndCaps) {
    plat::GraphicsConfig cfg;
    plat::AdapterConfig a;
    a.displayFormats = {Format::R5G6B5};
    a.textureFormats = {Format::A4R4G4B4};
    a.modes = {{800, 600, 60, Format::R5G6B5}, {640, 480, 75, Format::X8R8G8B8}, {1280, 1024, 60, Format::R5G6B5}};
    a.caps.texturePow2Only = true;
    a.caps.maxTextureWidth = a.caps.maxTextureHeight = 2048;
    a.caps.maxTextureAspectRatio = 8;
    plat::AdapterConfig b;
    b.displayModeQueryFails = true;
    b.caps.maxTextureWidth = b.caps.maxTextureHeight = 0;
    cfg.adapters = {a, b};
    plat::GraphicsSystem* sys = plat::GraphicsSystem::Create(cfg);
    ASSERT_EQ(2u, sys->GetAdapterCount());
    EXPECT_TRUE(plat::Failed(sys->CheckDeviceType(0, Format::X8R8G8B8, Format::X8R8G8B8, true)));
    EXPECT_EQ(plat::kOk, sys->CheckDeviceType(0, Format::R5G6B5, Format::R5G6B5, true));
    EXPECT_TRUE(
        plat::Failed(sys->CheckDeviceFormat(0, Format::R5G6B5, 0, plat::ResourceType::Texture, Format::A8R8G8B8)));
    EXPECT_EQ(plat::kOk, sys->CheckDeviceFormat(0, Format::R5G6B5, 0, plat::ResourceType::Texture, Format::A4R4G4B4));
    ASSERT_EQ(2u, sys->GetAdapterModeCount(0, Format::R5G6B5));
    plat::DisplayMode m;
    ASSERT_EQ(plat::kOk, sys->EnumAdapterModes(0, Format::R5G6B5, 1, &m));
    EXPECT_EQ(1280u, m.width);
    EXPECT_TRUE(plat::Failed(sys->EnumAdapterModes(0, Format::R5G6B5, 2, &m)));
    plat::DeviceCaps caps;
    ASSERT_EQ(plat::kOk, sys->GetDeviceCaps(0, &caps));
    EXPECT_TRUE(caps.texturePow2Only);
    EXPECT_EQ(2048u, caps.maxTextureWidth);
    ASSERT_EQ(plat::kOk, sys->GetDeviceCaps(1, &caps));
    EXPECT_EQ(0u, caps.maxTextureWidth);
    EXPECT_TRUE(plat::Failed(sys->GetAdapterDisplayMode(1, &m)));
    EXPECT_EQ(plat::kOk, sys->GetAdapterDisplayMode(0, &m));
    EXPECT_TRUE(plat::Failed(sys->GetDeviceCaps(2, &caps)));
    sys->Release();
}

TEST(GfxSystemTest, ConfigurationForTestingReachesCodeThatCreatesItsOwnSystem) {
    plat::GraphicsConfig cfg = plat::DefaultGraphicsConfig();
    cfg.adapters[0].caps.maxTextureWidth = 4096;
    cfg.adapters.push_back(cfg.adapters[0]);
    plat::GraphicsSystem::SetConfigForTesting(cfg);
    plat::GraphicsSystem* sys = plat::GraphicsSystem::Create();
    EXPECT_EQ(2u, sys->GetAdapterCount());
    sys->Release();
    plat::GraphicsSystem::SetConfigForTesting(std::nullopt);
    sys = plat::GraphicsSystem::Create();
    EXPECT_EQ(1u, sys->GetAdapterCount());
    sys->Release();
}

TEST(GfxSystemTest, FullScreenNeedsAnOfferedModeAndWindowlessNeedsASize) {
    plat::GraphicsSystem* sys = plat::GraphicsSystem::Create(plat::DefaultGraphicsConfig());
    plat::Device* dev = nullptr;
    plat::PresentParams pp;
    EXPECT_EQ(plat::kErrInvalidCall, sys->CreateDevice(0, nullptr, plat::kCreateHardwareVertexProcessing, &pp, &dev));
    pp.windowed = false;
    pp.backBufferWidth = 1000;
    pp.backBufferHeight = 700;
    EXPECT_EQ(plat::kErrInvalidCall, sys->CreateDevice(0, nullptr, plat::kCreateHardwareVertexProcessing, &pp, &dev));
    pp.backBufferWidth = 1024;
    pp.backBufferHeight = 768;
    ASSERT_EQ(plat::kOk, sys->CreateDevice(0, nullptr, plat::kCreateHardwareVertexProcessing, &pp, &dev));
    dev->Release();
    sys->Release();
}

class GfxDeviceTest : public GfxTest {};

TEST_F(GfxDeviceTest, TextureCreationHonoursPowerOfTwoAndSizeLimits) {
    plat::GraphicsConfig cfg = plat::DefaultGraphicsConfig();
    cfg.adapters[0].caps.texturePow2Only = true;
    cfg.adapters[0].caps.maxTextureWidth = cfg.adapters[0].caps.maxTextureHeight = 2048;
    cfg.adapters[0].caps.maxTextureAspectRatio = 8;
    plat::GraphicsSystem* sys = plat::GraphicsSystem::Create(cfg);
    plat::PresentParams pp;
    pp.backBufferWidth = pp.backBufferHeight = 16;
    plat::Device* dev = nullptr;
    ASSERT_EQ(plat::kOk, sys->CreateDevice(0, nullptr, plat::kCreateSoftwareVertexProcessing, &pp, &dev));
    plat::Texture* t = nullptr;
    EXPECT_EQ(plat::kOk, dev->CreateTexture(256, 128, 1, 0, Format::A8R8G8B8, Pool::Managed, &t));
    if (t) t->Release();
    EXPECT_EQ(plat::kErrInvalidCall, dev->CreateTexture(102, 38, 1, 0, Format::A8R8G8B8, Pool::Managed, &t));
    EXPECT_EQ(plat::kErrInvalidCall, dev->CreateTexture(4096, 64, 1, 0, Format::A8R8G8B8, Pool::Managed, &t));
    EXPECT_EQ(plat::kErrInvalidCall, dev->CreateTexture(512, 16, 1, 0, Format::A8R8G8B8, Pool::Managed, &t));
    EXPECT_EQ(nullptr, t);
    dev->Release();
    sys->Release();
}

TEST_F(GfxDeviceTest, LockingFollowsPoolsAndUsage) {
    plat::Texture* managed = nullptr;
    plat::Texture* target = nullptr;
    ASSERT_EQ(plat::kOk, device_->CreateTexture(8, 8, 1, 0, Format::A8R8G8B8, Pool::Managed, &managed));
    ASSERT_EQ(plat::kOk,
              device_->CreateTexture(8, 8, 1, plat::kUsageRenderTarget, Format::A8R8G8B8, Pool::Default, &target));
    plat::LockedRect lr;
    ASSERT_EQ(plat::kOk, managed->LockRect(0, &lr, nullptr, 0));
    EXPECT_EQ(32, lr.pitch);
    EXPECT_EQ(plat::kErrInvalidCall, managed->LockRect(0, &lr, nullptr, 0)) << "locked twice";
    EXPECT_EQ(plat::kOk, managed->UnlockRect(0));
    EXPECT_EQ(plat::kErrInvalidCall, managed->UnlockRect(0));
    EXPECT_EQ(plat::kErrInvalidCall, target->LockRect(0, &lr, nullptr, 0));
    EXPECT_EQ(plat::kErrInvalidCall, target_->LockRect(&lr, nullptr, 0)) << "render target made not lockable";
    plat::Rect outside{4, 4, 9, 6};
    EXPECT_EQ(plat::kErrInvalidCall, managed->LockRect(0, &lr, &outside, 0));
    plat::Rect part{2, 3, 4, 5};
    ASSERT_EQ(plat::kOk, managed->LockRect(0, &lr, &part, 0));
    managed->UnlockRect(0);
    // A level surface keeps its texture alive.
    plat::Surface* level = nullptr;
    ASSERT_EQ(plat::kOk, target->GetSurfaceLevel(0, &level));
    EXPECT_EQ(1u, target->Release());
    plat::SurfaceDesc desc;
    ASSERT_EQ(plat::kOk, level->GetDesc(&desc));
    EXPECT_EQ(8u, desc.width);
    EXPECT_EQ(0u, level->Release());
    managed->Release();
}

TEST_F(GfxDeviceTest, SurfaceCopiesMoveAndConvertPixels) {
    // Staging surface -> render target, as the engine uploads pixels.
    plat::Surface* stage = nullptr;
    ASSERT_EQ(plat::kOk, device_->CreateOffscreenPlainSurface(4, 2, Format::A8R8G8B8, Pool::SystemMem, &stage));
    plat::LockedRect lr;
    ASSERT_EQ(plat::kOk, stage->LockRect(&lr, nullptr, 0));
    auto texels = Noise(8, 9, false);
    for (int y = 0; y < 2; ++y) std::memcpy(static_cast<uint8_t*>(lr.bits) + y * lr.pitch, &texels[y * 4], 16);
    stage->UnlockRect();
    plat::Surface* rt = nullptr;
    ASSERT_EQ(plat::kOk, device_->CreateRenderTarget(4, 2, Format::A8R8G8B8, false, &rt));
    EXPECT_EQ(plat::kErrInvalidCall, device_->UpdateSurface(rt, nullptr, stage, nullptr)) << "wrong direction";
    ASSERT_EQ(plat::kOk, device_->UpdateSurface(stage, nullptr, rt, nullptr));
    EXPECT_EQ(texels, Read(rt));
    // StretchRect into an A4R4G4B4 render-target texture keeps the top nibbles.
    plat::Texture* small = nullptr;
    ASSERT_EQ(plat::kOk,
              device_->CreateTexture(4, 2, 1, plat::kUsageRenderTarget, Format::A4R4G4B4, Pool::Default, &small));
    plat::Surface* level = nullptr;
    small->GetSurfaceLevel(0, &level);
    ASSERT_EQ(plat::kOk, device_->StretchRect(rt, nullptr, level, nullptr, plat::TextureFilter::None));
    auto back = Read(level);
    for (size_t i = 0; i < texels.size(); ++i)
        for (int sh : {0, 8, 16, 24}) EXPECT_EQ((Ch(texels[i], sh) >> 4) * 17, Ch(back[i], sh));
    // A same-size copy into a format without alpha keeps the colours, with
    // either filter (the frame's present is one).
    for (auto filter : {plat::TextureFilter::Point, plat::TextureFilter::Linear}) {
        plat::Surface* opaque = nullptr;
        ASSERT_EQ(plat::kOk, device_->CreateRenderTarget(4, 2, Format::X8R8G8B8, false, &opaque));
        ASSERT_EQ(plat::kOk, device_->StretchRect(rt, nullptr, opaque, nullptr, filter));
        const auto kept = Read(opaque);
        for (size_t i = 0; i < texels.size(); ++i) EXPECT_EQ(texels[i] & 0xFFFFFFu, kept[i] & 0xFFFFFFu);
        opaque->Release();
    }
    // Doubling the size with point filtering repeats every pixel twice.
    plat::Surface* big = nullptr;
    ASSERT_EQ(plat::kOk, device_->CreateRenderTarget(8, 4, Format::A8R8G8B8, false, &big));
    ASSERT_EQ(plat::kOk, device_->StretchRect(rt, nullptr, big, nullptr, plat::TextureFilter::Point));
    auto doubled = Read(big);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(texels[static_cast<size_t>((y / 2) * 4 + x / 2)], doubled[size_t(y * 8 + x)]);
    // ColorFill of part of a surface.
    plat::Rect r{1, 0, 3, 1};
    ASSERT_EQ(plat::kOk, device_->ColorFill(rt, &r, 0x11223344u));
    auto filled = Read(rt);
    EXPECT_EQ(0x11223344u, filled[1]);
    EXPECT_EQ(0x11223344u, filled[2]);
    EXPECT_EQ(texels[3], filled[3]);
    EXPECT_EQ(plat::kErrInvalidCall, device_->ColorFill(stage, nullptr, 0)) << "system memory cannot be filled";
    big->Release();
    level->Release();
    small->Release();
    rt->Release();
    stage->Release();
}

TEST_F(GfxDeviceTest, ClearHonoursRectanglesAndScissor) {
    plat::Rect rects[2] = {{0, 0, 2, 2}, {10, 10, 12, 11}};
    device_->Clear(2, rects, plat::kClearTarget, 0xFFABCDEFu, 0, 0);
    plat::Rect s{0, 0, 1, 1};
    device_->SetScissorRect(&s);
    device_->SetRenderState(plat::RenderState::ScissorTestEnable, 1);
    device_->Clear(0, nullptr, plat::kClearTarget, 0xFF000001u, 0, 0);
    auto px = Read();
    EXPECT_EQ(0xFF000001u, At(px, 0, 0));
    EXPECT_EQ(0xFFABCDEFu, At(px, 1, 1));
    EXPECT_EQ(0xFFABCDEFu, At(px, 11, 10));
    EXPECT_EQ(0u, At(px, 12, 10));
    EXPECT_EQ(0u, At(px, 11, 11));
}

TEST_F(GfxDeviceTest, PresentKeepsEveryFrameReadableAndCanFailOnce) {
    plat::Surface* back = nullptr;
    ASSERT_EQ(plat::kOk, device_->GetBackBuffer(0, 0, &back));
    Bind(back);
    Quad(0, 0, 3, 2, 0xFF102030u);
    EXPECT_EQ(plat::kErrInvalidCall, device_->Present()) << "inside a scene";
    device_->EndScene();
    inScene_ = false;
    ASSERT_EQ(plat::kOk, device_->Present());
    const auto& frame = device_->LastPresentedFrame();
    ASSERT_EQ(size_t(kW * kH), frame.size());
    EXPECT_EQ(0xFF102030u, frame[0]);
    EXPECT_EQ(0xFF102030u, frame[size_t(kW + 2)]);
    EXPECT_EQ(0xFF000000u, frame[3]) << "the back buffer has no alpha";
    device_->FailNextPresent();
    EXPECT_EQ(plat::kErrDeviceLost, device_->Present());
    EXPECT_EQ(plat::kOk, device_->Present());
    EXPECT_EQ(2u, device_->PresentCount());
    back->Release();
}

TEST_F(GfxDeviceTest, RecorderSeesStateChangesInOrder) {
    plat::CallLog log;
    device_->SetRecorder(&log);
    BlendNormal();
    device_->SetRenderState(plat::RenderState::SrcBlend, static_cast<uint32_t>(plat::Blend::One));
    Quad(0, 0, 1, 1, 0xFFFFFFFFu);
    device_->SetRecorder(nullptr);
    device_->SetRenderState(plat::RenderState::SrcBlend, 0);
    EXPECT_EQ(4u, log.Count(plat::Call::SetRenderState));
    EXPECT_EQ(2u, log.CountRenderState(plat::RenderState::SrcBlend));
    EXPECT_EQ(static_cast<uint32_t>(plat::Blend::InvSrcAlpha), log.LastRenderState(plat::RenderState::DestBlend, 0));
    ASSERT_EQ(5u, log.Calls().size());
    EXPECT_EQ(plat::Call::DrawPrimitive, log.Calls().back().call);
    EXPECT_EQ("SetRenderState(ALPHABLENDENABLE, 1)", log.Calls().front().ToString());
}

TEST_F(GfxDeviceTest, BadDrawCallsFailWithoutDrawing) {
    Vtx v[4] = {};
    const uint16_t bad[6] = {0, 1, 2, 2, 1, 7};
    EXPECT_EQ(plat::kErrInvalidCall, device_->DrawIndexedPrimitiveUP(plat::PrimitiveType::TriangleList, 0, 4, 2, bad,
                                                                     plat::IndexFormat::Index16, v, sizeof(Vtx)));
    EXPECT_EQ(plat::kErrInvalidCall, device_->DrawPrimitiveUP(plat::PrimitiveType::TriangleList, 1, v, 12));
    EXPECT_EQ(plat::kErrInvalidCall, device_->DrawPrimitiveUP(plat::PrimitiveType::TriangleList, 1, nullptr, 24));
    // A stride that fits one vertex format and not the next: the size a draw
    // checks is the current format's, back and forth.
    EXPECT_EQ(plat::kOk, device_->DrawPrimitiveUP(plat::PrimitiveType::TriangleList, 1, v, sizeof(Vtx)));
    ASSERT_EQ(plat::kOk, device_->SetFVF(kFvf32));
    EXPECT_EQ(plat::kErrInvalidCall, device_->DrawPrimitiveUP(plat::PrimitiveType::TriangleList, 1, v, sizeof(Vtx)));
    ASSERT_EQ(plat::kOk, device_->SetFVF(kFvf24));
    EXPECT_EQ(plat::kOk, device_->DrawPrimitiveUP(plat::PrimitiveType::TriangleList, 1, v, sizeof(Vtx)));
    EXPECT_EQ(plat::kErrInvalidCall, device_->SetFVF(plat::kFvfDiffuse));
    EXPECT_EQ(plat::kErrInvalidCall, device_->SetTexture(2, nullptr));
    EXPECT_EQ(plat::kErrInvalidCall, device_->SetRenderState(plat::RenderState::Count, 0));
    device_->EndScene();
    inScene_ = false;
    EXPECT_EQ(plat::kErrInvalidCall, device_->DrawPrimitiveUP(plat::PrimitiveType::TriangleList, 1, v, sizeof(Vtx)));
    EXPECT_EQ(plat::kErrInvalidCall, device_->EndScene());
    plat::Surface* s = nullptr;
    EXPECT_EQ(plat::kErrInvalidCall, device_->CreateRenderTarget(0, 10, Format::A8R8G8B8, false, &s));
    EXPECT_EQ(plat::kErrInvalidCall, device_->CreateOffscreenPlainSurface(4, 4, Format::D24S8, Pool::SystemMem, &s));
    EXPECT_EQ(nullptr, s);
}

TEST_F(GfxDeviceTest, NewDeviceHasTheDocumentedDefaults) {
    plat::GraphicsSystem* sys = plat::GraphicsSystem::Create(plat::DefaultGraphicsConfig());
    plat::PresentParams pp;
    pp.backBufferWidth = pp.backBufferHeight = 8;
    plat::Device* dev = nullptr;
    ASSERT_EQ(plat::kOk, sys->CreateDevice(0, nullptr, plat::kCreateHardwareVertexProcessing, &pp, &dev));
    uint32_t v = 0;
    dev->GetRenderState(plat::RenderState::CullMode, &v);
    EXPECT_EQ(static_cast<uint32_t>(plat::Cull::CounterClockwise), v);
    dev->GetRenderState(plat::RenderState::AlphaBlendEnable, &v);
    EXPECT_EQ(0u, v);
    dev->GetTextureStageState(0, plat::StageState::ColorOp, &v);
    EXPECT_EQ(static_cast<uint32_t>(plat::StageOp::Modulate), v);
    dev->GetTextureStageState(1, plat::StageState::ColorOp, &v);
    EXPECT_EQ(static_cast<uint32_t>(plat::StageOp::Disable), v);
    dev->GetSamplerState(0, plat::SamplerState::AddressU, &v);
    EXPECT_EQ(static_cast<uint32_t>(plat::TextureAddress::Wrap), v);
    plat::Viewport vp;
    dev->GetViewport(&vp);
    EXPECT_EQ(8u, vp.width);
    dev->Release();
    sys->Release();
}

// Row vectors: p * (A * B) applies A first.
TEST(GfxMatrixTest, HelpersUseRowVectors) {
    plat::Matrix t, s, ts, tr;
    plat::MatrixTranslation(&t, 5, -2, 1);
    s.m[0][0] = 2;
    s.m[1][1] = 3;
    plat::MatrixMultiply(&ts, &t, &s);
    const float p[4] = {1, 1, 0, 1};
    float out[4];
    plat::TransformPoint(ts, p, out);
    EXPECT_FLOAT_EQ((1 + 5) * 2.0f, out[0]);
    EXPECT_FLOAT_EQ((1 - 2) * 3.0f, out[1]);
    EXPECT_FLOAT_EQ(1.0f, out[2]);
    plat::MatrixTranspose(&tr, &t);
    EXPECT_FLOAT_EQ(5.0f, tr.m[0][3]);
    EXPECT_FLOAT_EQ(0.0f, tr.m[3][0]);
    plat::MatrixTranspose(&tr, &tr);
    EXPECT_TRUE(tr == t);
}

TEST(GfxMatrixTest, OffCentrePerspectiveMapsTheViewVolumeToTheUnitCube) {
    const float l = -2, r = 6, b = -1, tp = 3, zn = 2, zf = 10;
    plat::Matrix p;
    plat::MatrixPerspectiveOffCenterLH(&p, l, r, b, tp, zn, zf);
    auto ndc = [&](float x, float y, float z, float* o) {
        const float in[4] = {x, y, z, 1};
        plat::TransformPoint(p, in, o);
        for (int i = 0; i < 3; ++i) o[i] /= o[3];
    };
    float o[4];
    ndc(l, b, zn, o);  // near-plane corner
    EXPECT_NEAR(-1, o[0], 1e-5);
    EXPECT_NEAR(-1, o[1], 1e-5);
    EXPECT_NEAR(0, o[2], 1e-5);
    ndc(r * zf / zn, tp * zf / zn, zf, o);  // far-plane corner on the same rays
    EXPECT_NEAR(1, o[0], 1e-5);
    EXPECT_NEAR(1, o[1], 1e-5);
    EXPECT_NEAR(1, o[2], 1e-5);
}

class Invert : public plat::PixelProgram {
public:
    void Shade(const plat::PixelSpan& span, uint32_t* out) override {
        for (int i = 0; i < span.count; ++i) out[i] = span.diffuse[i] ^ 0x00FFFFFFu;
    }
};

class Shift : public plat::VertexProgram {
public:
    void Run(const plat::VertexInput& in, plat::VertexOutput& out) override {
        // Pixel (x, y) to clip space of a 64 x 48 target, moved right by 10.
        out.position[0] = (in.position[0] + 10.5f) / 32.0f - 1.0f;
        out.position[1] = 1.0f - (in.position[1] + 0.5f) / 24.0f;
        out.position[2] = 0.5f;
        out.position[3] = 1.0f;
    }
};

TEST_F(GfxDeviceTest, ProgramHooksReplaceTheFixedStages) {
    Invert invert;
    Shift shift;
    device_->SetPixelProgram(&invert);
    device_->SetVertexProgram(&shift);
    Quad(0, 0, 4, 4, 0xFF102030u);
    device_->SetPixelProgram(nullptr);
    device_->SetVertexProgram(nullptr);
    auto px = Read();
    EXPECT_EQ(0u, At(px, 0, 0));
    EXPECT_EQ(0xFFEFDFCFu, At(px, 10, 0));
    EXPECT_EQ(0xFFEFDFCFu, At(px, 13, 3));
    EXPECT_EQ(0u, At(px, 14, 3));
}

}  // namespace
