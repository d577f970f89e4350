#include "widgets/controls/checkbox.h"

#include "foundation/system/app_services.h"
#include "rendering/draw/graphics.h"
#include "rendering/image/image.h"

Checkbox::Checkbox(Image* unchecked, Image* uncheckedOver, Image* checked, Image* checkedOver,
                   CheckboxListener* listener)
    : listener_(listener),
      hoverSound_(FindSoundId(L"Highlight")),
      clickSound_(FindSoundId(L"Button")),
      unchecked_(unchecked),
      checkedImage_(checked),
      uncheckedOver_(uncheckedOver),
      checkedOver_(checkedOver) {
    mouseVisible_ = true;
    handCursor_ = true;
}

void Checkbox::SetChecked(bool checked, bool notify) {
    checked_ = checked;
    if (notify && listener_) listener_->CheckboxChecked(id_, checked_);
    MarkDirty();
}

void Checkbox::MouseButtonDown(int, int, int, int) {
    checked_ = !checked_;
    if (listener_) listener_->CheckboxChecked(id_, checked_);
    if (playSounds_ && clickSound_ >= 0) PlaySoundEffect(clickSound_);
    MarkDirty();
}

void Checkbox::MouseEnter() {
    MarkDirty();
    if (playSounds_ && hoverSound_ >= 0) PlaySoundEffect(hoverSound_);
}

void Checkbox::MouseLeave() { MarkDirty(); }

Image* Checkbox::CurrentImage() const {
    Image* disabled = checked_ ? checkedDisabled_ : uncheckedDisabled_;
    Image* over = checked_ ? checkedOver_ : uncheckedOver_;
    if (disabled_ && disabled) return disabled;
    if (isOver_ && over) return over;
    return checked_ ? checkedImage_ : unchecked_;
}

void Checkbox::Draw(Graphics* g) {
    if (Image* image = CurrentImage(); g && image) g->DrawImageWhole(image, 0.0f, 0.0f);
}
