// The goal elements of a saved level: the reader takes them back as written.
#include <algorithm>
#include <map>

#include "game/data/catalogues/xml_writing.h"
#include "game/data/progress/goal_tracker.h"

void KivraGoalTracker::WriteXml(std::wstring& out, const std::wstring& indent) const {
    const std::wstring i1 = indent + L"\t";
    const std::wstring i2 = indent + L"\t\t";
    // Magazines by name; within one, a challenge goes before the first placed
    // one of an equal or greater metal.
    std::map<std::wstring, std::vector<const Challenge*>> magazines;
    for (const auto& entry : challenges_) {
        const Challenge* challenge = entry.second.get();
        auto& list = magazines[challenge->magazine];
        auto at = std::find_if(list.begin(), list.end(),
                               [&](const Challenge* placed) { return placed->metal >= challenge->metal; });
        list.insert(at, challenge);
    }
    out += L'\n';
    for (const auto& [magazine, challenges] : magazines) {
        out += indent + L"<magazine";
        AppendAttribute(out, L"name", magazine);
        out += L">\n";
        for (const Challenge* challenge : challenges) {
            out += i1 + L"<challenge";
            AppendAttribute(out, L"unlocked", challenge->unlocked ? L"true" : L"false");
            out += L">\n";
            for (const Objective* objective : challenge->objectives) {
                out += i2 + L"<objective";
                objective->WriteAttributes(out);
                if (objective->completed) AppendAttribute(out, L"completed", L"true");
                out += L"/>\n";
            }
            if (challenge->coins != 0) {
                out += i2 + L"<reward";
                AppendAttribute(out, L"coins", challenge->coins);
                out += L"/>\n";
            }
            if (challenge->hearts != 0) {
                out += i2 + L"<reward";
                AppendAttribute(out, L"hearts", challenge->hearts);
                out += L"/>\n";
            }
            const std::pair<const wchar_t*, const std::vector<std::wstring>*> rewards[] = {
                {L"building", &challenge->buildingRewards},
                {L"research", &challenge->researchRewards},
                {L"magazine", &challenge->magazineRewards}};
            for (const auto& [kind, names] : rewards) {
                for (const std::wstring& name : *names) {
                    out += i2 + L"<reward";
                    AppendAttribute(out, kind, name);
                    out += L"/>\n";
                }
            }
            out += i1 + L"</challenge>\n\n";
        }
        out += indent + L"</magazine>\n\n";
    }
}
