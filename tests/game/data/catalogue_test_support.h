#pragma once
// Catalogue tests run in a fresh folder holding properties/, with an
// application double that records error boxes and an empty constants map.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "foundation/expression/constants_map.h"
#include "foundation/system/text.h"
#include "game/data/catalogues/combo_stats.h"
#include "game/data/catalogues/item_types.h"
#include "tests/platform/temp_folder.h"
#include "tests/support/recording_services.h"

namespace testsupport {

// A placed building as the park will present it to a combo, made from its type record.
struct PlacedType : ComboBuilding {
    explicit PlacedType(const KIVRA_BUILDING_TYPE& t) : type(t) {}
    const std::wstring& TypeName() const override { return type.type; }
    const std::wstring& Category() const override { return type.category; }
    const KivraCharacteristics& Characteristics() const override { return type.characteristics; }
    const KIVRA_BUILDING_TYPE& type;
};

}  // namespace testsupport

class CatalogueTest : public ::testing::Test {
protected:
    CatalogueTest() : cwd_(folder_.Path()) { ConstantsMap().clear(); }
    ~CatalogueTest() override { ConstantsMap().clear(); }

    void WriteProperty(const std::string& name, std::string_view utf8) {
        testsupport::WriteBytes(folder_.Path() / "properties" / name, utf8);
    }
    // A file outside properties/, for readers given a path.
    std::string WriteFile(const std::string& name, std::wstring_view text) {
        testsupport::WriteBytes(folder_.Path() / name, text::ToUtf8(text));
        return (folder_.Path() / name).string();
    }
    const std::vector<std::wstring>& Errors() const { return services_.boxes; }

    testsupport::TempFolder folder_;
    testsupport::CurrentDirectoryGuard cwd_;
    testsupport::ErrorBoxRecorder services_;
};
