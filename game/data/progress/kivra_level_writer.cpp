// Writing the park elements of a level: the text the reader takes back.
#include "game/data/catalogues/xml_writing.h"
#include "game/data/progress/kivra_level_stats.h"

namespace {

void AppendUnsigned(std::wstring& out, std::wstring_view name, int32_t value) {
    AppendAttribute(out, name, std::to_wstring(static_cast<uint32_t>(value)));
}

void AppendBool(std::wstring& out, std::wstring_view name, bool value) {
    AppendAttribute(out, name, value ? L"true" : L"false");
}

void WriteResearch(std::wstring& out, const std::wstring& indent, const RESEARCH_OPTION& option, bool purchased) {
    out += indent + L"<research";
    AppendAttribute(out, L"name", option.name);
    AppendAttribute(out, L"param", option.param);
    AppendAttribute(out, L"effect", RESEARCH_OPTION::EffectName(option.effect));
    AppendUnsigned(out, L"coincost", option.coincost);
    AppendUnsigned(out, L"coinincrement", option.coinincrement);
    AppendUnsigned(out, L"heartcost", option.heartcost);
    AppendUnsigned(out, L"heartincrement", option.heartincrement);
    AppendAttribute(out, L"cycles", option.cycles);
    AppendAttribute(out, L"tickstofinish", option.ticks);
    AppendBool(out, L"unlocked", option.unlocked);
    AppendBool(out, L"purchased", purchased);
    out += L"/>\n";
}

// One element per name: indent, "<tag attribute=\"name\"/>".
template <class Names>
void WriteNames(std::wstring& out, const std::wstring& indent, const wchar_t* tag, const wchar_t* attribute,
                const Names& names) {
    for (const std::wstring& name : names) {
        out += indent + L"<" + tag;
        AppendAttribute(out, attribute, name);
        out += L"/>\n";
    }
}

}  // namespace

void KivraLevelStats::WriteLevelAttributes(const LEVEL& record, std::wstring& out) {
    LevelStats::WriteLevelAttributes(record, out);
    const auto* level = dynamic_cast<const KIVRA_LEVEL*>(&record);
    if (level == nullptr) return;
    AppendAttribute(out, L"display_name", level->display_name);
    AppendAttribute(out, L"ever_been_loaded", level->ever_been_loaded ? L"1" : L"0");
    AppendAttribute(out, L"sidewalk", Service<TileMaterials>::Get().MaterialToName(level->sidewalk));
    AppendUnsigned(out, L"trophies_required", level->trophies_required);
    AppendBool(out, L"ocean", level->ocean);
    AppendAttribute(out, L"money", level->money);
    AppendAttribute(out, L"hearts", level->hearts);
    AppendAttribute(out, L"marketing_slots", level->marketing_slots);
    AppendUnsigned(out, L"ticketprice_base", level->ticketprice_base);
    AppendAttribute(out, L"chosen_challenge", level->chosen_challenge);
    AppendUnsigned(out, L"weeks_played", level->weeks_played);
    // Only mid-week: a park saved between weeks reads as older files do.
    if (level->week_time_left > 0) AppendAttribute(out, L"week_time_left", level->week_time_left);
}

void KivraLevelStats::WriteLevelBody(const LEVEL& record, std::wstring& out, const std::wstring& indent) {
    if (const auto* level = dynamic_cast<const KIVRA_LEVEL*>(&record)) {
        for (const auto& [customer, value] : level->marketing) {
            out += indent + L"<marketing";
            AppendAttribute(out, L"customer", customer);
            AppendAttribute(out, L"value", value);
            out += L"/>\n";
        }
        for (const std::wstring& customer : level->marketing_bonus.entries) {
            out += indent + L"<marketing";
            AppendAttribute(out, L"customer", customer);
            AppendAttribute(out, L"value", L"bonus");
            out += L"/>\n";
        }
        WriteNames(out, indent, L"disallow", L"type", level->disallowed);
        WriteNames(out, indent, L"combo-learned", L"name", level->learned_combos);
        for (const auto& [type, available] : level->availability) {
            out += indent + L"<building-type";
            AppendAttribute(out, L"type", type);
            AppendBool(out, L"availabletobuy", available != 0);
            out += L"/>\n";
        }
        for (const RESEARCH_OPTION& option : level->available_research) WriteResearch(out, indent, option, false);
        for (const RESEARCH_OPTION& option : level->bought_research) WriteResearch(out, indent, option, true);
        level->stats.WriteXml(out, indent);
        level->goals_tracker.WriteXml(out, indent);
    }
    LevelStats::WriteLevelBody(record, out, indent);
}

void KivraLevelStats::WriteItem(const LEVEL_ITEM& item, std::wstring& out, const std::wstring& indent, bool close) {
    const auto* building = dynamic_cast<const KIVRA_BUILDING_LEVEL_ITEM*>(&item);
    if (building == nullptr) {
        LevelStats::WriteItem(item, out, indent, close);
        return;
    }
    LevelStats::WriteItem(item, out, indent, false);
    if (building->upgrades.empty() && building->boosts.empty()) {
        out += L"/>\n";
        return;
    }
    out += L">\n";
    for (const auto& [label, purchased] : building->upgrades) {
        out += indent + L"\t<upgrade";
        AppendAttribute(out, L"label", label);
        AppendBool(out, L"purchased", purchased);
        out += L"/>\n";
    }
    for (const auto& [label, remaining] : building->boosts) {
        out += indent + L"\t<boost";
        AppendAttribute(out, L"label", label);
        AppendAttribute(out, L"time_remaining", remaining);
        out += L"/>\n";
    }
    out += indent + L"</item>\n";
}
