#pragma once
// Shared set-up for the tests of shaders drawn through the graphics device:
// owning references to the shader objects and compiling as the engine does.

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "tests/platform/gfx_test_util.h"

namespace testsupport {

// One reference to a device object, released on destruction.
template <typename T>
class Ref {
public:
    Ref() = default;
    explicit Ref(T* p) : p_(p) {}
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    Ref& operator=(Ref&& o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~Ref() {
        if (p_) p_->Release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T** out() { return &p_; }

private:
    T* p_ = nullptr;
};

// A compiled program with its table, and the device shader made from it.
struct PixelShaderObjects {
    Ref<plat::ShaderBinary> code;
    Ref<plat::ShaderConstantTable> table;
    Ref<plat::DevicePixelShader> shader;
};

struct VertexShaderObjects {
    Ref<plat::ShaderBinary> code;
    Ref<plat::ShaderConstantTable> table;
    Ref<plat::DeviceVertexShader> shader;
};

class GfxShaderTest : public GfxTest {
protected:
    // Compiles the "PS" entry and creates the device shader; fails the test
    // with the compiler's text when that does not work.
    PixelShaderObjects MakePixelShader(const std::string& source) {
        PixelShaderObjects s;
        Ref<plat::MessageBuffer> errors;
        EXPECT_EQ(plat::kOk,
                  plat::CompileShaderSource(source, "PS", "ps_2_0", s.code.out(), errors.out(), s.table.out()))
            << (errors.get() ? errors->Text() : std::string());
        if (s.code.get()) {
            EXPECT_EQ(plat::kOk, device_->CreatePixelShader(s.code.get(), s.shader.out()));
        }
        return s;
    }

    VertexShaderObjects MakeVertexShader(const std::string& source) {
        VertexShaderObjects s;
        Ref<plat::MessageBuffer> errors;
        EXPECT_EQ(plat::kOk,
                  plat::CompileShaderSource(source, "VS", "vs_2_0", s.code.out(), errors.out(), s.table.out()))
            << (errors.get() ? errors->Text() : std::string());
        if (s.code.get()) {
            EXPECT_EQ(plat::kOk, device_->CreateVertexShader(s.code.get(), s.shader.out()));
        }
        return s;
    }

    // The two-texture quad of the engine's masked blits: pixels [x, x + w) x
    // [y, y + h), both stages' coordinates over 0..1.
    void Quad2(float x, float y, float w, float h, uint32_t c) {
        Vtx2 v[4] = {{x - 0.5f, y - 0.5f, 0, c, 0, 0, 0, 0},
                     {x - 0.5f, y + h - 0.5f, 0, c, 0, 1, 0, 1},
                     {x + w - 0.5f, y - 0.5f, 0, c, 1, 0, 1, 0},
                     {x + w - 0.5f, y + h - 0.5f, 0, c, 1, 1, 1, 1}};
        ASSERT_EQ(plat::kOk, device_->SetFVF(kFvf32));
        ASSERT_EQ(plat::kOk, device_->DrawPrimitiveUP(plat::PrimitiveType::TriangleStrip, 2, v, sizeof(Vtx2)));
        ASSERT_EQ(plat::kOk, device_->SetFVF(kFvf24));
    }

    void Sampling(uint32_t stage, plat::TextureFilter filter, plat::TextureAddress address) {
        for (plat::SamplerState s : {plat::SamplerState::MinFilter, plat::SamplerState::MagFilter})
            device_->SetSamplerState(stage, s, static_cast<uint32_t>(filter));
        for (plat::SamplerState s : {plat::SamplerState::AddressU, plat::SamplerState::AddressV})
            device_->SetSamplerState(stage, s, static_cast<uint32_t>(address));
    }

    void BlendOff() { device_->SetRenderState(plat::RenderState::AlphaBlendEnable, 0); }
};

}  // namespace testsupport
