#include "widgets/script/script_words.h"

#include "widgets/script/animation_stats.h"

void ScriptWords::Register(WordGroup group, std::wstring_view name, WordFunction function, bool noIdOnly) {
    groups_[static_cast<int>(group)][std::wstring(name)] = Entry{function, noIdOnly};
}

void ScriptWords::Unregister(WordGroup group, std::wstring_view name) {
    auto& words = groups_[static_cast<int>(group)];
    if (auto it = words.find(name); it != words.end()) words.erase(it);
}

WordFunction ScriptWords::Find(WordGroup group, const AnimationStep& step) const {
    const auto& words = groups_[static_cast<int>(group)];
    auto it = words.find(step.name);
    if (it == words.end()) return nullptr;
    if (it->second.noIdOnly && step.attributes.count(L"id") != 0) return nullptr;
    return it->second.function;
}
