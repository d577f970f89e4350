#include "game/park/tasks/composite_filters.h"

#include "foundation/system/log.h"

template <class Base, class Candidate>
void FilterComposite<Base, Candidate>::AddFilter(std::unique_ptr<GridFilter> filter) {
    if (filter == nullptr) return;
    auto* member = dynamic_cast<Base*>(filter.get());
    if (member == nullptr) {
        LogWrite(L"filters: a filter of the other kind (items, tiles) was dropped", true);
        return;
    }
    filter.release();
    members_.emplace_back(member);
}

template <class Base, class Candidate>
bool FilterComposite<Base, Candidate>::Accept(Candidate* candidate) {
    for (const auto& m : members_)
        if (m->Accept(candidate) != all) return !all;
    return all;
}

template <class Base, class Candidate>
Candidate* FilterComposite<Base, Candidate>::Vote(Candidate* a, Candidate* b) const {
    int forA = 0, forB = 0;
    for (const auto& m : members_) {
        Candidate* choice = m->Prefer(a, b);
        if (choice == a)
            ++forA;
        else if (choice == b)
            ++forB;
    }
    return forA > forB ? a : forB > forA ? b : nullptr;
}

template class FilterComposite<GridItemFilter, GridItem>;
template class FilterComposite<GridTileFilter, GridTile>;
