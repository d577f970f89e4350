#include "game/data/catalogues/game_stats.h"

namespace {
GameStats* gCurrent = nullptr;
}

GameStats::~GameStats() {
    // The pointer must not outlive the catalogue it names.
    if (gCurrent == this) gCurrent = nullptr;
}

GameStats* GameStats::Current() { return gCurrent; }

void GameStats::Load() {
    LoadPropertiesXml("game.xml");
    loaded_ = true;
    gCurrent = this;
    currentCombo_ = nullptr;
}

void GameStats::ElementStart(const std::wstring& name) {
    if (name == L"combo") {
        std::unique_ptr<KivraComboStats> combo = CreateCombo();
        combo->name = GetAttribute(L"name");
        combo->appeal_offset = GetAttributeFloat(L"appeal_offset");
        combo->money_offset = GetAttributeInt(L"money_offset");
        currentCombo_ = combo.get();
        combos_.push_back(std::move(combo));
    } else if (name == L"building" && currentCombo_ != nullptr) {
        if (HasAttribute(L"type"))
            currentCombo_->AddType(GetAttribute(L"type"));
        else if (HasAttribute(L"category"))
            currentCombo_->AddCategory(GetAttribute(L"category"));
        else if (HasAttribute(L"characteristic"))
            currentCombo_->SetCharacteristic(GetAttribute(L"characteristic"));
    }
}

void GameStats::ElementEnd(const std::wstring& name) {
    if (name == L"combo") currentCombo_ = nullptr;
}

KivraComboStats* GameStats::FindCombo(std::wstring_view name) const {
    for (const auto& combo : combos_)
        if (combo->name == name) return combo.get();
    return nullptr;
}
