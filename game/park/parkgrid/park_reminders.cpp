// The park's reminders by name: made over the display, which shows them as
// its script objects, and removed by name.
#include "foundation/expression/constants_map.h"
#include "foundation/values/property_value.h"
#include "game/park/display/park_display.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "game/park/parkgrid/park_helpers.h"
#include "game/park/people/reminder.h"

namespace {

// The constant's value when constants.xml defines it, else the default.
float BoundOr(std::wstring_view name, float fallback) {
    return IsScriptVariableDefined(name) ? GetConstant(name).ToReal() : fallback;
}

}  // namespace

Reminder* KivraGrid::AddReminder(const std::wstring& id, float targetX, float targetY, Image* icon, Image* arrow,
                                 std::wstring_view animation) {
    RemoveReminder(id);
    // The reminder is the display's: without one nothing would show or own it.
    ParkDisplay* display = Display();
    if (display == nullptr) return nullptr;
    auto* reminder = new Reminder(targetX, targetY, this, icon, arrow, animation);
    const FRect area = reminder->Bounds();
    reminder->SetBounds({BoundOr(L"reminder_bounds_x", area.x), BoundOr(L"reminder_bounds_y", area.y),
                         BoundOr(L"reminder_bounds_width", area.w), BoundOr(L"reminder_bounds_height", area.h)});
    display->Widget().RegisterObject(id, reminder);
    reminders_[id] = reminder;
    return reminder;
}

void KivraGrid::RemoveReminder(const std::wstring& id) {
    auto it = reminders_.find(id);
    if (it == reminders_.end()) return;
    if (Reminder* reminder = it->second.Get()) reminder->RemoveSelf();
    reminders_.erase(it);
}

Reminder* KivraGrid::FindReminder(const std::wstring& id) const {
    auto it = reminders_.find(id);
    return it == reminders_.end() ? nullptr : it->second.Get();
}
