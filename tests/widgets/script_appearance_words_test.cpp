// Appearance words through a managed tree: the blend-mode table, culling,
// mesh subdivision, the child-inheritance switches, the cache, private
// images and shader constants bound only through live field handles.
#include <gtest/gtest.h>

#include <memory>

#include "tests/widgets/dynamic_widget_test_support.h"
#include "tests/widgets/script_test_support.h"

namespace {

using testsupport::ScriptTest;

// The drawing state the words write, read back.
class PeekWidget : public DynamicWidget {
public:
    PeekWidget() : DynamicWidget(0, 0, nullptr, 1.0f) {}
    using DynamicWidget::clipSubtree_;
    using DynamicWidget::culling_;
    using DynamicWidget::drawMode_;
    using DynamicWidget::postRender_;
    using DynamicWidget::shaderConstants_;
    using DynamicWidget::tessColumns_;
    using DynamicWidget::tesselated_;
    using DynamicWidget::tessRows_;
    using DynamicWidget::transformChildren_;
};

class AppearanceWordsTest : public ScriptTest {
protected:
    AppearanceWordsTest() {
        script = new AnimationWidget(L"", 0, 0, false);
        mgr.AddWidget(script);
        peek = Add(L"a");
    }
    ~AppearanceWordsTest() override {
        mgr.RemoveAllWidgets(true, false);
        host.DeleteDeferred();
    }
    PeekWidget* Add(const wchar_t* name) {
        auto* object = new PeekWidget();
        object->SetId(name);
        script->AddWidget(object);
        script->SetVariable(name, PropertyValue::FromWidget(object));
        return object;
    }
    void Run(std::vector<AnimationStep> steps) {
        Define(L"script", std::move(steps));
        script->PlayAnimationNamed(L"script");
    }

    AnimationWidget* script;
    PeekWidget* peek;
    std::unique_ptr<ImageSurface> shared = testsupport::SolidImage(4, 4, 0xFFFF0000u);
};

struct BlendCase {
    const wchar_t* mode;  // null: no attribute
    int drawMode;
};

class BlendWordTest : public AppearanceWordsTest, public ::testing::WithParamInterface<BlendCase> {};

TEST_P(BlendWordTest, ModeNamesMapExactlyAndAnythingElseIsNormal) {
    peek->drawMode_ = 7;
    std::vector<std::pair<std::wstring, std::wstring>> attributes{{L"id", L"a"}};
    if (GetParam().mode) attributes.emplace_back(L"mode", GetParam().mode);
    Run({Step(L"blend", attributes)});
    EXPECT_EQ(peek->drawMode_, GetParam().drawMode);
}

INSTANTIATE_TEST_SUITE_P(Modes, BlendWordTest,
                         ::testing::Values(BlendCase{L"additive", 1}, BlendCase{L"multiply", 2},
                                           BlendCase{L"overlay", 3}, BlendCase{L"softlight", 4},
                                           BlendCase{L"subtractive", 5}, BlendCase{L"none", 10},
                                           BlendCase{L"Additive", 0}, BlendCase{L"literal(additive )", 0},
                                           BlendCase{nullptr, 0}));

TEST_F(AppearanceWordsTest, CullTesselateAndRecursiveChangeOnlyWhatTheyName) {
    Run({Step(L"cull", {{L"id", L"a"}}), Step(L"tesselate", {{L"id", L"a"}, {L"cols", L"2"}}),
         Step(L"recursive", {{L"id", L"a"}, {L"transform", L"1"}, {L"color", L"inherit"}, {L"clipping", L"1"}})});
    EXPECT_EQ(peek->culling_, 1);
    EXPECT_TRUE(peek->tesselated_);
    EXPECT_EQ(peek->tessColumns_, 2);
    EXPECT_EQ(peek->tessRows_, 1);
    EXPECT_TRUE(peek->transformChildren_);
    EXPECT_EQ(peek->postRender_, 2);
    EXPECT_TRUE(peek->clipSubtree_);

    Run({Step(L"cull", {{L"id", L"a"}, {L"enable", L"false"}}),
         Step(L"tesselate", {{L"id", L"a"}, {L"rows", L"1"}, {L"cols", L"1"}}),
         Step(L"recursive", {{L"id", L"a"}, {L"clipping", L"false"}})});
    EXPECT_EQ(peek->culling_, 0);
    EXPECT_FALSE(peek->tesselated_);
    EXPECT_TRUE(peek->transformChildren_);
    EXPECT_EQ(peek->postRender_, 2);
    EXPECT_FALSE(peek->clipSubtree_);

    Run({Step(L"recursive", {{L"id", L"a"}, {L"color", L"postrender"}})});
    EXPECT_EQ(peek->postRender_, 1);
    Run({Step(L"recursive", {{L"id", L"a"}, {L"color", L"other"}})});
    EXPECT_EQ(peek->postRender_, 0);
}

TEST_F(AppearanceWordsTest, ShaderConstantsBindOnlyLiveFieldHandles) {
    PeekWidget* other = Add(L"other");
    auto* gone = new DynamicWidget(0, 0, nullptr, 1.0f);
    const int deadHandle = gone->GetProperty(L"y_ptr").ToInt();
    delete gone;
    script->SetVariable(L"dead", PropertyValue(deadHandle));
    Run({Step(L"set-shader-constant", {{L"id", L"a"}, {L"name", L"Follow"}, {L"real_ptr", L"other.x_ptr"}}),
         Step(L"set-shader-constant", {{L"id", L"a"}, {L"name", L"Stray"}, {L"real_ptr", L"12345"}}),
         Step(L"set-shader-constant", {{L"id", L"a"}, {L"name", L"Dead"}, {L"real_ptr", L"dead"}}),
         // Without a shader program a plain value has nowhere to go.
         Step(L"set-shader-constant", {{L"id", L"a"}, {L"name", L"Once"}, {L"real", L"0.5"}})});
    ASSERT_EQ(peek->shaderConstants_.count("Follow"), 1u);
    EXPECT_EQ(peek->shaderConstants_.at("Follow"), other->GetProperty(L"x_ptr").ToInt());
    EXPECT_EQ(peek->shaderConstants_.count("Stray"), 0u);
    EXPECT_EQ(peek->shaderConstants_.count("Dead"), 0u);
    EXPECT_EQ(peek->shaderConstants_.count("Once"), 0u);
    other->Move(42.0f, 0.0f);
    EXPECT_FLOAT_EQ(FieldHandle::ReadReal(peek->shaderConstants_.at("Follow")), 42.0f);
}

TEST_F(AppearanceWordsTest, ChildImageGivesThePrivateCopyAndCacheSwitches) {
    peek->SetImage(shared.get());
    Run({Step(L"child-image", {{L"id", L"a"}}), Step(L"cache", {{L"id", L"a"}, {L"immediate", L"1"}})});
    EXPECT_TRUE(peek->IsImagePrivate());
    EXPECT_NE(peek->GetImage(), shared.get());
    EXPECT_EQ(peek->GetWidth(), 4);
    ImageSurface* writable = peek->GetWritableImage();
    ASSERT_NE(writable, nullptr);
    EXPECT_NE(writable, shared.get());
    ASSERT_NE(peek->GetCache(), nullptr);
    EXPECT_EQ(peek->GetCacheCountdown(), 1);
    Run({Step(L"cache", {{L"id", L"a"}, {L"enable", L"false"}})});
    EXPECT_EQ(peek->GetCache(), nullptr);
}

}  // namespace

namespace {

// Named in the word groups but defined nowhere: both are skipped like any
// word the interpreter does not know, and the next step runs.
TEST_F(AppearanceWordsTest, InheritAndPostrenderAreUnknownWords) {
    peek->postRender_ = 0;
    peek->transformChildren_ = false;
    Run({Step(L"inherit", {{L"id", L"a"}, {L"color", L"inherit"}, {L"transform", L"1"}}),
         Step(L"postrender", {{L"id", L"a"}, {L"color", L"postrender"}}), Step(L"cull", {{L"id", L"a"}})});
    EXPECT_EQ(peek->postRender_, 0);
    EXPECT_FALSE(peek->transformChildren_);
    EXPECT_EQ(peek->culling_, 1);
}

}  // namespace
