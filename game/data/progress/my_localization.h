#pragma once
// The game's text catalogue: fills the process-wide localisation table from
// properties/localization.xml with the base reader's elements, and empties
// the table again when it is cleared or destroyed, so the texts live exactly
// as long as the catalogue.

#include "foundation/expression/localization.h"
#include "game/data/catalogues/catalogue_base.h"

class MyLocalization : public Localization, public StatsManager {
public:
    MyLocalization() = default;
    ~MyLocalization() override;
    MyLocalization(const MyLocalization&) = delete;
    MyLocalization& operator=(const MyLocalization&) = delete;

    void Load() override;
    void ElementEnd(const std::wstring& name) override;
    virtual void ClearStrings();
};
