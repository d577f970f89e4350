#include "widgets/script/animation_stats.h"

#include <algorithm>

#include "foundation/system/app_services.h"
#include "foundation/system/text.h"

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
        LoadPropertiesXml(fileQueue_[i]);
    }
}

void AnimationStats::ReportOnce(bool& reported, std::string_view message) {
    if (reported) return;
    reported = true;
    ShowFatalError(message);
}

void AnimationStats::ElementStart(const std::wstring& name) {
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
        AnimationDefinition& definition = AnimationLibrary()[animationName];
        definition = AnimationDefinition{};
        definition.name = animationName;
        openLists_.push_back(&definition.steps);
        opened_.push_back(true);
        AdvanceLoadingStep();
        return;
    }
    if (openLists_.empty()) {
        ReportOnce(reportedStray_,
                   "A script step stands outside every animation in '" + fileQueue_[currentFile_] + "'");
        opened_.push_back(false);
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
    opened_.push_back(true);
}

void AnimationStats::ElementEnd(const std::wstring& name) {
    if (counting_ || name == L"animations" || name == L"include") return;
    if (opened_.empty()) return;
    bool opened = opened_.back();
    opened_.pop_back();
    if (opened && !openLists_.empty()) openLists_.pop_back();
}
