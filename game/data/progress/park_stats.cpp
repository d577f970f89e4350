#include "game/data/progress/park_stats.h"

#include "foundation/values/property_table.h"
#include "foundation/values/property_value.h"
#include "game/data/catalogues/xml_writing.h"

namespace {

const PropertyTable<KIVRA_PLAYER_STATS_BLOCK>& BlockProperties() {
    using R = KIVRA_PLAYER_STATS_BLOCK;
    using T = PropertyTable<R>;
    static const T table{
        T::Int(L"money_earned", [](R& r) { return &r.money_earned; }).WithHandle(),
        T::Int(L"money_spent", [](R& r) { return &r.money_spent; }).WithHandle(),
        T::Int(L"hearts_earned", [](R& r) { return &r.hearts_earned; }).WithHandle(),
        T::Int(L"hearts_spent", [](R& r) { return &r.hearts_spent; }).WithHandle(),
        T::Int(L"visitors", [](R& r) { return &r.visitors; }).WithHandle(),
    };
    return table;
}

void AppendUnsigned(std::wstring& out, std::wstring_view name, int32_t value) {
    AppendAttribute(out, name, std::to_wstring(static_cast<uint32_t>(value)));
}

void WriteBlock(std::wstring& out, const std::wstring& indent, const wchar_t* name,
                const KIVRA_PLAYER_STATS_BLOCK& block) {
    out += indent;
    out += L"<stats";
    AppendAttribute(out, L"block", name);
    AppendUnsigned(out, L"money_earned", block.money_earned);
    AppendUnsigned(out, L"money_spent", block.money_spent);
    AppendUnsigned(out, L"hearts_earned", block.hearts_earned);
    AppendUnsigned(out, L"hearts_spent", block.hearts_spent);
    AppendUnsigned(out, L"visitors", block.visitors);
    out += L"/>\n";
}

}  // namespace

PropertyValue KIVRA_PLAYER_STATS_BLOCK::GetProperty(std::wstring_view name) {
    if (auto reader = BlockProperties().FindReader(name)) return reader.Read(*this, handles_);
    return ExtendedPropertyInterface::GetProperty(name);
}

int32_t KIVRA_PLAYER_STATS_BLOCK::Reset() {
    money_earned = money_spent = hearts_earned = hearts_spent = visitors = 0;
    return 0;
}

void KivraStatsTracker::WriteXml(std::wstring& out, const std::wstring& indent) const {
    WriteBlock(out, indent, L"week", week);
    WriteBlock(out, indent, L"all_time", allTime);
}

KIVRA_PLAYER_STATS_BLOCK& KivraStatsTracker::BlockByName(std::wstring_view name) {
    return name == L"week" ? week : allTime;
}
