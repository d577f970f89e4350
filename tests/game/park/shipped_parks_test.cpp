// The game's own parks: each shipped level builds its park grid, and every
// building type the level lets the player buy fits somewhere in it, is placed
// and paid for, and is removed again, leaving the park as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/system/text.h"
#include "game/data/catalogues/item_stats.h"
#include "tests/game/park/buyable_types.h"
#include "tests/game/park/shipped_park.h"

namespace {

class ShippedParks : public testsupport::ShippedPark, public ::testing::WithParamInterface<const wchar_t*> {
protected:
    ShippedParks() : ShippedPark(GetParam()) {}

    // Every tile's material and whether something stands on it, and what the level books.
    std::wstring Snapshot() {
        std::wstring text = std::to_wstring(grid->Items().size()) + L";" + std::to_wstring(level->ticketprice) + L";";
        for (int32_t col = 0; col < grid->Cols(); ++col)
            for (int32_t row = 0; row < grid->Rows(); ++row)
                text += {static_cast<wchar_t>(MaterialAt({col, row})), grid->GetTileOccupant({col, row}) ? L'o' : L'.'};
        return text;
    }

    // Carries the held building over the park, as the pointer does, to the first tile it fits.
    std::optional<TilePoint> FirstFit() {
        KivraBuilding& held = *grid->GetHeldBuilding();
        for (int32_t row = 0; row < grid->Rows(); ++row)
            for (int32_t col = 0; col < grid->Cols(); ++col) {
                const PixelPoint p = grid->TileToScreen(col, row);
                held.SetScreenPositionFromTile(p.x, p.y);
                if (held.CanPlace()) return held.GetGridPosition();
            }
        return std::nullopt;
    }
};

TEST_P(ShippedParks, EveryAvailableBuildingFitsAndLeavesTheParkAsItWas) {
    level->money = 1'000'000;
    EnterPark();
    ASSERT_EQ(grid->Cols(), level->cols);
    const std::wstring before = Snapshot();
    const std::vector<std::wstring> types = testsupport::BuyableBuildingTypes(items, *level);
    EXPECT_GE(types.size(), 8u);
    for (const std::wstring& type : types) {
        SCOPED_TRACE(text::ToUtf8(type));
        grid->PreviewNewBuilding(type);
        ASSERT_NE(grid->GetHeldBuilding(), nullptr);
        const std::optional<TilePoint> spot = FirstFit();
        ASSERT_TRUE(spot.has_value());
        const int32_t spent = level->stats.allTime.money_spent;
        EXPECT_TRUE(grid->TryPlaceHeldItem(false));
        grid->CancelCurrentMode();
        KivraBuilding* placed = grid->GetTileOccupant(*spot);
        ASSERT_NE(placed, nullptr);
        EXPECT_EQ(placed->GetType(), type);
        const auto* record = dynamic_cast<const KIVRA_BUILDING_TYPE*>(FindRecordByName(&items, type));
        EXPECT_EQ(level->stats.allTime.money_spent - spent, record->buycost);
        grid->RemoveWidget(placed);
        Advance();
        EXPECT_EQ(Snapshot(), before);
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, ShippedParks, ::testing::Values(L"maple_green", L"saltwind_bay"));

}  // namespace
