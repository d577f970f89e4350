// The item filters: leaf tests on a placed park, the grid's search with a
// three-member preferring composite, the gate and the visitor's choice.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "game/park/base/filter_subjects.h"
#include "game/park/tasks/composite_filters.h"
#include "game/park/tasks/item_filters.h"
#include "tests/game/park/walk_scene.h"

namespace {

using testsupport::LevelBuilder;
using testsupport::TestGrid;

class ItemFilters : public testsupport::WalkBench {};

TEST_F(ItemFilters, LeavesAndTheGridsSearchKeepTheNearestFirst) {
    TestGrid* grid = EnterGrid(LevelBuilder(12, 12));
    GridItem* walker = Place<GridItem>(grid, L"walker", {0, 0});
    GridItem* far = Place<GridItem>(grid, L"stall", {9, 9});
    GridItem* kiosk = Place<GridItem>(grid, L"kiosk", {5, 5});  // covers 4..5 x 4..5
    GridItem* near = Place<GridItem>(grid, L"stall", {2, 3});
    kiosk->SetAction(L"open");
    struct Row {
        std::unique_ptr<GridItemFilter> filter;
        std::vector<GridItem*> accepted;
    };
    Row rows[] = {
        {std::make_unique<AcceptItem>(kiosk), {kiosk}},
        {std::make_unique<AcceptItemByType>(L"stall"), {far, near}},
        {std::make_unique<AcceptItemByType>(L"Stall"), {}},
        {std::make_unique<AcceptItemByCategory>(L"people"), {walker}},
        {std::make_unique<AcceptItemByAction>(L"open"), {kiosk}},
        {std::make_unique<AcceptBuilding>(), {far, kiosk, near}},
        // Distance to the footprint: the point (3, 3) lies √2 from the kiosk, 1 from the near stall.
        {std::make_unique<PreferItemByDistance>(TilePoint{3, 3}, 1.5f, -1.0f), {kiosk, near}},
        {std::make_unique<PreferItemByDistance>(TilePoint{3, 3}, 1.0f, -1.0f), {near}},
        {std::make_unique<PreferItemByDistance>(TilePoint{4, 4}, 0.0f, -1.0f), {kiosk}},
        {std::make_unique<PreferItemByDistance>(TilePoint{4, 4}, 1.0f, 2.0f), {}},
    };
    for (Row& r : rows) {
        std::vector<GridItem*> got;
        for (GridItem* i : grid->Items())
            if (r.filter->Accept(i)) got.push_back(i);
        EXPECT_EQ(got, r.accepted);
    }

    // Shops within 8 of (1, 1), nearest first: a preferring composite whose
    // only voter is the distance.
    PreferItemByFilters shops(true);
    shops.AddFilter(std::make_unique<AcceptItemByCategory>(L"shops"));
    shops.AddFilter(std::make_unique<AcceptBuilding>());
    shops.AddFilter(std::make_unique<PreferItemByDistance>(TilePoint{1, 1}, 8.0f, -1.0f));
    std::vector<GridItem*> found;
    grid->FindItems(found, &shops);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found.front(), near);
    EXPECT_EQ(grid->FindItem(&shops, false), near);
}

class StubGate : public GridItem, public OpenableGate {
public:
    explicit StubGate(bool open) : GridItem(L"front_gate"), open_(open) {}
    bool IsOpen() const override { return open_; }

private:
    bool open_;
};

TEST(GateFilter, OnlyAnOpenGatePasses) {
    StubGate open(true), shut(false);
    GridItem plain(L"front_gate");
    AcceptGateByOpenness f;
    EXPECT_TRUE(f.Accept(&open));
    EXPECT_FALSE(f.Accept(&shut));
    EXPECT_FALSE(f.Accept(&plain));
}

// The doubles write what they are asked, one letter each, so the order of
// the steps shows: building v(acancies) a(ppeal) h(eld); visitor n(eeded
// appeal) l(ast) u(se) s(tay) c(ategory).
struct Asked {
    std::string letters;
};

class Shop : public GridItem, public VisitableBuilding {
public:
    Shop(const wchar_t* type, Asked* log) : GridItem(type), log_(log) {}
    const VisitableBuilding* AsVisitable() const override { return this; }
    int32_t GetVacancies() const override { return log_->letters += 'v', vacancies; }
    float GetAppeal() const override { return log_->letters += 'a', appeal; }
    bool IsBeingPlaced() const override { return log_->letters += 'h', held; }
    int32_t vacancies = 1;
    float appeal = 2.0f;
    bool held = false;

private:
    Asked* log_;
};

class Guest : public ChoosingVisitor {
public:
    explicit Guest(Asked* log) : log_(log) {}
    float GetNeededAppeal() const override { return log_->letters += 'n', needed; }
    const GridItem* GetLastBuilding() const override { return log_->letters += 'l', last; }
    const GridItem* GetBuildingInUse() const override { return log_->letters += 'u', inUse; }
    int32_t GetStay() const override { return log_->letters += 's', stay; }
    bool HasReachedCategoryLimit(std::wstring_view) const override { return log_->letters += 'c', limit; }
    float needed = 1.0f;
    const GridItem* last = nullptr;
    const GridItem* inUse = nullptr;
    int32_t stay = 0;
    bool limit = false;

private:
    Asked* log_;
};

struct VisitCase {
    const char* name;
    void (*set)(Shop&, Guest&);
    bool withVisitor;
    bool accepted;
    const char* asked;
};

const VisitCase kVisits[] = {
    {"PlainBuildingPasses", [](Shop&, Guest&) {}, true, true, "vnahlc"},
    {"WithoutVisitorRefused", [](Shop&, Guest&) {}, false, false, ""},
    {"NoVacancy", [](Shop& s, Guest&) { s.vacancies = 0; }, true, false, "v"},
    {"OverfilledAfterABoostEnded", [](Shop& s, Guest&) { s.vacancies = -6; }, true, false, "v"},
    {"AppealTooLow", [](Shop& s, Guest& g) { g.needed = s.appeal + 0.5f; }, true, false, "vna"},
    {"EqualAppealPasses", [](Shop& s, Guest& g) { g.needed = s.appeal; }, true, true, "vnahlc"},
    {"Held", [](Shop& s, Guest&) { s.held = true; }, true, false, "vnah"},
    {"LastBuilding", [](Shop& s, Guest& g) { g.last = &s; }, true, false, "vnahlu"},
    {"LastButInUseWithStay", [](Shop& s, Guest& g) { g.last = g.inUse = &s, g.stay = 1; }, true, true, "vnahlusc"},
    {"LastAndInUseWithoutStay", [](Shop& s, Guest& g) { g.last = g.inUse = &s; }, true, false, "vnahlus"},
    {"CategoryLimitReached", [](Shop&, Guest& g) { g.limit = true; }, true, false, "vnahlc"},
};

class VisitorChoice : public testing::TestWithParam<VisitCase> {};

TEST_P(VisitorChoice, StepsInTheirOrder) {
    Asked asked;
    Shop shop(L"stall", &asked);
    Guest guest(&asked);
    GetParam().set(shop, guest);
    AcceptBuildingByVisitorPreferences f(GetParam().withVisitor ? &guest : nullptr);
    EXPECT_EQ(f.Accept(&shop), GetParam().accepted);
    EXPECT_EQ(asked.letters, GetParam().asked);
}

INSTANTIATE_TEST_SUITE_P(Table, VisitorChoice, testing::ValuesIn(kVisits),
                         [](const testing::TestParamInfo<VisitCase>& i) { return std::string(i.param.name); });

TEST(VisitorChoiceGate, TheGateIsTakenEvenFullAndWithoutVisitorOtherItemsNever) {
    Asked asked;
    Shop gate(L"front_gate", &asked);
    gate.vacancies = 0;
    AcceptBuildingByVisitorPreferences noVisitor(nullptr);
    EXPECT_TRUE(noVisitor.Accept(&gate));
    EXPECT_EQ(asked.letters, "");
    GridItem plain(L"front_gate");
    Guest guest(&asked);
    EXPECT_FALSE(AcceptBuildingByVisitorPreferences(&guest).Accept(&plain));
}

}  // namespace
