// The visitor's state, its visits, its searches and what scripts read.
#include "game/park/people/kivra_person.h"

#include <algorithm>
#include <cmath>
#include <typeinfo>

#include "foundation/expression/constants_map.h"
#include "foundation/system/random.h"
#include "foundation/values/property_table.h"
#include "game/data/catalogues/item_types.h"
#include "game/park/base/task.h"
#include "game/park/grid/grid.h"
#include "game/park/grid/park_factory.h"
#include "game/park/people/visitor_park.h"
#include "game/park/people/visitor_rules.h"
#include "widgets/script/animation_widget.h"

namespace {

constexpr std::wstring_view kFrontGate = L"front_gate";

float Constant(std::wstring_view name) { return GetConstant(name).ToReal(); }

// Read on every visit, so a changed constant counts from the next one.
HappinessTerms ReadHappinessTerms() {
    HappinessTerms t;
    t.base = Constant(L"person_happiness_increase_base");
    t.category = Constant(L"person_happiness_increase_category");
    t.characteristic = Constant(L"person_happiness_increase_characteristic");
    t.appealMult = Constant(L"person_happiness_increase_appeal_mult");
    t.hungryMult = Constant(L"person_happiness_hungry_mult");
    t.appealMaximum = Constant(L"appeal_maximum");
    return t;
}

}  // namespace

KivraPerson::KivraPerson(std::wstring_view type) : Person(type) {
    // What the visitor's own update reads at every step; its task's
    // condition, in the per-frame update, asks how long it stays.
    AddPassLines(&park_, &clearStamp_ + 1);
    // The energy the tint is drawn from lies far past the widget's fields.
    AddDrawLines({&energy_, &searchFoodEnergy_});
    // A visitor answers no pointer: passing over a building it would take
    // the press and the hover meant for that building's card.
    SetMouseVisible(false);
}

KivraPerson::~KivraPerson() {
    // Deleted while inside: the building must not keep it.
    if (buildingInUse_ != nullptr) buildingInUse_->RemoveVisitor(this);
    buildingInUse_ = nullptr;
}

std::unique_ptr<Task> KivraPerson::CreateTask(std::wstring_view name) {
    return ParkFactory::Registered().MakeParkTask(name, this, GetGrid());
}

void KivraPerson::AddedToManager(WidgetManager* manager) {
    Person::AddedToManager(manager);
    leap_ = 1.0f;
    const auto* record = dynamic_cast<const KIVRA_PERSON_TYPE*>(TypeRecord());
    if (record == nullptr) return;
    energy_ = std::clamp(record->energy, 0.0f, 100.0f);
    neededAppeal_ = record->needed_appeal_level;
    ridePreference_ = record->ride_preference_percentage;
    searchFoodEnergy_ = record->search_food_energy;
    preferredCategories_ = {record->preferred_categories.begin(), record->preferred_categories.end()};
    static_cast<KivraCharacteristics&>(*this) = record->preferred;
    for (const auto& [category, most] : record->maxima) categoryVisits_.insert_or_assign(category, std::pair{0, most});
}

void KivraPerson::SetGrid(Grid* grid) {
    Person::SetGrid(grid);
    SetDraggable(false, false);
    park_ = dynamic_cast<VisitorPark*>(grid);
    // Nothing is known yet of this park's tiles.
    if (park_ != nullptr) clearStamp_ = park_->BuildingsSetDown() - 1;
}

void KivraPerson::DetachFromTiles(Grid*) {
    DetachAll(true);
    // Taken off the grid, it finishes any visit.
    GainHappiness();
}

void KivraPerson::ChangeEnergy(float delta) {
    if (std::isfinite(delta)) energy_ = std::clamp(energy_ + delta, 0.0f, 100.0f);
}

bool KivraPerson::IsFollowingPath() const { return Person::IsFollowingPath() && covering_ == nullptr; }

// ---- Visits -------------------------------------------------------------------

void KivraPerson::EnterBuilding(KivraBuilding& building) {
    // Still inside another: that visit ends first, or its place stays taken.
    if (buildingInUse_ != nullptr) GainHappiness();
    lastBuilding_ = &building;
    ++categoryVisits_.try_emplace(building.GetCategory(), 0, -1).first->second.first;
    stay_ = building.GetProperty(L"timeperuse").ToInt();
    buildingInUse_ = &building;
    building.AddVisitor(this);
}

int32_t KivraPerson::GainHappiness() {
    KivraBuilding* building = buildingInUse_;
    if (building == nullptr) return 0;
    ChangeEnergy(building->GetProperty(L"energyperuse").ToReal());
    VisitFacts visit;
    visit.frontGate = building->GetType() == kFrontGate;
    visit.favourite = preferredCategories_.contains(building->GetCategory());
    visit.shared = static_cast<uint32_t>(CountShared(building->Characteristics()));
    visit.appeal = building->GetAppeal();
    visit.hungry = searchFoodEnergy_ >= energy_;
    const int32_t hearts = CashInHundreds(happiness_, HappinessGain(visit, ReadHappinessTerms()));
    // One heart shown however many were cashed in.
    if (hearts > 0) AddWidget(new AnimationWidget(L"full_happiness_callback", width_ / 2, 0, true));
    building->RemoveVisitor(this);
    stay_ = 0;
    buildingInUse_ = nullptr;
    return hearts;
}

bool KivraPerson::HasReachedCategoryLimit(std::wstring_view category) const {
    const auto it = categoryVisits_.find(category);
    return it != categoryVisits_.end() && it->second.second >= 0 && it->second.first >= it->second.second;
}

void KivraPerson::BuildingLeaving(KivraBuilding& building) {
    if (covering_ == &building && !TryComeOut()) ComeOut(GetGridPosition());
    if (buildingInUse_ == &building) GainHappiness();
    if (lastBuilding_ == &building) lastBuilding_ = nullptr;
}

// ---- Searches -------------------------------------------------------------------

void KivraPerson::FindPathToMatch(GridTileFilter* filter) {
    if (filter != nullptr) SearchPath(*filter, LeapMatch(leap_));
    if (leap_ >= 0.0f)
        leap_ = NextLeap(leap_, !GetPath().empty(), Constant(L"person_leap_increase"),
                         [](float max) { return RandomFloat(max); });
    WalkPath();
}

// ---- What scripts read ------------------------------------------------------------

int32_t KivraPerson::CountOf(std::wstring_view category) const {
    const auto it = categoryVisits_.find(category);
    return it == categoryVisits_.end() ? 0 : it->second.first;
}

int32_t KivraPerson::MaxOf(std::wstring_view category) const {
    const auto it = categoryVisits_.find(category);
    return it == categoryVisits_.end() ? -1 : it->second.second;
}

bool KivraPerson::CanEat() {
    if (energy_ > searchFoodEnergy_) return false;
    // A category the type sets no limit for never stops it.
    for (std::wstring_view food : {L"snack", L"restaurant"}) {
        const int32_t most = MaxOf(food);
        if (most < 0 || CountOf(food) < most) return true;
    }
    return false;
}

const PropertyTable<KivraPerson>& KivraPerson::Properties() {
    using T = PropertyTable<KivraPerson>;
    using V = PropertyValue;
    static const T table{
        T::Value(L"energy", [](KivraPerson& p) { return V::FromFloat(p.energy_); }),
        T::Value(L"happiness", [](KivraPerson& p) { return V::FromFloat(p.happiness_); }),
        T::Value(L"wants_to_leave_building", [](KivraPerson& p) { return V::FromBool(p.stay_ == 0); }),
        T::Value(L"needed_appeal_level", [](KivraPerson& p) { return V::FromFloat(p.neededAppeal_); }),
        T::Value(L"ride_preference_percentage", [](KivraPerson& p) { return V::FromInt(p.ridePreference_); }),
        T::Value(L"search_food_energy", [](KivraPerson& p) { return V::FromFloat(p.searchFoodEnergy_); }),
        T::Value(L"wants_to_leave",
                 [](KivraPerson& p) { return V::FromBool(p.park_ != nullptr && p.park_->WeekTimer() <= 0.0f); }),
        T::Value(L"in_limbo", [](KivraPerson& p) { return V::FromBool(p.covering_ != nullptr); }),
        T::Value(L"can_eat", [](KivraPerson& p) { return V::FromBool(p.CanEat()); }),
        T::Value(L"building_count",
                 [](KivraPerson& p) {
                     int32_t n = 0;
                     for (const auto& [category, visits] : p.categoryVisits_) n += visits.first;
                     return V::FromInt(n);
                 }),
    };
    return table;
}

namespace {
constexpr std::wstring_view kCountSuffix = L"_count", kMaxSuffix = L"_max";
}  // namespace

PropertyValue KivraPerson::GetProperty(std::wstring_view name) {
    if (auto reader = Properties().FindReader(name)) return reader.Read(*this, handles_);
    if (name.ends_with(kCountSuffix))
        return PropertyValue::FromInt(CountOf(name.substr(0, name.size() - kCountSuffix.size())));
    if (name.ends_with(kMaxSuffix))
        return PropertyValue::FromInt(MaxOf(name.substr(0, name.size() - kMaxSuffix.size())));
    return Person::GetProperty(name);
}

// Follows GetProperty's order: a name it answers on the way is not the
// person's table's.
const PropertyReading* KivraPerson::ResolveProperty(std::wstring_view name) {
    if (typeid(*this) != typeid(KivraPerson)) return nullptr;
    if (Properties().FindReader(name)) return Properties().Resolve(name);
    if (name.ends_with(kCountSuffix) || name.ends_with(kMaxSuffix)) return nullptr;
    return ResolveOwnProperty(name);
}
