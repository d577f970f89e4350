// Saves of two shipped levels hold content that later versions of those
// levels no longer offer (a zone and its research, a building reward that
// came twice). They are corrected while they are read, whatever file they
// come from, so that old saves and the current level data agree.
#include "game/data/progress/kivra_level_stats.h"

namespace {

// Removes the last name when it is the given one.
void DropLast(std::vector<std::wstring>& names, std::wstring_view name) {
    if (!names.empty() && names.back() == name) names.pop_back();
}

}  // namespace

bool KivraLevelStats::DropsLearnedCombo(const KIVRA_LEVEL& level, const std::wstring& combo) {
    return (level.name == L"america" && combo == L"spectacle") || (level.name == L"forest" && combo == L"splash");
}

bool KivraLevelStats::DropsResearch(const KIVRA_LEVEL& level, const std::wstring& option) {
    if (level.name == L"america") {
        if (option == L"spectacle_zone") return true;
        if (option == L"kiddie_ship") {
            auto it = level.availability.find(L"kiddie_ship");
            return it != level.availability.end() && it->second == 1;
        }
        return false;
    }
    return level.name == L"forest" && option == L"splash_zone";
}

void KivraLevelStats::CorrectRewards(const KIVRA_LEVEL& level) {
    const std::wstring& magazine = currentMagazine_->name;
    const size_t challenges = currentMagazine_->challenges.size();
    if (level.name == L"america" && magazine == L"vacationspot" && challenges == 3)
        DropLast(currentChallenge_->buildings, L"kiddie_ship");
    if (level.name == L"america" && magazine == L"tidypure" && challenges == 3)
        DropLast(currentChallenge_->research, L"spectacle_zone");
    if (level.name == L"forest" && magazine == L"splashresort" && challenges == 2)
        DropLast(currentChallenge_->research, L"splash_zone");
}

void KivraLevelStats::CorrectAvailability(KIVRA_LEVEL& level) {
    if (level.name == L"forest") level.availability.emplace(L"shootinggallery", 1);
}
