// Clamp.

#include "widgets/motion/clamp.h"

#include "foundation/system/text.h"
#include "widgets/dynamic/dynamic_widget.h"

namespace {
int g_clamp_names = 0;
}

Clamp::Clamp(std::wstring name, DynamicWidget* widget, std::vector<ClampTarget> targets, uint32_t changeBits)
    : name_(std::move(name)),
      widget_(widget),
      targets_(std::move(targets)),
      saved_(targets_.size(), 0.0f),
      changeBits_(changeBits) {
    if (name_.empty()) name_ = text::WFormat(L"clamp%d", g_clamp_names++);
}

void Clamp::Apply() {
    bool moved = false;
    for (size_t i = 0; i < targets_.size(); ++i) {
        float& field = *targets_[i].field;
        saved_[i] = field;
        if (field < targets_[i].lower) {
            field = targets_[i].lower;
            moved = true;
        }
        if (field > targets_[i].upper) {
            field = targets_[i].upper;
            moved = true;
        }
    }
    applied_ = true;
    // A field left as it was keeps what its writer refreshed.
    if (moved && widget_) widget_->PropertiesChanged(changeBits_);
}

void Clamp::Restore() {
    // Before the first Apply the saved values are not the field's: writing
    // them would throw the base value away.
    if (!applied_) return;
    bool moved = false;
    for (size_t i = 0; i < targets_.size(); ++i) {
        if (*targets_[i].field != saved_[i]) moved = true;
        *targets_[i].field = saved_[i];
    }
    applied_ = false;
    // The limit lifted (a stop with undo) shows the base value again.
    if (moved && widget_) widget_->PropertiesChanged(changeBits_);
}
