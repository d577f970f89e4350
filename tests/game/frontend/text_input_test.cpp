// The in-game text field: prompt, placeholder, typing limits and publishing.
#include <gtest/gtest.h>

#include "game/frontend/menus/in_game_display.h"
#include "game/frontend/menus/text_input_widget.h"
#include "tests/game/frontend/frontend_test_support.h"

namespace {

using namespace testsupport;

class Signals : public AnimationListener {
public:
    void AnimationSignal(int, std::wstring_view signal) override { received.emplace_back(signal); }
    std::vector<std::wstring> received;
};

class DisplayDouble : public InGameDisplay {
public:
    Widget* FocusTarget() override { return target; }
    void ExitToMenu(Menu* next) override { exits.push_back(next); }
    Widget* target = nullptr;
    std::vector<Menu*> exits;
};

class TextInputTest : public FrontendTest {
protected:
    TextInputTest() {
        LocalizationMap()[L"park_prompt"] = L"Name your park";
        display.target = new Widget();
        mgr.AddWidget(display.target);
        app.display = &display;
        field = new TextInputWidget(10, 10, L"row", L"", L"park_prompt", true, L"type here", false, L"", 0);
        mgr.AddWidget(field);
        signals.Watch(field);
    }
    void Key(wchar_t c) { mgr.KeyChar(c); }

    DisplayDouble display;
    TextInputWidget* field;
    Signals signals;
};

TEST_F(TextInputTest, AClickFocusesAndTypingReplacesThePlaceholderButNotWithASpace) {
    EXPECT_EQ(field->GetLabel(), L"Name your park");
    EXPECT_EQ(field->GetMaxLength(), TextInputWidget::kDefaultMaxLength);
    ClickOn(field);
    EXPECT_EQ(mgr.GetFocus(), field);
    EXPECT_EQ(field->GetLabel(), L"type here");
    Type(L" Sea\"side");
    EXPECT_EQ(field->GetLabel(), L"Seaside");
    Type(std::wstring(30, L'x'));
    EXPECT_EQ(field->GetLabel().size(), 23u);
}

TEST_F(TextInputTest, EnterOnAnEmptyFieldPublishesNothingAndBackspaceBringsThePlaceholder) {
    ClickOn(field);
    Key(L'a');
    Key(8);
    EXPECT_TRUE(field->IsEmpty());
    EXPECT_EQ(field->GetLabel(), L"type here");
    Key(13);
    EXPECT_TRUE(signals.received.empty());
    EXPECT_EQ(mgr.GetFocus(), display.target);
}

TEST_F(TextInputTest, EnterPublishesTheWholeTextUnderscoresIncludedAndAnEmptyEditKeepsIt) {
    ClickOn(field);
    Type(L"my_big_park");
    Key(13);
    ASSERT_EQ(signals.received.size(), 1u);
    EXPECT_EQ(signals.received[0], L"finished_text_input_my_big_park");
    EXPECT_EQ(field->GetText(), L"my_big_park");
    EXPECT_EQ(mgr.GetFocus(), display.target);

    // Emptying the field and publishing brings the last text back, unsent.
    ClickOn(field);
    for (int i = 0; i < 11; ++i) Key(8);
    Key(13);
    EXPECT_EQ(signals.received.size(), 1u);
    EXPECT_EQ(field->GetLabel(), L"my_big_park");
}

}  // namespace
