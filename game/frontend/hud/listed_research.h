#pragma once
// A research option of the current level as the research lists hold it: by
// its name, found again at each read. A purchase moves an option from the
// options on offer to those in progress, and either vector may grow into new
// storage, so a pointer taken when the list was made may point at freed
// memory or at another option. Main thread only.

#include <string>

#include "game/data/catalogues/research_option.h"

struct ListedResearch {
    std::wstring name;
    bool bought = false;  // among the options in progress, not those on offer

    // The option of that name in its vector of the current level; null when
    // it is no longer there or no level is played.
    RESEARCH_OPTION* Get() const;
};
