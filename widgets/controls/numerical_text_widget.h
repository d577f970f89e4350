#pragma once
// NumericalTextWidget: a number that counts towards a watched integer. The
// integer is followed through its field handle (a "..._ptr" value): a handle
// whose field is gone reads 0. Every `interval` fixed updates the shown value
// moves one step towards the watched one: by at least `step`, by ten times
// more for each decade the remaining distance spans beyond 99 steps, so long
// counts stay short; a step below 1 jumps at once. Each step up or down plays
// its sound when one is set. Drawn through a printf-style format with one
// integer, in the colour the colour and opacity properties give.

#include <string>
#include <string_view>

#include "widgets/dynamic/dynamic_widget.h"

class Font;

class NumericalTextWidget : public DynamicWidget {
public:
    NumericalTextWidget(int x, int y, int justification, std::wstring_view fontName, std::wstring format,
                        int32_t watchedHandle, int step, int interval);

    void Update() override;
    void Draw(Graphics* g) override;
    virtual void FormatValue();

    void SetCountUpSound(int id) { countUpSound_ = id; }
    void SetCountDownSound(int id) { countDownSound_ = id; }
    int GetShownValue() const { return shown_; }
    const std::wstring& GetShownText() const { return shownText_; }
    bool IsChanging() const { return changing_; }

private:
    int countUpSound_ = -1;
    int countDownSound_ = -1;
    std::wstring format_;
    Font* font_ = nullptr;
    int justification_;
    int32_t watched_;
    int shown_;
    int step_;
    int interval_;
    std::wstring shownText_;
    bool changing_ = false;
    int tickCounter_ = 0;
};
