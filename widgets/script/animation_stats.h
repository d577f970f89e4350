#pragma once
// The animation library: every scene script of the game is a named animation
// declared in properties/animations.xml or a file it includes. AnimationStats
// reads those files into the process-wide registry (AnimationLibrary), a map
// from name to AnimationDefinition whose nodes never move, so interpreters
// keep plain pointers to definitions and step lists for the whole run.
//
// Promises: a name declared again replaces the earlier steps wholly; an
// `animation` nested inside a step opens an independent definition; each
// file is parsed once per load even when included repeatedly or in a cycle
// (reported once); a step outside every `animation` is dropped (reported
// once); an `animation` without a name, or nested inside an animation of
// its own name, is skipped with everything inside it (reported once). Filled on the loading thread before any script
// runs, then read on the main thread only; no lock.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/expression/expression_text.h"
#include "foundation/files/parser.h"

struct AnimationStep {
    std::wstring name;                                               // the script word
    std::map<std::wstring, ExpressionText, std::less<>> attributes;  // raw texts, without if and unless
    ExpressionText ifText;
    ExpressionText unlessText;
    std::vector<AnimationStep> children;

    AnimationStep() = default;
    AnimationStep(const AnimationStep&) = default;
    AnimationStep(AnimationStep&&) noexcept = default;
    AnimationStep& operator=(const AnimationStep&) = default;
    AnimationStep& operator=(AnimationStep&&) noexcept = default;
    // Takes the tree apart without recursion: a file may nest steps far
    // deeper than the stack would allow one call per level.
    ~AnimationStep();
};

using StepList = std::vector<AnimationStep>;

// What the asset collector found a definition to use, filled lazily.
struct AssetNameSets {
    bool collected = false;
    std::set<std::wstring> images, sounds, tracks;
};

struct AnimationDefinition {
    std::wstring name;
    std::wstring note;  // a second text the loader leaves empty
    StepList steps;
    AssetNameSets assets;
};

using AnimationMap = std::map<std::wstring, AnimationDefinition, std::less<>>;

// The registry itself; tests clear it between cases.
AnimationMap& AnimationLibrary();
// The definition of the name; an unknown name is entered with no steps.
AnimationDefinition* FindAnimation(std::wstring_view name);
// Whether the name is defined; nothing is entered.
bool AnimationExists(std::wstring_view name);

class AnimationStats : public Parser {
public:
    // Parses "animations.xml" and everything it includes. Counting mode only
    // counts `animation` elements and leaves the registry alone; loading mode
    // advances the application's loading bar by one per animation.
    explicit AnimationStats(bool counting);

    void ElementStart(const std::wstring& name) override;
    void ElementEnd(const std::wstring& name) override;

    int GetAnimationCount() const { return animationCount_; }

private:
    void ReportOnce(bool& reported, std::string_view message);
    // Whether an animation of the name is being read (an enclosing one).
    bool IsOpen(std::wstring_view name) const;

    int animationCount_ = 0;
    bool counting_;
    std::vector<StepList*> openLists_;
    std::vector<std::string> fileQueue_;
    size_t currentFile_ = 0;
    // What each open element opened, so its end pops exactly that: nothing
    // (a step with no list to enter), a step list, or an animation.
    enum class Opened : uint8_t { kNothing, kList, kAnimation };
    std::vector<Opened> opened_;
    // The names of the animations being read, outermost first.
    std::vector<std::wstring> openNames_;
    // Elements still open inside a skipped animation (0: none skipped).
    int skipping_ = 0;
    bool reportedRepeat_ = false;
    bool reportedStray_ = false;
    bool reportedNameless_ = false;
    bool reportedSelfNested_ = false;
};
