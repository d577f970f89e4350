#include "game/data/progress/my_localization.h"

#include "foundation/expression/localization_map.h"

MyLocalization::~MyLocalization() { MyLocalization::ClearStrings(); }

void MyLocalization::Load() {
    LoadPropertiesXml("localization.xml");
    loaded_ = true;
}

void MyLocalization::ElementEnd(const std::wstring&) {}

void MyLocalization::ClearStrings() { LocalizationMap().clear(); }
