// The profile screen: rows added by its script, choosing, naming by typing
// into a row, the delete confirmation, and leaving only with a profile.
#include <gtest/gtest.h>

#include <algorithm>

#include "foundation/files/path_utils.h"
#include "foundation/system/text.h"
#include "game/data/progress/kivra_profile_manager.h"
#include "game/frontend/menus/profile_manager_book.h"
#include "game/frontend/menus/profile_menu.h"
#include "tests/game/frontend/blockable_data_folder.h"
#include "tests/game/frontend/frontend_test_support.h"
#include "tests/platform/temp_folder.h"
#include "widgets/screens/notice_menu.h"

namespace {

using namespace testsupport;

class ProfileMenuTest : public FrontendTest {
protected:
    ProfileMenuTest() {
        LocalizationMap()[L"no_name"] = L"(empty)";
        LocalizationMap()[L"enter_your_name"] = L"Type a name";
        LocalizationMap()[L"delete_text"] = L"Delete %s?";
        std::vector<AnimationStep> steps;
        for (int row = 0; row < 4; ++row) {
            const std::wstring y = std::to_wstring(100 + 40 * row);
            steps.push_back(Step(L"add-button", {{L"type", L"ok"}, {L"id", L"button"}, {L"x", L"300"}, {L"y", y}}));
            steps.push_back(Step(L"add-profile", {{L"type", L"row"}, {L"x", L"10"}, {L"y", y}}));
        }
        Define(L"profile_menu", std::move(steps));
        app.book.names = {L"Ann", L"", L"", L""};
        app.book.selected = 0;
        profiles = new ProfileMenu();
        menus.AddMenu(profiles);
        Updates(2);
    }
    ProfileNameWidget* Row(int i) const { return profiles->NameWidgets()[i]; }

    ProfileMenu* profiles;
};

TEST_F(ProfileMenuTest, RowsShowTheSlotsAndTheirConfirmButtonsStartHidden) {
    ASSERT_EQ(profiles->NameWidgets().size(), 4u);
    ASSERT_EQ(profiles->RowButtons().size(), 4u);
    EXPECT_EQ(Row(0)->GetLabel(), L"Ann");
    EXPECT_EQ(Row(3)->GetLabel(), L"(empty)");
    EXPECT_TRUE(Row(3)->IsPlaceholder());
    for (ButtonWidget* button : profiles->RowButtons()) {
        ASSERT_NE(button, nullptr);
        EXPECT_FALSE(button->IsVisible());
    }
    EXPECT_EQ(profiles->GetSelected(), 0);
    EXPECT_EQ(app.calls.front(), L"load nighttime");
}

TEST_F(ProfileMenuTest, NamingAnEmptyRowByTypingFollowsTheRuleAndEnterCreatesIt) {
    ClickOn(Row(1));
    EXPECT_EQ(profiles->GetSelected(), 1);
    EXPECT_EQ(mgr.GetFocus(), Row(1));
    EXPECT_TRUE(profiles->RowButtons()[1]->IsVisible());
    EXPECT_EQ(Row(1)->GetLabel(), L"Type a name");

    Type(L" Bob");
    EXPECT_EQ(Row(1)->GetLabel(), L"Bob");
    Type(L"\b\b\b");
    EXPECT_TRUE(Row(1)->IsPlaceholder());
    EXPECT_EQ(Row(1)->GetLabel(), L"Type a name");
    Type(L"Bo\"b\\by the great");
    EXPECT_EQ(Row(1)->GetLabel(), L"Bobby the ");
    Type(L"\r");
    EXPECT_EQ(app.book.names[1], L"Bobby the ");
    EXPECT_EQ(app.book.selected, 1);
    EXPECT_EQ(app.GetPlayerName(), L"Bobby the ");
    EXPECT_FALSE(profiles->RowButtons()[1]->IsVisible());
    EXPECT_EQ(mgr.GetFocus(), profiles);
}

TEST_F(ProfileMenuTest, DeletingAsksFirstAndAfterwardsTheScreenCannotBeLeft) {
    // Clicking the chosen row again changes nothing.
    ClickOn(Row(0));
    EXPECT_EQ(profiles->GetSelected(), 0);

    profiles->DoAction(L"delete", L"", 0);
    auto* confirm = OpenOf<ConfirmDeleteMenu>();
    ASSERT_NE(confirm, nullptr);
    EXPECT_EQ(confirm->GetLocalVariable(L"text").ToString(), L"Delete Ann?");
    EXPECT_EQ(app.book.names[0], L"Ann");
    confirm->DoAction(L"ok", L"", 0);
    EXPECT_EQ(app.book.names[0], L"");
    EXPECT_EQ(profiles->GetSelected(), -1);
    EXPECT_TRUE(Row(0)->IsPlaceholder());

    profiles->DoAction(L"main", L"", 0);
    profiles->DoAction(L"delete", L"", 0);
    EXPECT_TRUE(IsOpen(profiles));
    EXPECT_EQ(app.book.saves, 0);
    // Done with no player chosen says why it stays.
    EXPECT_NE(OpenOf<NoticeMenu>(), nullptr);
}

TEST_F(ProfileMenuTest, LeavingWithAChosenProfileSavesAndShowsTheMainMenu) {
    ClickOn(Row(2));
    Type(L"Cy\r");
    profiles->DoAction(L"main", L"", 0);
    EXPECT_EQ(app.book.saves, 1);
    EXPECT_EQ(app.book.selected, 2);
    EXPECT_FALSE(IsOpen(profiles));
    EXPECT_EQ(app.calls.back(), L"main menu");
}

// The game's own profiles, in a folder that can be blocked: "blocked" is a
// file, so nothing can be written beneath it.
class ProfileMenuSaving : public FrontendTest {
protected:
    ProfileMenuSaving() {
        Define(L"profile_menu", {Step(L"add-button", {{L"type", L"ok"}, {L"id", L"button"}, {L"x", L"300"}}),
                                 Step(L"add-profile", {{L"type", L"row"}, {L"x", L"10"}, {L"y", L"0"}})});
        manager_.Load();
        app.gameBook = &book_;
        EXPECT_TRUE(book_.CreateProfile(L"Ann", 0, true));
    }
    void Block(bool blocked) { data_.Block(blocked); }

    testsupport::BlockableDataFolder data_;
    KivraProfileManager manager_;
    ProfileManagerBook book_{&manager_};
};

// Leaving saves the players: a write that failed is told and the screen
// stays for Done to try again; a second failure, told already, goes on
// (a folder that can never be written must not hold the player here).
TEST_F(ProfileMenuSaving, LeavingTellsWhenThePlayersCouldNotBeWritten) {
    for (const bool writableAgain : {true, false}) {
        SCOPED_TRACE(writableAgain);
        auto* profiles = new ProfileMenu();
        menus.AddMenu(profiles);
        Updates(2);
        app.calls.clear();
        Block(true);
        profiles->DoAction(L"main", L"", 0);
        EXPECT_TRUE(IsOpen(profiles));
        auto* notice = OpenOf<NoticeMenu>();
        ASSERT_NE(notice, nullptr);
        EXPECT_EQ(std::count(app.calls.begin(), app.calls.end(), L"main menu"), 0);
        menus.RemoveMenu(notice);

        Block(!writableAgain);
        std::error_code absent;
        std::filesystem::remove(KivraProfileManager::ProfilesPath(), absent);
        profiles->DoAction(L"main", L"", 0);
        EXPECT_FALSE(IsOpen(profiles));
        EXPECT_EQ(OpenOf<NoticeMenu>(), nullptr);
        EXPECT_EQ(app.calls.back(), L"main menu");
        EXPECT_EQ(testsupport::ReadBytes(KivraProfileManager::ProfilesPath()).find(text::ToUtf16LE(L"\"Ann\"")) !=
                      std::string::npos,
                  writableAgain);
    }
}

}  // namespace
