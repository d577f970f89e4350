#include "game/park/tasks/grid_task.h"

#include "game/park/buildings/building.h"
#include "game/park/grid/grid.h"
#include "game/park/people/person.h"
#include "game/park/tasks/composite_filters.h"
#include "game/park/tasks/item_filters.h"
#include "game/park/tasks/tile_filters.h"
#include "widgets/script/script_host.h"

using namespace std::string_view_literals;

namespace {

// The words that act on the widget "id" names: only these resolve it.
constexpr std::wstring_view kWidgetWords[] = {L"set-action",  L"set-origin",          L"set-orientation", L"face",
                                              L"follow-path", L"stop-following-path", L"find-nearby"};

bool IsWidgetWord(std::wstring_view word) {
    for (std::wstring_view known : kWidgetWords)
        if (word == known) return true;
    return false;
}

std::wstring_view Trimmed(std::wstring_view text) {
    const size_t first = text.find_first_not_of(L" \t\r\n");
    if (first == std::wstring_view::npos) return {};
    return text.substr(first, text.find_last_not_of(L" \t\r\n") - first + 1);
}

// A list piece loses the spaces the list reader drops: the ASCII spaces,
// tab to carriage return.
std::wstring_view TrimmedAsListPiece(std::wstring_view piece) {
    const auto space = [](wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); };
    while (!piece.empty() && space(piece.front())) piece.remove_prefix(1);
    while (!piece.empty() && space(piece.back())) piece.remove_suffix(1);
    return piece;
}

std::unique_ptr<GridItemFilter> MakeTextFilter(std::wstring_view attribute, std::wstring_view text) {
    if (attribute == L"type"sv) return std::make_unique<AcceptItemByType>(text);
    if (attribute == L"category"sv) return std::make_unique<AcceptItemByCategory>(text);
    if (attribute == L"action"sv) return std::make_unique<AcceptItemByAction>(text);
    return nullptr;
}

}  // namespace

GridTask::GridTask(std::wstring_view name, TaskOwner* owner, Grid* grid) : Task(name, owner), grid_(grid) {
    if (const auto* widget = dynamic_cast<const DynamicWidget*>(owner))
        SetVariable(L"owner", PropertyValue::FromWidget(widget));
}

GridTask::~GridTask() = default;

Grid* GridTask::GetGrid() const { return grid_.Get(); }

bool GridTask::MatchAll() {
    if (!StepHasAttribute(L"match")) return true;
    const PropertyValue match = EvalStepAttribute(L"match");
    return match.EqualsCString(L"all");
}

TileChar GridTask::StepChar(std::wstring_view name, TileChar fallback) {
    if (!StepHasAttribute(name)) return fallback;
    const PropertyValue value = EvalStepAttribute(name);
    // A number stands for its digits: door="2" means the side '2'.
    if (value.Is(PropertyValue::Tag::String)) return static_cast<TileChar>(value.FirstChar());
    const std::wstring text = value.ToString();
    return text.empty() ? 0 : static_cast<TileChar>(text[0]);
}

void GridTask::SetOutput(std::wstring_view name, const PropertyValue& value) {
    if (const AnimationStep* step = CurrentStep()) {
        auto it = step->attributes.find(name);
        if (it != step->attributes.end()) SetVariable(it->second, value);
    }
}

void GridTask::SetOutputWidget(std::wstring_view name, const DynamicWidget* widget) {
    if (widget)
        SetOutput(name, PropertyValue::FromWidget(widget));
    else
        ClearOutput(name);
}

void GridTask::ClearOutput(std::wstring_view name) {
    if (StepHasAttribute(name)) UndefineVariable(StepAttributeText(name));
}

std::unique_ptr<AcceptItemByFilters> GridTask::MakeItemFilter(bool all, bool prefer) {
    std::unique_ptr<AcceptItemByFilters> composite =
        prefer ? std::make_unique<PreferItemByFilters>(all) : std::make_unique<AcceptItemByFilters>(all);
    MakeItemTypeFilter(*composite, L"type", all, prefer);
    MakeItemTypeFilter(*composite, L"category", all, prefer);
    MakeItemTypeFilter(*composite, L"action", all, prefer);
    return composite;
}

void GridTask::MakeItemTypeFilter(CompositeFilter& composite, std::wstring_view attribute, bool group, bool prefer) {
    if (!StepHasAttribute(attribute)) return;
    std::unique_ptr<AcceptItemByFilters> own;
    if (group)
        own = prefer ? std::make_unique<PreferItemByFilters>(false) : std::make_unique<AcceptItemByFilters>(false);
    CompositeFilter& target = own ? *own : composite;
    const PropertyValue value = EvalStepAttribute(attribute);
    const std::wstring text = value.ToString();
    // The common single name is taken as it is, and a list without
    // parentheses split here as the list reader splits it, without its
    // copies of the text and of each piece.
    if (text.find_first_of(L",()") == std::wstring::npos) {
        target.AddItemFilter(MakeTextFilter(attribute, Trimmed(text)));
    } else if (text.find_first_of(L"()") == std::wstring::npos) {
        std::wstring_view rest = text;
        for (size_t comma = rest.find(L','); comma != std::wstring_view::npos; comma = rest.find(L',')) {
            target.AddItemFilter(MakeTextFilter(attribute, TrimmedAsListPiece(rest.substr(0, comma))));
            rest.remove_prefix(comma + 1);
        }
        target.AddItemFilter(MakeTextFilter(attribute, TrimmedAsListPiece(rest)));
    } else {
        for (const PropertyValue& piece : Evaluator().SplitList(text))
            target.AddItemFilter(MakeTextFilter(attribute, piece.ToString()));
    }
    if (own) composite.AddItemFilter(std::move(own));
}

std::unique_ptr<AcceptTileByFilters> GridTask::MakeTileFilter(bool all, bool prefer) {
    const bool hasItem = StepHasAttribute(L"item");
    const bool hasPoint = StepHasAttribute(L"col") && StepHasAttribute(L"row");
    std::unique_ptr<AcceptTileByFilters> composite;
    if (prefer || hasItem || hasPoint)
        composite = std::make_unique<PreferTileByFilters>(all);
    else
        composite = std::make_unique<AcceptTileByFilters>(all);
    if (StepHasAttribute(L"state")) composite->AddFilter(std::make_unique<AcceptTileByState>(StepChar(L"state", 0)));
    if (StepHasAttribute(L"material"))
        composite->AddFilter(std::make_unique<AcceptTileByMaterial>(StepChar(L"material", 0)));
    if (hasItem || hasPoint) {
        const float maxDistance = StepAttributeFloatOr(L"max_distance", -1.0f);
        const float minDistance = StepAttributeFloatOr(L"min_distance", -1.0f);
        if (const auto* item = StepWidget<GridItem>(L"item"))
            composite->AddFilter(std::make_unique<PreferTileByDistance>(item, maxDistance, minDistance));
        if (hasPoint) {
            const TilePoint point{StepAttributeInt(L"col"), StepAttributeInt(L"row")};
            composite->AddFilter(std::make_unique<PreferTileByDistance>(point, maxDistance, minDistance));
        }
    }
    std::unique_ptr<AcceptItemByFilters> buildings = MakeItemFilter(all, false);
    // A building named and not found (gone, or no building) accepts no door,
    // rather than leaving the search open to any tile.
    if (StepHasAttribute(L"building"))
        buildings->AddFilter(std::make_unique<AcceptItem>(StepWidget<Building>(L"building")));
    if (buildings->Count() > 0) {
        const TileChar side = StepChar(L"door", AcceptTileByDoor::kAnySide);
        composite->AddFilter(std::make_unique<AcceptTileByDoor>(std::move(buildings), side));
    }
    return composite;
}

int GridTask::HandleCustomCommand(const AnimationStep& step) {
    const std::wstring_view word = step.name;
    if (word == L"add-item"sv && StepHasAttribute(L"type")) return AddItem();
    if (word == L"find-item"sv) return FindItem();
    if (word == L"find-tile"sv) return FindTile();
    if (word == L"get-tile"sv) return GetTile();
    if (word == L"set-tile"sv) return SetTile();
    if (IsWidgetWord(word)) {
        int result = hook_result::kNotHandled;
        DynamicWidget* widget = StepWidget<DynamicWidget>(L"id");
        // Persons and buildings are items: one cast, and the item says which it is.
        auto* item = dynamic_cast<GridItem*>(widget);
        if (item) result = ItemWord(word, *item);
        if (Person* person = item ? item->AsPerson() : nullptr; person && result == hook_result::kNotHandled)
            result = PersonWord(word, *person);
        if (Building* building = item ? item->AsBuilding() : nullptr; building && result == hook_result::kNotHandled)
            result = BuildingWord(word, *building);
        if (result != hook_result::kNotHandled) return result;
    }
    return Task::HandleCustomCommand(step);
}
