// The game's multiply, overlay and softlight shaders loaded into the blend
// table and drawn through the drawing context on the software device, each
// pixel compared with the blend formula (tests/support/blend_modes.h) on
// premultiplied colours.

#include <memory>
#include <string>

#include "foundation/values/transform.h"
#include "rendering/shader/blend_shaders.h"
#include "shader_program_test_support.h"
#include "tests/platform/temp_folder.h"
#include "tests/support/blend_modes.h"

namespace {

using testsupport::Argb;
using testsupport::Near;
using testsupport::Quantise;

struct Mode {
    const char* name;
    int drawMode;
    float (*blend)(float s, float d);
};

void PrintTo(const Mode& m, std::ostream* os) { *os << m.name; }

Argb Expected(const Mode& mode, Argb src, Argb dst) {
    auto unit = [](Argb c) { return testsupport::Color4{c.r / 255.0f, c.g / 255.0f, c.b / 255.0f, c.a / 255.0f}; };
    const testsupport::Color4 out = testsupport::BlendOver(mode.blend, unit(src), unit(dst));
    return Quantise(out[3], out[0], out[1], out[2]);
}

class BlendShaderDrawTest : public testsupport::ShaderDeviceTest, public testing::WithParamInterface<Mode> {
protected:
    ImageSurface* Solid(int w, int h, Argb c) {
        ImageSurface* image = MakeImage(std::vector<uint32_t>(static_cast<size_t>(w) * h, testsupport::Pack(c)), w, h);
        image->premultiplied = true;
        return image;
    }
};

TEST_P(BlendShaderDrawTest, DrawnPixelsMatchTheBlendFormula) {
    const Mode& mode = GetParam();
    {
        testsupport::CurrentDirectoryGuard cwd(std::string(HALVARO_SOURCE_DIR) + "/data");
        LoadBlendShaders(d3d->GetBlendShaders());
    }
    ASSERT_NE(d3d->GetBlendShaders().Find(mode.drawMode), nullptr) << "properties/" << mode.name << ".hlsl";
    EXPECT_TRUE(app.boxes.empty());

    // Premultiplied colours; overlay's backgrounds keep clear of its 0.5 edge.
    const Argb images[] = {{255, 230, 40, 128}, {255, 64, 192, 250}, {128, 100, 20, 64}, {64, 10, 60, 30}};
    const Argb backgrounds[] = {{255, 200, 60, 100}, {255, 30, 220, 160}, {160, 120, 20, 100}, {0, 0, 0, 0}};
    int x = 0;
    struct Placed {
        int x;
        Argb want;
    };
    std::vector<Placed> placed;
    for (const Argb& image : images) {
        for (const Argb& background : backgrounds) {
            Fill(Target(), Rect(x, 0, 8, 8), background, nullptr, kDrawNormal);
            Graphics g(Target());
            g.SetDrawMode(mode.drawMode);
            g.DrawToScratch(Solid(4, 4, image), 0, FRect(0, 0, 4, 4), static_cast<float>(x + 2), 2);
            placed.push_back({x, Expected(mode, image, background)});
            x += 10;
        }
    }
    for (const Placed& p : placed) {
        EXPECT_TRUE(Near(p.want, At(p.x + 3, 3), 1)) << "at x " << p.x + 3;
        EXPECT_TRUE(Near(p.want, At(p.x + 5, 5), 1)) << "at x " << p.x + 5;
    }

    // Scaled: composed through both scratch targets over the clip's area,
    // where the pixels around the image blend with a transparent source.
    Fill(Target(), Rect(0, 20, 40, 20), backgrounds[1], nullptr, kDrawNormal);
    {
        Graphics g(Target());
        g.SetDrawMode(mode.drawMode);
        g.SetClipRect(0, 20, 40, 20);
        Transform scale;
        scale.Scale(2, 2);  // 8 x 8 centred on (20, 30)
        g.DrawViaScratch(Solid(4, 4, images[0]), &scale, FRect(0, 0, 4, 4), 20, 30, 0);
    }
    EXPECT_TRUE(Near(Expected(mode, images[0], backgrounds[1]), At(17, 27), 1));
    EXPECT_TRUE(Near(Expected(mode, images[0], backgrounds[1]), At(22, 32), 1));
    EXPECT_TRUE(Near(backgrounds[1], At(5, 25), 1));
}

INSTANTIATE_TEST_SUITE_P(GameShaders, BlendShaderDrawTest,
                         testing::Values(Mode{"multiply", kDrawMultiply, testsupport::MultiplyBlend},
                                         Mode{"overlay", kDrawOverlay, testsupport::OverlayBlend},
                                         Mode{"softlight", kDrawSoftlight, testsupport::SoftLightBlend}),
                         [](const testing::TestParamInfo<Mode>& info) { return std::string(info.param.name); });

using BlendTableTest = testsupport::ShaderDeviceTest;

TEST_F(BlendTableTest, FillingAgainAfterADeviceRestartKeepsTheProgramsInsteadOfLeakingThem) {
    BlendShaderTable table;
    testsupport::CurrentDirectoryGuard cwd(std::string(HALVARO_SOURCE_DIR) + "/data");
    LoadBlendShaders(table);
    DeviceShaderProgram* multiply = table.Find(kDrawMultiply);
    ASSERT_NE(multiply, nullptr);
    EXPECT_EQ(table.Find(kDrawNormal), nullptr);
    EXPECT_EQ(table.size(), 4u) << "the lookup of mode 0 entered it empty";

    RestartDevice();
    LoadBlendShaders(table);
    EXPECT_EQ(table.Find(kDrawMultiply), multiply);
    EXPECT_TRUE(d3d->HoldsShaderProgram(multiply));
    table.Set(kDrawMultiply, nullptr);
    EXPECT_FALSE(d3d->HoldsShaderProgram(multiply)) << "a replaced program is deleted";
}

}  // namespace
