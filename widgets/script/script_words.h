#pragma once
// The table through which the step loop finds the built-in script words.
// Each family of words lives in a file of its own and registers its words in
// one function called by ScriptWordTable (word_families.cpp); the step loop
// only looks names up, so adding a family never touches it.
//
// A word belongs to one of three groups, tried in this order: words that
// take no object; words acting on the object the "id" attribute finds;
// words tried when no object is found. A name may stand in several groups.
// Main thread only; the table is complete before the first lookup returns.

#include <map>
#include <string>
#include <string_view>

struct AnimationStep;
class AnimationWidget;
class DynamicWidget;

enum class WordGroup { kNoObject, kObject, kNoObjectFound };

enum class WordResult {
    kNext,         // go on with the next step
    kNextInPlace,  // go on without advancing: the word moved the cursor itself
    kStop,         // the run stops at this step (a wait or a halt)
    kEndRun,       // the run ends here without finishing the script
};

// `object` is the found object for kObject words, null otherwise.
using WordFunction = WordResult (*)(AnimationWidget& widget, const AnimationStep& step, DynamicWidget* object);

class ScriptWords {
public:
    // noIdOnly: the word matches only on a step without an "id" attribute.
    void Register(WordGroup group, std::wstring_view name, WordFunction function, bool noIdOnly = false);
    void Unregister(WordGroup group, std::wstring_view name);
    // Null when the group holds no such word for this step.
    WordFunction Find(WordGroup group, const AnimationStep& step) const;

private:
    struct Entry {
        WordFunction function = nullptr;
        bool noIdOnly = false;
    };
    std::map<std::wstring, Entry, std::less<>> groups_[3];
};

// The process-wide table, with every family registered on first use.
ScriptWords& ScriptWordTable();
