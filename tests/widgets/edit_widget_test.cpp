// The edit field as a player uses it: clicking into it, typing, selecting
// with Shift and the mouse, copying, cutting, pasting, undoing, hitting the
// limits, and a listener refusing characters and texts.
#include <gtest/gtest.h>

#include <cwctype>
#include <string>

#include "platform/window/virtual_keys.h"
#include "rendering/draw/graphics.h"
#include "tests/widgets/controls_test_support.h"
#include "tests/widgets/widget_test_support.h"
#include "widgets/controls/edit_widget.h"

namespace {

using namespace testsupport;

class Filter : public EditListener {
public:
    void EditWidgetText(int, const std::wstring& text) override { entered = text; }
    bool AllowKey(int, wchar_t c) override { return c != refusedChar; }
    bool AllowText(int, const std::wstring& text) override { return text != refusedText; }
    void EditWidgetRemoved(int id) override { removed = id; }

    wchar_t refusedChar = 0;
    std::wstring refusedText = L"-";
    std::wstring entered;
    int removed = 0;
};

class EditTest : public ManagerTest {
protected:
    EditTest() {
        edit = new EditWidget(&filter);
        edit->SetFont(&font, false);
        edit->Resize(10, 10, 200, 30);
        mgr.AddWidget(edit);
        // The player clicks into the field, which takes the focus.
        mgr.WindowMouseMove(20, 20);
        mgr.WindowMouseDown(20, 20, 1);
        mgr.WindowMouseUp(20, 20, 1);
    }
    ~EditTest() override { mgr.RemoveAllWidgets(true, false); }

    void Type(const std::wstring& text) {
        for (wchar_t c : text) {
            mgr.KeyDown(static_cast<int>(std::towupper(c)));
            mgr.KeyChar(c);
            mgr.KeyUp(static_cast<int>(std::towupper(c)));
        }
    }
    void Press(uint32_t key) {
        mgr.KeyDown(static_cast<int>(key));
        mgr.KeyUp(static_cast<int>(key));
    }
    // Ctrl with a letter types its control character (C 3, V 22, X 24, Z 26).
    void Ctrl(wchar_t letter) {
        mgr.KeyDown(static_cast<int>(plat::vk::kControl));
        mgr.KeyDown(letter);
        mgr.KeyChar(static_cast<wchar_t>(letter - L'A' + 1));
        mgr.KeyUp(letter);
        mgr.KeyUp(static_cast<int>(plat::vk::kControl));
    }
    void ShiftPress(uint32_t key, int times = 1) {
        mgr.KeyDown(static_cast<int>(plat::vk::kShift));
        for (int i = 0; i < times; ++i) Press(key);
        mgr.KeyUp(static_cast<int>(plat::vk::kShift));
    }
    std::wstring Clipboard() { return host.GetClipboardText(); }

    Filter filter;
    FixedFont font{10, 5};
    EditWidget* edit = nullptr;
};

TEST_F(EditTest, ClickingGivesFocusAndTypedTextGoesIn) {
    EXPECT_TRUE(edit->HasFocus());
    EXPECT_TRUE(edit->IsCaretVisible());
    Type(L"Hello");
    EXPECT_EQ(edit->GetText(), L"Hello");
    EXPECT_EQ(edit->GetCursor(), 5);
    Press(plat::vk::kReturn);
    EXPECT_EQ(filter.entered, L"Hello");
    Press(plat::vk::kHome);
    Type(L"Oh ");
    EXPECT_EQ(edit->GetText(), L"Oh Hello");
    Press(plat::vk::kEnd);
    EXPECT_EQ(edit->GetCursor(), 8);
}

TEST_F(EditTest, OneUndoStepCoversARunOfTypingAndOneOfDeleting) {
    Type(L"ab");
    Press(plat::vk::kLeft);
    Press(plat::vk::kLeft);
    Type(L"xyz");  // a new run: the cursor moved away from the last edit
    EXPECT_EQ(edit->GetText(), L"xyzab");
    Ctrl(L'Z');
    EXPECT_EQ(edit->GetText(), L"ab");
    EXPECT_EQ(edit->GetCursor(), 0);
    Ctrl(L'Z');  // undoing the undo brings the run back
    EXPECT_EQ(edit->GetText(), L"xyzab");

    Press(plat::vk::kEnd);
    Press(plat::vk::kBack);
    Press(plat::vk::kBack);
    Press(plat::vk::kBack);
    EXPECT_EQ(edit->GetText(), L"xy");
    Ctrl(L'Z');
    EXPECT_EQ(edit->GetText(), L"xyzab");
}

TEST_F(EditTest, BackspaceAtTheStartChangesNothing) {
    Type(L"ab");
    Press(plat::vk::kHome);
    Press(plat::vk::kBack);
    EXPECT_EQ(edit->GetText(), L"ab");
    EXPECT_EQ(edit->GetCursor(), 0);
    Press(plat::vk::kDelete);
    EXPECT_EQ(edit->GetText(), L"b");
    Press(plat::vk::kLeft);  // stays at the start
    EXPECT_EQ(edit->GetCursor(), 0);
}

TEST_F(EditTest, ShiftSelectsAndCutCopyPasteGoThroughTheClipboard) {
    Type(L"one two");
    ShiftPress(plat::vk::kLeft, 3);
    EXPECT_EQ(edit->GetAnchor(), 7);
    EXPECT_EQ(edit->GetCursor(), 4);
    Ctrl(L'C');
    EXPECT_EQ(Clipboard(), L"two");
    EXPECT_EQ(edit->GetAnchor(), 7);  // copying keeps the selection
    Ctrl(L'X');
    EXPECT_EQ(edit->GetText(), L"one ");
    EXPECT_EQ(edit->GetAnchor(), -1);
    Press(plat::vk::kHome);
    Ctrl(L'V');
    EXPECT_EQ(edit->GetText(), L"twoone ");
    EXPECT_EQ(edit->GetCursor(), 3);
    // A pasted line break ends what is pasted.
    host.SetClipboardText(L"hi\r\nthere");
    Ctrl(L'V');
    EXPECT_EQ(edit->GetText(), L"twohione ");
}

TEST_F(EditTest, PasswordFieldCopiesItsMaskNotTheText) {
    edit->SetPasswordChar(L'*');
    Type(L"secret");
    EXPECT_EQ(edit->GetDisplayText(), L"******");
    ShiftPress(plat::vk::kLeft, 3);
    Ctrl(L'C');
    EXPECT_EQ(Clipboard(), L"***");
    EXPECT_EQ(edit->GetText(), L"secret");
}

TEST_F(EditTest, SetTextSelectsAllAndTheNextCharacterReplacesIt) {
    edit->SetText(L"old name", true);
    EXPECT_EQ(edit->GetAnchor(), 0);
    EXPECT_EQ(edit->GetCursor(), 8);
    Type(L"N");
    EXPECT_EQ(edit->GetText(), L"N");
    Ctrl(L'Z');
    EXPECT_EQ(edit->GetText(), L"old name");
}

TEST_F(EditTest, LimitsCutWhatDoesNotFit) {
    edit->SetMaxChars(5);
    Type(L"abcde");
    Type(L"f");
    EXPECT_EQ(edit->GetText(), L"abcde");
    EXPECT_EQ(edit->GetCursor(), 5);
    edit->SetText(L"", true);
    edit->SetMaxChars(-1);
    edit->SetMaxPixels(35);  // three 10-pixel characters
    Type(L"abcdef");
    EXPECT_EQ(edit->GetText(), L"abc");
    // A limit font of its own limit: characters 20 pixels wide in 50 pixels.
    FixedFont wide(20, 20);
    edit->AddLimitFont(&wide, 50);
    edit->SetText(L"", true);
    Type(L"abcdef");
    EXPECT_EQ(edit->GetText(), L"ab");
}

TEST_F(EditTest, ListenerRefusalsRestoreTextCaretAndSelection) {
    Type(L"abc");
    ShiftPress(plat::vk::kLeft, 2);
    filter.refusedChar = L'q';
    Type(L"q");
    EXPECT_EQ(edit->GetText(), L"abc");
    EXPECT_EQ(edit->GetAnchor(), 3);  // a refused character keeps the selection
    EXPECT_EQ(edit->GetCursor(), 1);
    filter.refusedText = L"a-";
    Type(L"-");
    EXPECT_EQ(edit->GetText(), L"abc");
    EXPECT_EQ(edit->GetAnchor(), 3);
    EXPECT_EQ(edit->GetCursor(), 1);
    Type(L"+");
    EXPECT_EQ(edit->GetText(), L"a+");
}

TEST_F(EditTest, MouseSelectsByCharacterAndADoubleClickByWord) {
    Type(L"ab cd_ef gh");
    // Characters are 10 wide, spaces 5; a click lands after a character past its middle + 5.
    mgr.WindowMouseMove(10 + 21, 20);
    mgr.WindowMouseDown(10 + 21, 20, 1);
    EXPECT_EQ(edit->GetCursor(), 2);
    mgr.WindowMouseMove(10 + 40, 20);  // dragging selects
    EXPECT_EQ(edit->GetAnchor(), 2);
    EXPECT_EQ(edit->GetCursor(), 4);
    mgr.WindowMouseUp(10 + 40, 20, 1);
    mgr.WindowMouseDown(10 + 40, 20, 1);
    mgr.WindowMouseUp(10 + 40, 20, 1);
    mgr.WindowMouseDown(10 + 40, 20, 2);
    mgr.WindowMouseUp(10 + 40, 20, 2);
    EXPECT_EQ(edit->GetAnchor(), 3);  // "cd_ef"
    EXPECT_EQ(edit->GetCursor(), 8);
    // Ctrl+Right goes to the start of the next word.
    Press(plat::vk::kHome);
    mgr.KeyDown(static_cast<int>(plat::vk::kControl));
    Press(plat::vk::kRight);
    mgr.KeyUp(static_cast<int>(plat::vk::kControl));
    EXPECT_EQ(edit->GetCursor(), 3);
}

TEST_F(EditTest, CaretBlinksEvery41UpdatesWhileFocused) {
    ASSERT_TRUE(edit->IsCaretVisible());
    for (int i = 0; i < 40; ++i) edit->Update();
    EXPECT_TRUE(edit->IsCaretVisible());
    edit->Update();
    EXPECT_FALSE(edit->IsCaretVisible());
    for (int i = 0; i < 41; ++i) edit->Update();
    EXPECT_TRUE(edit->IsCaretVisible());
    mgr.SetFocus(nullptr);
    EXPECT_FALSE(edit->IsCaretVisible());
    for (int i = 0; i < 100; ++i) edit->Update();
    EXPECT_FALSE(edit->IsCaretVisible());
}

TEST_F(EditTest, DrawsTheVisibleTextAndTheSelectionAgainInItsColour) {
    Type(L"abcd");
    ShiftPress(plat::vk::kLeft, 2);
    RecordingTarget target(400, 100);
    {
        Graphics g(&target);
        edit->Draw(&g);
    }
    // The copy of the font the field holds records the draws.
    auto* own = dynamic_cast<FixedFont*>(edit->GetFont());
    ASSERT_NE(own, nullptr);
    ASSERT_EQ(own->drawn.size(), 2u);
    EXPECT_EQ(own->drawn[0].text, L"abcd");
    EXPECT_EQ(own->drawn[0].x, 4.0f);
    EXPECT_EQ(own->drawn[0].y, 5.0f + 16.0f);  // (30 - 20) / 2 + ascent
    EXPECT_EQ(own->drawn[0].color, Color::FromRGB(0, 0, 0));
    EXPECT_EQ(own->drawn[1].color, Color::FromRGB(255, 255, 255));
    // The second pass is clipped to the selection: characters 2 and 3.
    EXPECT_EQ(own->drawn[1].clip.x, 4 + 20.0f);
    EXPECT_EQ(own->drawn[1].clip.w, 20.0f);
}

TEST_F(EditTest, RemovalIsReported) {
    const int id = edit->GetId();
    edit->RemoveSelf();
    EXPECT_EQ(filter.removed, id);
}

// The listener judges each pasted character against the text it joins, as
// if typed, so a rule on the length holds for a paste too.
TEST_F(EditTest, PastedCharactersAreJudgedAgainstTheTextTheyJoin) {
    struct LengthRule : EditListener {
        bool AllowKey(int, wchar_t) override { return field->GetText().size() < 4; }
        EditWidget* field = nullptr;
    } rule;
    rule.field = new EditWidget(&rule);
    rule.field->SetFont(&font, false);
    mgr.AddWidget(rule.field);
    mgr.SetFocus(rule.field);
    host.SetClipboardText(L"abcdefgh");
    Ctrl(L'V');
    EXPECT_EQ(rule.field->GetText(), L"abcd");
    rule.field->RemoveSelf();  // before the rule goes
    // A field's own limit stops a paste as well, and so does setting the text.
    mgr.SetFocus(edit);
    edit->SetMaxChars(3);
    Ctrl(L'V');
    EXPECT_EQ(edit->GetText(), L"abc");
    edit->SetText(L"wxyz", true);
    EXPECT_EQ(edit->GetText(), L"wxy");
}

// A font that counts what it measures.
class CountingFont : public FixedFont {
public:
    using FixedFont::FixedFont;
    float StringWidth(const std::wstring& text) override {
        measured += text.size();
        return FixedFont::StringWidth(text);
    }
    Font* Duplicate() const override { return new CountingFont(*this); }
    size_t measured = 0;
};

// A long paste into a field with only a pixel limit is cut by halving, not
// one character at a time with the whole text measured each time.
TEST_F(EditTest, ALongPasteIntoAPixelLimitedFieldIsMeasuredFewTimes) {
    CountingFont counting(10, 5);
    auto* limited = new EditWidget(nullptr);
    limited->SetFont(&counting, false);
    limited->Resize(10, 50, 200, 30);
    limited->SetMaxPixels(95);
    mgr.AddWidget(limited);
    mgr.SetFocus(limited);
    auto* font = dynamic_cast<CountingFont*>(limited->GetFont());
    ASSERT_NE(font, nullptr);
    const size_t length = 20000;
    host.SetClipboardText(std::wstring(length, L'm'));
    Ctrl(L'V');
    EXPECT_EQ(limited->GetText(), std::wstring(9, L'm'));
    // Each halving measures at most the whole paste once: about 15 of them.
    EXPECT_LT(font->measured, 40 * length);
}

}  // namespace
