// The creating words through a managed tree: which form of "add" a step
// gets, where the new widget lands (the alignment conventions), what it is
// given, and how it is registered.
#include <gtest/gtest.h>

#include <memory>

#include "tests/widgets/dynamic_widget_test_support.h"
#include "tests/widgets/script_test_support.h"
#include "widgets/script/movie_maker.h"

namespace {

using testsupport::ScriptTest;

class CreateWordsTest : public ScriptTest {
protected:
    CreateWordsTest() {
        script = new AnimationWidget(L"", 0, 0, false);
        mgr.AddWidget(script);
        script->SetVariable(L"pic", PropertyValue::FromImage(wide.get()));
    }
    ~CreateWordsTest() override {
        mgr.RemoveAllWidgets(true, false);
        host.DeleteDeferred();
    }
    void Run(std::vector<AnimationStep> steps) {
        Define(L"script", std::move(steps));
        script->PlayAnimationNamed(L"script");
    }
    DynamicWidget* Object(const wchar_t* id) { return script->Variables()[id].ToWidget<DynamicWidget>(); }

    AnimationWidget* script;
    // 101 x 31: odd sizes show the integer halving.
    std::unique_ptr<ImageSurface> wide = testsupport::SolidImage(101, 31, 0xFF00FF00u);
};

struct AlignCase {
    const wchar_t* align;
    const wchar_t* valign;
    float x, y;
};

class ImageAlignTest : public CreateWordsTest, public ::testing::WithParamInterface<AlignCase> {};

TEST_P(ImageAlignTest, FactorFormTakesHalfOrAllOfTheSizeInIntegers) {
    std::vector<std::pair<std::wstring, std::wstring>> attributes{
        {L"image", L"pic"}, {L"x", L"200"}, {L"y", L"100"}, {L"id", L"made"}};
    if (GetParam().align) attributes.emplace_back(L"align", GetParam().align);
    if (GetParam().valign) attributes.emplace_back(L"valign", GetParam().valign);
    Run({Step(L"add", attributes)});
    DynamicWidget* made = Object(L"made");
    ASSERT_NE(made, nullptr);
    EXPECT_FLOAT_EQ(made->GetX(), GetParam().x);
    EXPECT_FLOAT_EQ(made->GetY(), GetParam().y);
}

INSTANTIATE_TEST_SUITE_P(
    Keywords, ImageAlignTest,
    ::testing::Values(AlignCase{nullptr, nullptr, 200, 100}, AlignCase{L"center", nullptr, 200 - 101 / 2, 100},
                      AlignCase{L"right", nullptr, 200 - 101, 100}, AlignCase{L"left", L"center", 200, 100 - 31 / 2},
                      AlignCase{nullptr, L"bottom", 200, 100 - 31}, AlignCase{L"bottom", L"right", 200, 100}));

TEST_F(CreateWordsTest, ImageFormWinsOverTextAndRegistersInTheCurrentLayer) {
    Define(L"child", {Step(L"count")});
    auto* layer = new DynamicWidget(10, 10, nullptr, 1.0f);
    script->AddWidget(layer);
    script->SetVariable(L"holder", PropertyValue::FromWidget(layer));
    Run({Step(L"set-layer", {{L"id", L"holder"}}),
         Step(L"add", {{L"image", L"pic"},
                       {L"text", L"label"},
                       {L"id", L"plain"},
                       {L"depth", L"4"},
                       {L"z", L"2.5"},
                       {L"opacity", L"0.25"}}),
         Step(L"add", {{L"image", L"pic"}, {L"animation", L"child"}, {L"id", L"moving"}, {L"opacity", L"0.5"}}),
         Step(L"add", {{L"id", L"nothing"}, {L"x", L"5"}})});
    DynamicWidget* plain = Object(L"plain");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(dynamic_cast<AnimationWidget*>(plain), nullptr);
    EXPECT_EQ(plain->GetImage(), wide.get());
    EXPECT_EQ(plain->GetWidth(), 101);
    EXPECT_EQ(plain->GetPriority(), 4);
    EXPECT_FLOAT_EQ(plain->z, 2.5f);
    EXPECT_FLOAT_EQ(plain->opacity, 0.25f);
    EXPECT_EQ(plain->GetParent(), layer);
    EXPECT_EQ(plain->GetIdText(), L"plain");
    EXPECT_EQ(plain->GetButtonListener(), script);

    auto* moving = dynamic_cast<AnimationWidget*>(Object(L"moving"));
    ASSERT_NE(moving, nullptr);
    EXPECT_EQ(moving->GetImage(), wide.get());
    EXPECT_FLOAT_EQ(moving->opacity, 0.5f);
    EXPECT_EQ(Count(*moving), 1);  // its script ran on joining the tree
    EXPECT_EQ(script->Objects().size(), 2u);
    EXPECT_FALSE(script->Variables().count(L"nothing"));
}

// Makes plain widgets of the asked size and remembers what it was asked.
class RecordingMovies : public NullMovieMaker {
public:
    DynamicWidget* MakeMovieWidget(std::wstring_view movie, int x, int y, int width, int height, bool loop) override {
        asked = std::wstring(movie);
        looping = loop;
        auto* made = new DynamicWidget(x, y, nullptr, 1.0f);
        made->Resize(static_cast<float>(x), static_cast<float>(y), width, height);
        return made;
    }
    std::wstring asked;
    bool looping = false;

private:
    ScopedService<MovieMaker> installed_{this};
};

TEST_F(CreateWordsTest, VideoFormAsksTheApplicationAndAddsNothingWithoutIt) {
    Run({Step(L"add", {{L"video", L"intro"}, {L"id", L"movie"}})});
    EXPECT_TRUE(script->Objects().empty());
    RecordingMovies movies;
    Run({Step(L"add", {{L"video", L"intro"},
                       {L"id", L"movie"},
                       {L"x", L"300"},
                       {L"y", L"200"},
                       {L"width", L"64"},
                       {L"height", L"33"},
                       {L"loop", L"1"},
                       {L"align", L"center"},
                       {L"valign", L"bottom"},
                       {L"depth", L"2"}})});
    DynamicWidget* movie = Object(L"movie");
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(movies.asked, L"intro");
    EXPECT_TRUE(movies.looping);
    EXPECT_FLOAT_EQ(movie->GetX(), 300 - 32);
    EXPECT_FLOAT_EQ(movie->GetY(), 200 - 33);
    EXPECT_EQ(movie->GetPriority(), 2);
    EXPECT_EQ(movie->GetParent(), script);
}

}  // namespace
