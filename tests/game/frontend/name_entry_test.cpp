// The name rule and the name entry over the title screen, typed through the
// widget manager as a new player does.
#include <gtest/gtest.h>

#include "foundation/expression/localization_map.h"
#include "game/frontend/menus/enter_name_menu.h"
#include "game/frontend/menus/name_rule.h"
#include "platform/window/virtual_keys.h"
#include "tests/game/frontend/frontend_test_support.h"
#include "widgets/screens/notice_menu.h"
#include "widgets/screens/title_screen.h"
#include "widgets/tree/widget_host.h"

namespace {

using namespace testsupport;

TEST(NameRule, NamesAreOneToTenCharactersWithoutQuotesBackslashesControlsOrALeadingSpace) {
    EXPECT_TRUE(AllowNameChar(L"", L'A'));
    EXPECT_FALSE(AllowNameChar(L"", L' '));
    EXPECT_TRUE(AllowNameChar(L"A", L' '));
    EXPECT_FALSE(AllowNameChar(L"A", L'\t'));
    EXPECT_FALSE(AllowNameChar(L"A", L'"'));
    EXPECT_FALSE(AllowNameChar(L"A", L'\\'));
    EXPECT_TRUE(AllowNameChar(L"A", L'_'));
    EXPECT_TRUE(AllowNameChar(std::wstring(9, L'x'), L'y'));
    EXPECT_FALSE(AllowNameChar(std::wstring(10, L'x'), L'y'));
}

class NameEntryTest : public FrontendTest {
protected:
    NameEntryTest() {
        title = new TitleScreen(nullptr);
        menus.AddMenu(title);
        entry = new EnterNameMenu(title);
        menus.AddMenu(entry);
    }

    TitleScreen* title;
    EnterNameMenu* entry;
};

TEST_F(NameEntryTest, TheRuleFiltersTypingAndEnterCreatesTheProfileAndClosesTheTitle) {
    EXPECT_EQ(mgr.GetFocus(), entry->GetNameEdit());
    // Enter and OK on an empty field do nothing.
    Press(plat::vk::kReturn);
    ClickOn(entry->GetOkButton());
    EXPECT_TRUE(IsOpen(entry));
    EXPECT_EQ(app.book.FirstEmptySlot(), 0);

    // A full name is said to be full, not just cut.
    LocalizationMap()[L"enter_name_full"] = L"At most %d letters";
    const std::wstring question = entry->Heading();
    Type(L" \"Anna\\ lee-the-long");
    EXPECT_EQ(entry->GetNameEdit()->GetText(), L"Anna lee-t");
    EXPECT_EQ(entry->Heading(), L"At most 10 letters");
    Press(plat::vk::kBack);
    EXPECT_EQ(entry->Heading(), question);
    Type(L"t");
    LocalizationMap().erase(L"enter_name_full");
    Press(plat::vk::kReturn);
    EXPECT_EQ(app.book.names[0], L"Anna lee-t");
    EXPECT_EQ(app.book.selected, 0);
    EXPECT_EQ(startup.titleDone, 1);
    EXPECT_FALSE(IsOpen(entry));
    EXPECT_FALSE(IsOpen(title));
}

TEST_F(NameEntryTest, TheOkButtonAcceptsATypedName) {
    Type(L"Bo");
    ClickOn(entry->GetOkButton());
    EXPECT_EQ(app.book.names[0], L"Bo");
    EXPECT_FALSE(IsOpen(entry));
}

TEST_F(NameEntryTest, WithEverySlotTakenANoticeShowsAndTheEntryStays) {
    app.book.names = {L"A", L"B", L"C", L"D"};
    Type(L"Eve");
    Press(plat::vk::kReturn);
    EXPECT_NE(OpenOf<NoticeMenu>(), nullptr);
    EXPECT_TRUE(IsOpen(entry));
    EXPECT_EQ(entry->GetNameEdit()->GetText(), L"Eve");
    EXPECT_EQ(app.book.selected, -1);
    EXPECT_EQ(startup.titleDone, 0);
}

// A paste is typing by other means: each pasted character is judged against
// the name it joins, and the whole name must still follow the rule.
TEST_F(NameEntryTest, PastingObeysTheNameRuleLikeTyping) {
    auto paste = [this](const wchar_t* text) {
        Service<WidgetHost>::Get().SetClipboardText(text);
        mgr.KeyDown(static_cast<int>(plat::vk::kControl));
        mgr.KeyChar(22);
        mgr.KeyUp(static_cast<int>(plat::vk::kControl));
    };
    EditWidget* edit = entry->GetNameEdit();
    paste(L" Abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(edit->GetText(), L"Abcdefghij");
    edit->SetText(L"", true);
    Type(L"Ann");
    Press(plat::vk::kHome);
    paste(L" ");  // a space in front of the name
    EXPECT_EQ(edit->GetText(), L"Ann");
    Press(plat::vk::kEnd);
    paste(L" Lee\"Smith\\Jones");
    EXPECT_EQ(edit->GetText(), L"Ann LeeSmi");
    Press(plat::vk::kReturn);
    EXPECT_EQ(app.book.names[0], L"Ann LeeSmi");
}

}  // namespace
