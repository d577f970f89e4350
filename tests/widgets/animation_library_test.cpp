// The animation library read from real files: the step tree, repeated and
// nested declarations, includes (cycles too) and counting mode, plus the
// game's own animations.xml.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "tests/platform/temp_folder.h"
#include "tests/support/recording_services.h"
#include "widgets/script/animation_stats.h"

namespace {

class LoadingApp : public testsupport::ErrorBoxRecorder {
public:
    void AdvanceLoadingStep() override { ++steps; }
    int steps = 0;
};

class AnimationLibraryTest : public ::testing::Test {
protected:
    AnimationLibraryTest() : cwd_(folder_.Path()) { AnimationLibrary().clear(); }
    ~AnimationLibraryTest() override { AnimationLibrary().clear(); }

    void Write(const std::string& name, std::string_view xml) {
        testsupport::WriteBytes(folder_.Path() / "properties" / name, xml);
    }
    static std::wstring Words(const StepList& steps) {
        std::wstring words;
        for (const AnimationStep& step : steps) {
            if (!words.empty()) words += L' ';
            words += step.name;
            if (!step.children.empty()) words += L"(" + Words(step.children) + L")";
        }
        return words;
    }
    std::wstring Words(std::wstring_view animation) { return Words(FindAnimation(animation)->steps); }

    testsupport::TempFolder folder_;
    testsupport::CurrentDirectoryGuard cwd_;
    LoadingApp app_;
};

TEST_F(AnimationLibraryTest, StepsNestAndNestedAnimationsStandApart) {
    Write("animations.xml", R"(<animations>
        <animation name="a"><x/>
            <animation name="b"><y><inner/></y></animation>
            <z if="1" unless="0" size="3"><w/></z>
        </animation></animations>)");
    AnimationStats stats(false);
    EXPECT_EQ(Words(L"a"), L"x z(w)");
    EXPECT_EQ(Words(L"b"), L"y(inner)");
    const AnimationStep& z = FindAnimation(L"a")->steps[1];
    EXPECT_EQ(z.ifText, L"1");
    EXPECT_EQ(z.unlessText, L"0");
    ASSERT_EQ(z.attributes.size(), 1u);
    EXPECT_EQ(z.attributes.at(L"size"), L"3");
    EXPECT_EQ(app_.steps, 2);
    EXPECT_TRUE(app_.boxes.empty());
}

TEST_F(AnimationLibraryTest, RedeclarationReplacesAndCountingCountsBoth) {
    Write("animations.xml", R"(<animations>
        <animation name="a"><one/><two/></animation>
        <animation name="a"><three/></animation></animations>)");
    EXPECT_EQ(AnimationStats(true).GetAnimationCount(), 2);
    EXPECT_TRUE(AnimationLibrary().empty());
    AnimationDefinition* first = nullptr;
    {
        AnimationStats stats(false);
        first = FindAnimation(L"a");
    }
    EXPECT_EQ(Words(L"a"), L"three");
    // Later insertions leave earlier definitions where they are.
    for (int i = 0; i < 100; ++i) FindAnimation(L"filler" + std::to_wstring(i));
    EXPECT_EQ(FindAnimation(L"a"), first);
    EXPECT_FALSE(AnimationExists(L"never"));
    EXPECT_TRUE(FindAnimation(L"never")->steps.empty());
    EXPECT_TRUE(AnimationExists(L"never"));
}

TEST_F(AnimationLibraryTest, IncludesAreFollowedOnceEvenInACycle) {
    Write("animations.xml", R"(<animations><include file="more.xml"/>
        <animation name="top"><a/></animation></animations>)");
    Write("more.xml", R"(<animations><include file="deeper\last.xml"/>
        <animation name="more"><b/></animation></animations>)");
    Write("deeper/last.xml", R"(<animations><include file="ANIMATIONS.XML"/><include file="more.xml"/>
        <animation name="last"><c/></animation></animations>)");
    EXPECT_EQ(AnimationStats(true).GetAnimationCount(), 3);
    AnimationStats stats(false);
    EXPECT_EQ(Words(L"top") + Words(L"more") + Words(L"last"), L"abc");
    EXPECT_EQ(app_.steps, 3);
    EXPECT_EQ(app_.boxes.size(), 2u);  // once per load, not once per repeat
}

TEST_F(AnimationLibraryTest, StepOutsideAnyAnimationIsDroppedAndReportedOnce) {
    Write("animations.xml", R"(<animations><stray><child/></stray><stray/>
        <animation name="a"><x/></animation><after/></animations>)");
    AnimationStats stats(false);
    EXPECT_EQ(Words(L"a"), L"x");
    ASSERT_EQ(app_.boxes.size(), 1u);
    EXPECT_NE(app_.boxes[0].find(L"outside"), std::wstring::npos);
}

TEST_F(AnimationLibraryTest, GameAnimationsLoadWithTheirInclude) {
    testsupport::CurrentDirectoryGuard data(HALVARO_SOURCE_DIR "/data");
    int counted = AnimationStats(true).GetAnimationCount();
    AnimationStats stats(false);
    EXPECT_TRUE(app_.boxes.empty());
    EXPECT_EQ(static_cast<int>(AnimationLibrary().size()), counted);
    EXPECT_TRUE(AnimationExists(L"button_hover"));  // from the included file
    EXPECT_FALSE(FindAnimation(L"fade_in")->steps.empty());
}

// An animation declared inside one of its own name would replace the steps
// being read; one without a name would be what every widget without an
// animation plays. Both are skipped whole, each reported once.
TEST_F(AnimationLibraryTest, SelfNestedAndNamelessAnimationsAreSkippedAndReported) {
    Write("animations.xml", R"(<animations>
        <animation name="a"><x><animation name="a"><y/><animation name="b"><q/></animation></animation></x>
            <animation name="c"><w><animation name="a"><v/></animation></w></animation>
            <z/></animation>
        <animation><add-button type="b"/></animation>
        <animation name=""><add-button type="b"/></animation>
        <animation name="after"><u/></animation></animations>)");
    AnimationStats stats(false);
    EXPECT_EQ(Words(L"a"), L"x z");
    EXPECT_EQ(Words(L"c"), L"w");
    EXPECT_EQ(Words(L"after"), L"u");
    EXPECT_FALSE(AnimationExists(L"b"));
    EXPECT_FALSE(AnimationExists(L""));
    ASSERT_EQ(app_.boxes.size(), 2u);
    EXPECT_NE(app_.boxes[0].find(L"'a'"), std::wstring::npos);
    EXPECT_NE(app_.boxes[1].find(L"without a name"), std::wstring::npos);
}

// Nesting far deeper than any script needs stops the reading with the
// reader's message rather than keeping the loading screen up, and step trees
// are taken apart without recursion, however deep.
TEST_F(AnimationLibraryTest, DeeplyNestedStepsLoadAndAreFreedWithoutRecursion) {
    constexpr int kLoaded = 20000;
    std::string xml = "<animations><animation name=\"deep\">";
    for (int i = 0; i < kLoaded; ++i) xml += "<s>";
    for (int i = 0; i < kLoaded; ++i) xml += "</s>";
    xml += "</animation></animations>";
    Write("animations.xml", xml);
    AnimationStats stats(false);
    ASSERT_FALSE(app_.boxes.empty());
    EXPECT_NE(app_.boxes.back().find(L"Nested Too Deeply"), std::wstring::npos);
    AnimationLibrary().clear();
    EXPECT_TRUE(AnimationLibrary().empty());

    // Deeper than one stack frame per level could ever hold.
    AnimationStep chain;
    for (int i = 0; i < 300000; ++i) {
        AnimationStep outer;
        outer.children.push_back(std::move(chain));
        chain = std::move(outer);
    }
    AnimationLibrary()[L"deeper"].steps.push_back(std::move(chain));
    AnimationLibrary().clear();
    EXPECT_TRUE(AnimationLibrary().empty());
}

}  // namespace
