#include "app/assets/asset_collector.h"

#include <algorithm>
#include <set>

#include "app/assets/asset_registry.h"
#include "widgets/script/script_host.h"

namespace {

// Variables and control flow run as they would on screen.
const std::set<std::wstring, std::less<>> kRunNormally = {L"define", L"assign", L"undefine", L"if",  L"unless",
                                                          L"call",   L"break",  L"continue", L"stop"};

}  // namespace

AssetCollector::AssetCollector(const AnimationDefinition& definition, AssetNameSets& target,
                               const VariableMap* parameters, CollectedWalks* walks)
    : AnimationWidget(L"", 0, 0, false), target_(target), definition_(definition), walks_(walks ? *walks : ownWalks_) {
    if (parameters && parameters != &Variables()) {
        for (const auto& [name, value] : *parameters)
            // "self" stays this collector: the caller's own is no object here.
            if (name != L"self") SetVariable(name, value);
    }
    PlayAnimation(&definition_);
    definition_.assets.collected = true;
    ExecuteSteps(false);
}

AssetCollector::~AssetCollector() = default;

void CollectAnimationAssets(AssetNameSets& target, const AnimationDefinition& definition, const VariableMap* parameters,
                            CollectedWalks* walks) {
    target.collected = true;
    AssetCollector collector(definition, target, parameters, walks);
}

namespace {

// The values of a parameter map as one text, to recognise a repeated walk.
std::wstring ParameterKey(const VariableMap& parameters) {
    std::wstring key;
    for (const auto& [name, value] : parameters) {
        if (name == L"self") continue;
        key += name;
        key += L'=';
        key += value.ToString();
        key += L'\n';
    }
    return key;
}

}  // namespace

void AssetCollector::MergeAssets(AnimationDefinition& definition, AssetNameSets& target, const VariableMap* parameters,
                                 CollectedWalks* walks) {
    if (parameters && !parameters->empty()) {
        // Walked with the parameters, straight into the target: the cache holds
        // the names without them. The same values walk once per collection.
        CollectedWalks fresh;
        CollectedWalks& seen = walks ? *walks : fresh;
        if (!seen.emplace(&definition, ParameterKey(*parameters)).second) return;
        CollectAnimationAssets(target, definition, parameters, &seen);
        return;
    }
    if (!definition.assets.collected) {
        // Marked before the walk, so a script that refers to itself stops here.
        definition.assets.collected = true;
        AssetCollector collector(definition, definition.assets, nullptr, walks);
    }
    const AssetNameSets& cache = definition.assets;
    target.images.insert(cache.images.begin(), cache.images.end());
    target.sounds.insert(cache.sounds.begin(), cache.sounds.end());
    target.tracks.insert(cache.tracks.begin(), cache.tracks.end());
}

void AssetCollector::CollectAnimation(std::wstring_view name, AssetNameSets& target, const VariableMap* parameters,
                                      CollectedWalks* walks) {
    if (!AnimationExists(name)) return;
    MergeAssets(*FindAnimation(name), target, parameters, walks);
}

VariableMap AssetCollector::EvaluatedAttributes(const AnimationStep& step,
                                                std::initializer_list<std::wstring_view> skipped) {
    VariableMap values;
    for (const auto& [name, text] : step.attributes) {
        if (std::find(skipped.begin(), skipped.end(), name) != skipped.end()) continue;
        values[name] = EvalStepAttribute(name);
    }
    return values;
}

// The loop's block is entered once per repeat, as on screen, but an endless
// loop (a negative count) is walked once.
void AssetCollector::PushLoop() {
    LoopRecord loop;
    loop.list = CursorList();
    loop.index = CursorIndex();
    loop.blockDepth = static_cast<int>(BlockDepth());
    loop.count = std::max(StepAttributeIntOr(L"count", 1), 0);
    Loops().push_back(loop);
}

int AssetCollector::HandleCustomCommand(const AnimationStep& step) {
    const std::wstring& word = step.name;
    if (kRunNormally.count(word)) return hook_result::kNotHandled;
    // A wait would end the walk here and miss every asset after it.
    if (word == L"wait" || word == L"wait-for") return hook_result::kHandled;
    if (word == L"loop") {
        if (!step.children.empty()) PushLoop();
        return hook_result::kHandled;
    }
    if (StepHasAttribute(L"image")) target_.images.insert(StepAttributeString(L"image"));
    if (word == L"add-button") {
        target_.images.insert(StepAttributeString(L"type"));
        return hook_result::kHandled;
    }
    if (word == L"sound" || word == L"start-soundloop") {
        target_.sounds.insert(StepAttributeString(L"name"));
        return hook_result::kHandled;
    }
    if (word == L"play-track") {
        target_.tracks.insert(StepAttributeString(L"name"));
        return hook_result::kHandled;
    }
    if (word == L"requires") {
        if (StepHasAttribute(L"image")) target_.images.insert(StepAttributeString(L"image"));
        if (StepHasAttribute(L"sound")) target_.sounds.insert(StepAttributeString(L"sound"));
        if (StepHasAttribute(L"track")) target_.tracks.insert(StepAttributeString(L"track"));
        if (StepHasAttribute(L"pattern")) {
            if (AssetRegistry* registry = AssetRegistry::Instance())
                registry->CollectAssetsMatching(StepAttributeString(L"pattern"), target_);
        }
        return hook_result::kHandled;
    }
    if (word == L"spawn") {
        VariableMap parameters = Variables();
        for (auto& [name, value] : EvaluatedAttributes(step, {L"id", L"animation"})) parameters[name] = value;
        CollectAnimation(StepAttributeString(L"animation"), target_, &parameters, &walks_);
        return hook_result::kHandled;
    }
    if (word == L"play" || word == L"overlay") {
        VariableMap parameters = EvaluatedAttributes(step, {L"id", L"animation", L"x", L"y", L"depth", L"remove"});
        CollectAnimation(StepAttributeString(L"animation"), target_, &parameters, &walks_);
        return hook_result::kHandled;
    }
    return hook_result::kNotHandled;
}
