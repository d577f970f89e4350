#pragma once
// TextInputWidget: a one-line text field that is a button whose label is the
// text. A click focuses it; typed characters edit the label; Enter publishes
// the text to the widget's animation listener as the signal
// "finished_text_input_<text>". While the field is empty its label shows a
// prompt (idle) or a placeholder text (being edited); either may be a
// localisation key. Publishing an empty field publishes nothing and brings
// the last published text back. The focus goes back to the in-game display,
// when one runs. Main thread only.

#include <string>
#include <string_view>

#include "widgets/controls/button_widget.h"

class TextInputWidget : public ButtonWidget {
public:
    static constexpr int kDefaultMaxLength = 23;

    // A maximum length of 0 or less takes kDefaultMaxLength; an unknown or empty font keeps the button's.
    TextInputWidget(int x, int y, std::wstring_view type, const std::wstring& initialText,
                    const std::wstring& emptyPrompt, bool emptyPromptIsKey, const std::wstring& emptyText,
                    bool emptyTextIsKey, const std::wstring& fontName, int maxLength);

    void MouseUpAt(int x, int y) override;
    void KeyChar(wchar_t c) override;

    virtual void Focus();
    virtual void Unfocus();
    virtual void ShowPlaceholder();
    virtual void FinishInput();

    const std::wstring& GetText() const { return text_; }
    bool IsEmpty() const { return isEmpty_; }
    int GetMaxLength() const { return maxLength_; }

private:
    std::wstring Prompt() const;
    std::wstring EmptyText() const;
    void GiveFocusToDisplay();

    std::wstring text_;
    std::wstring emptyPrompt_;
    std::wstring emptyText_;
    bool emptyPromptIsKey_;
    bool emptyTextIsKey_;
    bool isEmpty_;
    int maxLength_;
};
