#include "widgets/script/animation_stats.h"

#include <algorithm>

#include "foundation/system/app_services.h"
#include "foundation/system/text.h"

AnimationStep::~AnimationStep() {
    if (children.empty()) return;
    // Each step taken off the pile gives its children to the pile first, so
    // it is destroyed with none and no destructor goes deeper than one level.
    std::vector<AnimationStep> pile = std::move(children);
    while (!pile.empty()) {
        AnimationStep step = std::move(pile.back());
        pile.pop_back();
        for (AnimationStep& child : step.children) pile.push_back(std::move(child));
        step.children.clear();
    }
}

AnimationMap& AnimationLibrary() {
    static AnimationMap library;
    return library;
}

AnimationDefinition* FindAnimation(std::wstring_view name) {
    AnimationMap& library = AnimationLibrary();
    auto it = library.find(name);
    if (it == library.end()) {
        it = library.emplace(std::wstring(name), AnimationDefinition{}).first;
        it->second.name = name;
    }
    return &it->second;
}

bool AnimationExists(std::wstring_view name) { return AnimationLibrary().find(name) != AnimationLibrary().end(); }

namespace {

// Data files write '\\' and may differ in case; one spelling per file.
std::string FileKey(std::string name) {
    std::replace(name.begin(), name.end(), '/', '\\');
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name;
}

}  // namespace

AnimationStats::AnimationStats(bool counting) : counting_(counting) {
    fileQueue_.push_back("animations.xml");
    std::set<std::string> parsed;
    for (size_t i = 0; i < fileQueue_.size(); ++i) {
        // A file included again (or including itself) would be parsed without
        // end and declare its animations twice.
        if (!parsed.insert(FileKey(fileQueue_[i])).second) {
            ReportOnce(reportedRepeat_, "Animation file '" + fileQueue_[i] + "' is included more than once");
            continue;
        }
        currentFile_ = i;
        openLists_.clear();
        opened_.clear();
        openNames_.clear();
        skipping_ = 0;
        LoadPropertiesXml(fileQueue_[i]);
    }
}

void AnimationStats::ReportOnce(bool& reported, std::string_view message) {
    if (reported) return;
    reported = true;
    ShowFatalError(message);
}

bool AnimationStats::IsOpen(std::wstring_view name) const {
    return std::find(openNames_.begin(), openNames_.end(), name) != openNames_.end();
}

void AnimationStats::ElementStart(const std::wstring& name) {
    if (skipping_ > 0) {
        ++skipping_;
        return;
    }
    if (name == L"include") {
        fileQueue_.push_back(text::ToUtf8(GetAttribute(L"file")));
        return;
    }
    if (counting_) {
        if (name == L"animation") ++animationCount_;
        return;
    }
    if (name == L"animations") return;
    if (name == L"animation") {
        const std::wstring& animationName = GetAttribute(L"name");
        // Without a name it would be what every widget without an animation
        // plays (a button made inside it would make another); inside one of
        // its own name it would replace the steps being read.
        if (animationName.empty() || IsOpen(animationName)) {
            if (animationName.empty())
                ReportOnce(reportedNameless_,
                           "An animation without a name in '" + fileQueue_[currentFile_] + "' is skipped");
            else
                ReportOnce(reportedSelfNested_,
                           "Animation '" + text::ToUtf8(animationName) + "' in '" + fileQueue_[currentFile_] +
                               "' declares an animation of its own name inside it; that one is skipped");
            skipping_ = 1;
            return;
        }
        openNames_.push_back(animationName);
        AnimationDefinition& definition = AnimationLibrary()[animationName];
        definition = AnimationDefinition{};
        definition.name = animationName;
        openLists_.push_back(&definition.steps);
        opened_.push_back(Opened::kAnimation);
        AdvanceLoadingStep();
        return;
    }
    if (openLists_.empty()) {
        ReportOnce(reportedStray_,
                   "A script step stands outside every animation in '" + fileQueue_[currentFile_] + "'");
        opened_.push_back(Opened::kNothing);
        return;
    }
    StepList& list = *openLists_.back();
    AnimationStep& step = list.emplace_back();
    step.name = name;
    for (const auto& [attribute, value] : element_.attributes) step.attributes.emplace(attribute, value);
    if (auto it = step.attributes.find(L"if"); it != step.attributes.end()) {
        step.ifText = it->second;
        step.attributes.erase(it);
    }
    if (auto it = step.attributes.find(L"unless"); it != step.attributes.end()) {
        step.unlessText = it->second;
        step.attributes.erase(it);
    }
    // The vector may grow when a sibling is appended, but only after this
    // element and everything inside it have closed and popped this pointer.
    openLists_.push_back(&step.children);
    opened_.push_back(Opened::kList);
}

void AnimationStats::ElementEnd(const std::wstring& name) {
    if (skipping_ > 0) {
        --skipping_;
        return;
    }
    if (counting_ || name == L"animations" || name == L"include") return;
    if (opened_.empty()) return;
    const Opened opened = opened_.back();
    opened_.pop_back();
    if (opened != Opened::kNothing && !openLists_.empty()) openLists_.pop_back();
    if (opened == Opened::kAnimation && !openNames_.empty()) openNames_.pop_back();
}
