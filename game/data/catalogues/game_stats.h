#pragma once
// The catalogue of game.xml: the combo definitions, in file order.
//
// Grammar (the root may have any name; other elements are ignored):
// "combo" (name, appeal_offset, money_offset) starts a combo; each "building"
// inside it adds one requirement entry, from the first of its attributes
// "type", "category", "characteristic" that is present.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "game/data/catalogues/catalogue_base.h"
#include "game/data/catalogues/combo_stats.h"

class GameStats : public Parser, public StatsManager {
public:
    GameStats() = default;
    ~GameStats() override;
    GameStats(const GameStats&) = delete;
    GameStats& operator=(const GameStats&) = delete;

    // The loaded game catalogue, or null.
    static GameStats* Current();

    void Load() override;
    void ElementStart(const std::wstring& name) override;
    void ElementEnd(const std::wstring& name) override;

    // The first combo of that name, or null.
    KivraComboStats* FindCombo(std::wstring_view name) const;
    const std::vector<std::unique_ptr<KivraComboStats>>& Combos() const { return combos_; }

protected:
    virtual std::unique_ptr<KivraComboStats> CreateCombo() { return std::make_unique<KivraComboStats>(); }

private:
    std::vector<std::unique_ptr<KivraComboStats>> combos_;
    KivraComboStats* currentCombo_ = nullptr;
};
