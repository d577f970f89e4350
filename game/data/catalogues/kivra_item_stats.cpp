#include "game/data/catalogues/item_stats.h"

#include "game/data/catalogues/text_lists.h"

void KivraItemStats::ElementStart(const std::wstring& name) {
    const bool upgrade = name == L"upgrade";
    if (!upgrade && name != L"boost") {
        ItemStats::ElementStart(name);
        return;
    }
    auto* building = dynamic_cast<KIVRA_BUILDING_TYPE*>(CurrentType());
    if (building == nullptr) return;  // an improvement belongs inside a building
    if (upgrade) {
        UPGRADE_STATS stats;
        ReadImprovement(stats);
        stats.coinincrement = GetAttributeIntOr(L"coinincrement", 1000);
        stats.heartincrement = GetAttributeIntOr(L"heartincrement", 10);
        building->upgrades[stats.label] = stats;
    } else {
        BOOST_STATS stats;
        ReadImprovement(stats);
        stats.duration = GetAttributeIntOr(L"duration", 1);
        building->boosts[stats.label] = stats;
    }
}

std::unique_ptr<ITEM_TYPE> KivraItemStats::CreateType(const std::wstring& tag) {
    if (tag == L"building") return std::make_unique<KIVRA_BUILDING_TYPE>();
    if (tag == L"person") return std::make_unique<KIVRA_PERSON_TYPE>();
    return nullptr;
}

bool KivraItemStats::ReadTypeAttributes(ITEM_TYPE& record) {
    if (!ItemStats::ReadTypeAttributes(record)) return false;
    if (auto* building = dynamic_cast<KIVRA_BUILDING_TYPE*>(&record)) ReadBuilding(*building);
    if (auto* person = dynamic_cast<KIVRA_PERSON_TYPE*>(&record)) ReadPerson(*person);
    return true;
}

void KivraItemStats::ReadBuilding(KIVRA_BUILDING_TYPE& b) {
    b.capacity = GetAttributeIntOr(L"capacity", 8);
    b.appeal = GetAttributeFloatOr(L"appeal", 1.0f);
    b.buycost = GetAttributeIntOr(L"buycost", 100);
    b.availabletobuy = GetAttributeBoolOr(L"availabletobuy", true);
    b.appealbuff = GetAttributeFloatOr(L"appealbuff", 0.0f);
    b.ticketprice = GetAttributeIntOr(L"ticketprice", 0);
    b.zone_width = ReadSide(L"zone_width", -1);
    b.zone_height = ReadSide(L"zone_height", -1);
    b.stationary = GetAttributeBoolOr(L"stationary", false);
    b.timeperuse = GetAttributeIntOr(L"timeperuse", 500);
    b.costperuse = GetAttributeIntOr(L"costperuse", 0);
    b.energyperuse = GetAttributeFloatOr(L"energyperuse", -10.0f);
    ParseCharacteristics(b.characteristics, TextOr(L"characteristic", L"none"));
}

void KivraItemStats::ReadPerson(KIVRA_PERSON_TYPE& p) {
    p.energy = GetAttributeFloatOr(L"energy", 50.0f);
    p.needed_appeal_level = GetAttributeFloatOr(L"needed_appeal_level", 0.0f);
    p.ride_preference_percentage = GetAttributeIntOr(L"ride_preference_percentage", 5);
    p.search_food_energy = GetAttributeFloatOr(L"search_food_energy", 50.0f);
    for (std::wstring_view kind : kBuildingKinds)
        p.maxima[std::wstring(kind)] = GetAttributeIntOr(std::wstring(kind) + L"_max", -1);
    SplitCommaList(TextOr(L"preferred_building_category", L"all"), p.preferred_categories);
    if (p.preferred_categories.size() == 1) {
        if (*p.preferred_categories.begin() == L"all")
            p.preferred_categories = {L"attraction", L"ride", L"snack", L"restaurant", L"store"};
        else if (*p.preferred_categories.begin() == L"concession")
            p.preferred_categories = {L"snack", L"restaurant"};
    }
    ParseCharacteristics(p.preferred, TextOr(L"preferred_characteristic", L"none"));
}

std::wstring_view KivraItemStats::TextOr(const wchar_t* name, std::wstring_view fallback) const {
    return HasAttribute(name) ? std::wstring_view(GetAttribute(name)) : fallback;
}

void KivraItemStats::ReadImprovement(IMPROVEMENT_STATS& improvement) {
    improvement.label = GetAttribute(L"label");
    improvement.coincost = GetAttributeInt(L"coincost");
    improvement.heartcost = GetAttributeInt(L"heartcost");
    const std::vector<std::wstring> properties = CutCommaList(GetAttribute(L"property"));
    const std::vector<std::wstring> offsets = CutCommaList(GetAttribute(L"offset"));
    for (size_t i = 0; i < properties.size(); ++i) {
        if (properties[i].empty()) continue;
        // An offset list shorter than the property list adds nothing for the rest.
        improvement.offsets[properties[i]] = i < offsets.size() ? TextToInt(offsets[i]) : 0;
    }
}

void KivraItemStats::ParseCharacteristics(KivraCharacteristics& set, std::wstring_view text) {
    set.Clear();
    std::set<std::wstring> words;
    SplitCommaList(text, words);
    if (words.size() == 1 && *words.begin() == L"none") return;
    for (const std::wstring& word : words) set.AddCharacteristic(word);
}
