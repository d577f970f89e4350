#pragma once
// AssetCollector: finds the images, sounds and music tracks a scene script
// will use, so a screen can load them before it plays the script. It walks
// the script through the ordinary interpreter inside its constructor:
// variables and control flow run for real (names built from variables come
// out right), the words that name assets record the names instead of acting,
// and the animations a script spawns, plays or overlays are collected too.
//
// Every definition caches what it uses (AnimationDefinition::assets), so it
// is walked once; a spawn with parameters is walked afresh each time, as its
// parameters may change the names, but the same spawn with the same values
// is walked once per collection, so a script that spawns itself ends. Waits
// count as done while collecting
// ("wait", "wait-for"): the walk never stops at one, so the assets named
// after a wait are found as well.
// Main thread only; the collector never joins a widget tree.

#include <set>
#include <string>
#include <utility>

#include "foundation/expression/variables.h"
#include "widgets/script/animation_widget.h"

// The parameterised walks one collection has made: (definition, values).
using CollectedWalks = std::set<std::pair<const AnimationDefinition*, std::wstring>>;

class AssetCollector : public AnimationWidget {
public:
    // Walks a copy of the definition, recording into `target`; `parameters`,
    // when given, become the script's variables first. `walks` is shared by
    // the collectors of one collection (null: this one starts it).
    AssetCollector(const AnimationDefinition& definition, AssetNameSets& target, const VariableMap* parameters,
                   CollectedWalks* walks = nullptr);
    ~AssetCollector() override;

    int HandleCustomCommand(const AnimationStep& step) override;

    // Adds what the definition uses to `target`: from its cache (collected
    // first when it never was), or, with parameters, walked afresh.
    static void MergeAssets(AnimationDefinition& definition, AssetNameSets& target, const VariableMap* parameters,
                            CollectedWalks* walks = nullptr);
    // The same for a named animation; a name the library lacks adds nothing.
    static void CollectAnimation(std::wstring_view name, AssetNameSets& target, const VariableMap* parameters,
                                 CollectedWalks* walks = nullptr);

private:
    void PushLoop();
    VariableMap EvaluatedAttributes(const AnimationStep& step, std::initializer_list<std::wstring_view> skipped);

    AssetNameSets& target_;
    AnimationDefinition definition_;
    CollectedWalks ownWalks_;
    CollectedWalks& walks_;
};

// Marks the target collected, then walks the definition into it, with the
// parameters as its variables when given.
void CollectAnimationAssets(AssetNameSets& target, const AnimationDefinition& definition,
                            const VariableMap* parameters = nullptr, CollectedWalks* walks = nullptr);
