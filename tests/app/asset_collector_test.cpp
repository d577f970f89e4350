// The asset collector: a script walked for the names it uses.
#include <gtest/gtest.h>

#include "app/assets/asset_collector.h"
#include "app/assets/asset_manager.h"
#include "app/assets/asset_registry.h"
#include "tests/app/asset_test_support.h"
#include "widgets/script/script_words.h"
#include "widgets/tree/widget_host.h"

using namespace testsupport;

namespace {

using Names = std::set<std::wstring>;

AnimationStep Step(std::wstring word, std::map<std::wstring, std::wstring, std::less<>> attributes = {},
                   std::vector<AnimationStep> children = {}) {
    AnimationStep step;
    step.name = std::move(word);
    for (auto& [name, text] : attributes) step.attributes.emplace(name, std::move(text));
    step.children = std::move(children);
    return step;
}

class AssetCollectorTest : public ::testing::Test {
protected:
    AssetCollectorTest() { AnimationLibrary().clear(); }
    ~AssetCollectorTest() override {
        // What a walk created ("add" runs as on screen) waits in the tree's own
        // deletion list, as no application host is installed here.
        DeleteOrphanedWidgets();
        AnimationLibrary().clear();
    }

    static AnimationDefinition& Define(const std::wstring& name, StepList steps) {
        AnimationDefinition& definition = *FindAnimation(name);
        definition.name = name;
        definition.steps = std::move(steps);
        return definition;
    }

    // Words that make objects ("add") run for real while collecting; the
    // objects go to deferred deletion with the collector, here at the end.
    NullWidgetHost widgets;
    ScopedService<WidgetHost> installed{&widgets};
};

// Stands in for the waiting words where the word table has none yet: on
// screen a wait stops the run at its step.
class WaitWords {
public:
    WaitWords() {
        for (const wchar_t* name : {L"wait", L"wait-for"}) {
            AnimationStep probe;
            probe.name = name;
            if (ScriptWordTable().Find(WordGroup::kNoObject, probe)) continue;
            ScriptWordTable().Register(
                WordGroup::kNoObject, name,
                [](AnimationWidget&, const AnimationStep&, DynamicWidget*) { return WordResult::kStop; });
            added_.push_back(name);
        }
    }
    ~WaitWords() {
        for (const wchar_t* name : added_) ScriptWordTable().Unregister(WordGroup::kNoObject, name);
    }

private:
    std::vector<const wchar_t*> added_;
};

TEST_F(AssetCollectorTest, WordsThatNameAssetsAreRecordedAndWaitsDoNotEndTheWalk) {
    WaitWords waits;
    Define(L"pops", {Step(L"sound", {{L"name", L"pop"}})});
    AnimationDefinition& menu = Define(
        L"menu", {Step(L"add", {{L"image", L"Panel"}}), Step(L"add-button", {{L"type", L"menubutton"}}),
                  Step(L"wait-for", {{L"cond", L"0"}}), Step(L"wait", {{L"time", L"100"}}),
                  Step(L"start-soundloop", {{L"name", L"hum"}}), Step(L"play-track", {{L"name", L"theme"}}),
                  Step(L"requires", {{L"image", L"Extra"}, {L"sound", L"ding"}, {L"track", L"calm"}}),
                  Step(L"loop", {{L"count", L"-1"}}, {Step(L"set", {{L"image", L"Frame"}})}),
                  Step(L"play", {{L"animation", L"pops"}, {L"x", L"4"}}), Step(L"play", {{L"animation", L"missing"}})});
    AssetNameSets found;
    AssetCollector::MergeAssets(menu, found, nullptr);
    EXPECT_EQ(found.images, (Names{L"Panel", L"menubutton", L"Extra", L"Frame"}));
    EXPECT_EQ(found.sounds, (Names{L"hum", L"ding", L"pop"}));
    EXPECT_EQ(found.tracks, (Names{L"theme", L"calm"}));
    EXPECT_TRUE(menu.assets.collected);
}

TEST_F(AssetCollectorTest, ASecondCollectionWithoutParametersReadsTheCache) {
    AnimationDefinition& intro = Define(L"intro", {Step(L"sound", {{L"name", L"first"}})});
    AssetNameSets once;
    AssetCollector::CollectAnimation(L"intro", once, nullptr);
    // Were the script walked again, the added step would be found.
    intro.steps.push_back(Step(L"sound", {{L"name", L"second"}}));
    AssetNameSets twice;
    AssetCollector::CollectAnimation(L"intro", twice, nullptr);
    EXPECT_EQ(twice.sounds, (Names{L"first"}));
}

TEST_F(AssetCollectorTest, SpawnParametersNameTheImagesTheSpawnedScriptShows) {
    Define(L"sprite", {Step(L"add", {{L"image", L"pic"}})});
    AnimationDefinition& level = Define(L"level", {Step(L"spawn", {{L"animation", L"sprite"}, {L"pic", L"Hero"}}),
                                                   Step(L"spawn", {{L"animation", L"sprite"}, {L"pic", L"Villain"}})});
    AssetNameSets found;
    AssetCollector::MergeAssets(level, found, nullptr);
    EXPECT_EQ(found.images, (Names{L"Hero", L"Villain"}));
}

// Counts the walks that reach it.
int walks = 0;

TEST_F(AssetCollectorTest, ScriptsThatCallThemselvesEndAndARepeatedSpawnIsWalkedOnce) {
    ScriptWordTable().Register(WordGroup::kNoObject, L"count-walk",
                               [](AnimationWidget&, const AnimationStep&, DynamicWidget*) {
                                   ++walks;
                                   return WordResult::kNext;
                               });
    walks = 0;
    // Twice the same spawn of itself at every level: without the record of
    // walks made, 2 to the power of the nesting depth.
    Define(L"echo",
           {Step(L"count-walk"), Step(L"sound", {{L"name", L"echo"}}), Step(L"play", {{L"animation", L"echo"}}),
            Step(L"spawn", {{L"animation", L"echo"}, {L"depth", L"1"}}),
            Step(L"spawn", {{L"animation", L"echo"}, {L"depth", L"1"}})});
    AssetNameSets found;
    AssetCollector::CollectAnimation(L"echo", found, nullptr);
    ScriptWordTable().Unregister(WordGroup::kNoObject, L"count-walk");
    EXPECT_EQ(found.sounds, (Names{L"echo"}));
    // The cache walk and one walk with the spawn's values.
    EXPECT_EQ(walks, 2);
}

TEST_F(AssetCollectorTest, RequiresWithAPatternCollectsTheMatchingGroups) {
    AssetFolder folder;
    SoundLoadRecorder sounds;
    AssetRegistry registry;
    folder.AssetsXml(R"(<dynamic path="lv"/><game>
        <image name="FarmSky" path="lv"><piece name="FarmCow"/></image>
        <image name="CitySky" path="lv"/>
        <sound name="farm_moo" path="lv"/>
        <track name="city" path="lv"/>
      </game>)");
    AssetManager game(registry, false);
    AnimationDefinition& farm = Define(L"farm", {Step(L"requires", {{L"pattern", L"Farm"}})});
    AssetNameSets found;
    AssetCollector::MergeAssets(farm, found, nullptr);
    EXPECT_EQ(found.images, (Names{L"FarmSky"}));
    EXPECT_TRUE(found.sounds.empty());  // "farm_moo" does not contain "Farm"
}

}  // namespace
