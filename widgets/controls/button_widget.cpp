#include "widgets/controls/button_widget.h"

#include "foundation/expression/localization_map.h"
#include "foundation/system/app_services.h"
#include "foundation/values/saturate.h"
#include "rendering/draw/graphics.h"
#include "rendering/font/font.h"
#include "rendering/font/fonts_xml.h"
#include "rendering/font/sys_font.h"
#include "rendering/image/image.h"
#include "widgets/tree/widget_manager.h"

ButtonWidget::ButtonWidget(int x, int y, std::wstring_view imageName, std::wstring_view label, bool localise)
    : AnimationWidget(L"", x, y, false), name_(imageName) {
    if (!name_.empty()) SetImage(dynamic_cast<Image*>(FindImageByName(name_)));
    if (const Font* font = GetFontMap().Find(L"button")) stateFonts_[kNormal].reset(font->Duplicate());
    currentFont_ = stateFonts_[kNormal].get();
    hoverSound_ = FindSoundId(L"Highlight");
    pressSound_ = FindSoundId(L"Button");
    label_ = localise ? LocalizeLookup(label) : std::wstring(label);
    handCursor_ = true;
    mouseVisible_ = true;
    CountCels();
    if (!image_ && currentFont_ && !label_.empty())
        Resize(x_, y_, SaturateCast(currentFont_->StringWidth(label_)), SaturateCast(currentFont_->GetHeight()));
    PlayStateAnimation(L"init");
}

ButtonWidget::~ButtonWidget() = default;

PropertyValue ButtonWidget::GetProperty(std::wstring_view name) {
    if (name == L"disabled") return disabledProperty_;
    if (name == L"mouse_over") return mouseOverProperty_;
    if (name == L"mouse_down") return mouseDownProperty_;
    return AnimationWidget::GetProperty(name);
}

void ButtonWidget::SetStateFont(int state, const Font* font) {
    if (state < kNormal || state > kDisabled) return;
    stateFonts_[state].reset(font ? font->Duplicate() : nullptr);
    if (state == state_) {
        currentFont_ = stateFonts_[state].get();
        MarkDirty();
    }
    ChooseStateFont();
}

Font* ButtonWidget::GetStateFont(int state) const {
    return state >= kNormal && state <= kDisabled ? stateFonts_[state].get() : nullptr;
}

void ButtonWidget::ChooseStateFont() {
    int target;
    if (disabled_ && state_ != kDisabled)
        target = kDisabled;
    else if (disabled_)
        return;
    else if (isDown_ && isOver_ && state_ != kDown)
        target = kDown;
    else if (!isDown_ && isOver_ && state_ != kOver)
        target = kOver;
    else if (!isOver_ && state_ != kNormal)
        target = kNormal;
    else
        return;
    // A state without a font of its own keeps the one in use, except the
    // disabled one: an enabled button never keeps the disabled look.
    if (!stateFonts_[target] && state_ == kDisabled) target = kNormal;
    if (!stateFonts_[target]) return;
    state_ = target;
    currentFont_ = stateFonts_[target].get();
    MarkDirty();
}

void ButtonWidget::SetStateFrames(bool over, bool down) {
    overFrame_ = over;
    downFrame_ = down;
    CountCels();
}

void ButtonWidget::CountCels() { cels_ = image_ ? image_->rows * image_->cols : 0; }

void ButtonWidget::ShowStateFrame(bool disabled) {
    if (!overFrame_ && !downFrame_) return;  // the scripts alone choose the cel
    const int cels = cels_;
    if (cels < 2) return;
    int frame = 0;
    if (isOver_ && !disabled) {
        if (isDown_ && downFrame_)
            frame = 2;
        else if (overFrame_)
            frame = 1;
    }
    if (frame < cels && frame != GetFrame()) SetFrame(frame);
}

void ButtonWidget::PlayStateAnimation(std::wstring_view event) {
    if (name_.empty()) return;
    std::wstring candidate = name_ + L"_";
    candidate += event;
    if (!AnimationExists(candidate)) {
        candidate = L"button_";
        candidate += event;
    }
    if (AnimationExists(candidate)) RunAnimationNamed(candidate);
}

void ButtonWidget::PlayButtonSound(int id) const {
    if (id >= 0) PlaySoundEffect(id);
}

void ButtonWidget::SetDisabled(bool disabled) {
    disabledProperty_ = disabled;
    ShowStateFrame(disabled);
    PlayStateAnimation(disabled ? L"disabled" : L"enabled");
    AnimationWidget::SetDisabled(disabled);
    ChooseStateFont();
}

void ButtonWidget::MouseEnter() {
    if (playSounds_ && !disabled_) PlayButtonSound(hoverSound_);
    mouseOverProperty_ = isOver_;
    ShowStateFrame(disabled_);
    PlayStateAnimation(L"hover");
    ChooseStateFont();
    AnimationWidget::MouseEnter();
}

void ButtonWidget::MouseLeave() {
    mouseOverProperty_ = isOver_;
    ShowStateFrame(disabled_);
    PlayStateAnimation(L"leave");
    ChooseStateFont();
    AnimationWidget::MouseLeave();
}

void ButtonWidget::MouseDown(int x, int y, int clickCode) {
    if (clickCode != 1) {
        // A double click, or another button: no second press, no pressed look.
        isDown_ = false;
        pressCounted_ = false;
        return;
    }
    if (playSounds_ && !disabled_) PlayButtonSound(pressSound_);
    mouseDownProperty_ = true;
    ShowStateFrame(disabled_);
    PlayStateAnimation(L"down");
    ChooseStateFont();
    pressCounted_ = true;
    AnimationWidget::MouseDown(x, y, 1);
}

void ButtonWidget::MouseUpAt(int x, int y) {
    mouseDownProperty_ = false;
    ShowStateFrame(disabled_);
    PlayStateAnimation(L"up");
    ChooseStateFont();
    // The release of a press that did not count must not act either: a
    // button acting on release would otherwise act twice on a double click.
    if (!pressCounted_) return;
    pressCounted_ = false;
    AnimationWidget::MouseUpAt(x, y);
}

void ButtonWidget::LabelPosition(Graphics* g, Font* font, int* x, int* y, int* wrap) const {
    // Sizes and offsets come from scripts: the sums are taken wide.
    const int w = ClampHalfInt(wrapWidth_ < 0 ? 4096 : wrapWidth_ == 0 ? width_ : wrapWidth_);
    int64_t left = 0;
    if (justification_ == 0)
        left = (int64_t{width_} - w) / 2;
    else if (justification_ == 1)
        left = int64_t{width_} - w;
    const int ascent = SaturateCast(font->GetAscent());
    const int fontHeight = SaturateCast(font->GetHeight());
    const int padding = SaturateCast(font->GetAscentPadding());
    const int wrapped = Graphics::GetWordWrappedHeight(g, w, label_);
    int64_t top = SaturateCast<int64_t>(static_cast<double>(int64_t{ascent} + height_ - ascent / 6 - 1) * 0.5 +
                                        static_cast<double>(textOffsetY_) -
                                        static_cast<double>(int64_t{wrapped} - (int64_t{fontHeight} - padding)) * 0.5);
    left += textOffsetX_;
    if (isDown_ && isOver_ && !disabled_) {
        left += downTextOffsetX_;
        top += downTextOffsetY_;
    }
    *x = ClampHalfInt(left);
    *y = ClampHalfInt(top);
    *wrap = w;
}

void ButtonWidget::Draw(Graphics* g) {
    CountCels();
    AnimationWidget::Draw(g);
    if (!g || label_.empty()) return;
    if (!currentFont_) {
        defaultFont_ = std::make_unique<SysFont>(&Service<AppServices>::Get(), "Arial Unicode MS", 10);
        currentFont_ = defaultFont_.get();
    }
    const GraphicsState saved = g->GetState();
    g->SetFont(currentFont_);
    g->SetColor(Color::White);
    int x = 0, y = 0, wrap = 0;
    LabelPosition(g, currentFont_, &x, &y, &wrap);
    g->DrawStringWordWrapped(label_, x, y, wrap, justification_);
    g->SetState(saved);
}
