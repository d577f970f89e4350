#include "game/data/progress/profile_damage.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

#include "game/data/progress/resource_range.h"

namespace {

enum class Kind { kText, kNumber, kResource, kFlag, kReal, kNumberOrBonus, kQuarter };

struct Attribute {
    std::wstring_view name;
    Kind kind;
};

struct Element {
    std::wstring_view name;
    std::vector<Attribute> attributes;
};

using enum Kind;

// Every element and attribute a save writes, and the few older saves hold.
const std::vector<Element>& Schema() {
    static const std::vector<Element> schema = {
        {L"profiles", {{L"selected", kNumber}}},
        {L"profile",
         {{L"name", kText},
          {L"started", kFlag},
          {L"hours", kNumber},
          {L"minutes", kNumber},
          {L"centiseconds", kNumber},
          {L"tutorial_step", kNumber}}},
        {L"symbol", {{L"name", kText}, {L"value", kText}}},
        {L"level",
         {{L"name", kText},
          {L"background", kText},
          {L"grid_x", kNumber},
          {L"grid_y", kNumber},
          {L"camera_x", kNumber},
          {L"camera_y", kNumber},
          {L"display_name", kText},
          {L"ever_been_loaded", kFlag},
          {L"sidewalk", kText},
          {L"trophies_required", kNumber},
          {L"ocean", kFlag},
          {L"money", kResource},
          {L"hearts", kResource},
          {L"marketing_slots", kNumber},
          {L"ticketprice_base", kNumber},
          {L"chosen_challenge", kText},
          {L"weeks_played", kNumber},
          {L"week_time_left", kNumber}}},
        {L"metric", {{L"name", kText}, {L"value", kNumber}}},
        {L"goal",
         {{L"name", kText},
          {L"metric", kText},
          {L"completed", kFlag},
          {L"above", kReal},
          {L"exactly", kReal},
          {L"below", kReal}}},
        {L"item",
         {{L"type", kText}, {L"col", kNumber}, {L"row", kNumber}, {L"orientation", kQuarter}, {L"action", kText}}},
        {L"tiles", {}},
        {L"upgrade", {{L"label", kText}, {L"purchased", kFlag}}},
        {L"boost", {{L"label", kText}, {L"time_remaining", kNumber}}},
        {L"stats",
         {{L"block", kText},
          {L"money_earned", kNumber},
          {L"money_spent", kNumber},
          {L"hearts_earned", kNumber},
          {L"hearts_spent", kNumber},
          {L"visitors", kNumber}}},
        {L"marketing", {{L"customer", kText}, {L"value", kNumberOrBonus}}},
        {L"disallow", {{L"type", kText}}},
        {L"combo-learned", {{L"name", kText}}},
        {L"building-type", {{L"type", kText}, {L"availabletobuy", kFlag}}},
        {L"research",
         {{L"name", kText},
          {L"param", kText},
          {L"effect", kText},
          {L"coincost", kNumber},
          {L"coinincrement", kNumber},
          {L"heartcost", kNumber},
          {L"heartincrement", kNumber},
          {L"cycles", kNumber},
          {L"tickstofinish", kNumber},
          {L"timetofinish", kNumber},
          {L"unlocked", kFlag},
          {L"purchased", kFlag}}},
        {L"magazine", {{L"name", kText}}},
        {L"challenge", {{L"unlocked", kFlag}}},
        {L"objective",
         {{L"check", kText},
          {L"type", kText},
          {L"category", kText},
          {L"appeal", kText},
          {L"zone_name", kText},
          {L"fully_upgraded", kFlag},
          {L"unique", kFlag},
          {L"count", kNumber},
          {L"amount", kNumber},
          {L"completed", kFlag}}},
        {L"reward",
         {{L"coins", kNumber}, {L"hearts", kNumber}, {L"building", kText}, {L"research", kText}, {L"magazine", kText}}},
    };
    return schema;
}

bool InRange(std::wstring_view text, int64_t least, int64_t most) {
    const std::optional<int64_t> value = ParseWholeNumber(text);
    return value && *value >= least && *value <= most;
}

// Numbers some saves write unsigned read back to the same 32 bits.
bool Holds(Kind kind, std::wstring_view text) {
    constexpr int64_t kLeast = std::numeric_limits<int32_t>::min();
    constexpr int64_t kMost = std::numeric_limits<uint32_t>::max();
    switch (kind) {
        case kText: return true;
        case kNumber: return InRange(text, kLeast, kMost);
        case kNumberOrBonus: return text == L"bonus" || InRange(text, kLeast, kMost);
        case kResource: return InRange(text, kLeastResource, kMostResource);
        case kQuarter: return InRange(text, 0, 3);
        case kFlag: return text == L"true" || text == L"false" || text == L"1" || text == L"0";
        case kReal: {
            if (text.empty()) return false;
            const size_t point = text.find(L'.');
            const std::wstring_view whole = text.substr(0, point);
            const bool wholeOk = whole.empty() || whole == L"-" || ParseWholeNumber(whole).has_value();
            return wholeOk && (point == std::wstring_view::npos ||
                               (point + 1 < text.size() && ParseWholeNumber(text.substr(point + 1)).value_or(-1) >= 0));
        }
    }
    return false;
}

}  // namespace

void ProfileDamage::CheckElement(const XMLElement& element, std::wstring_view where) {
    const auto& schema = Schema();
    const auto known =
        std::find_if(schema.begin(), schema.end(), [&](const Element& e) { return e.name == element.name; });
    if (known == schema.end()) {
        Add(where, L"an unknown element <" + element.name + L">");
        return;
    }
    if (element.attributeOrder.size() != element.attributes.size())
        Add(where, L"an attribute written twice in <" + element.name + L">");
    for (const auto& [name, value] : element.attributes) {
        const std::wstring_view named = name;
        const auto attribute = std::find_if(known->attributes.begin(), known->attributes.end(),
                                            [named](const Attribute& a) { return a.name == named; });
        if (attribute == known->attributes.end())
            Add(where, L"an unknown attribute " + name + L" of <" + element.name + L">");
        else if (!Holds(attribute->kind, value))
            Add(where, L"the damaged value " + name + L"=\"" + value + L"\" of <" + element.name + L">");
    }
}

void ProfileDamage::Add(std::wstring_view where, std::wstring what) {
    notes_.push_back({std::wstring(where), std::move(what)});
}

std::wstring ProfileDamage::Places() const {
    std::vector<std::wstring_view> places;
    std::wstring out;
    for (const Note& note : notes_) {
        if (std::find(places.begin(), places.end(), note.where) != places.end()) continue;
        places.push_back(note.where);
        if (!out.empty()) out += L", ";
        out += note.where;
    }
    return out;
}
