// The menus' profile book over the game's profile manager, as the name entry
// and the profile screen use it.
#include <gtest/gtest.h>

#include "foundation/system/text.h"
#include "game/frontend/menus/frontend_host.h"
#include "game/frontend/menus/profile_manager_book.h"
#include "tests/game/data/profile_test_support.h"

namespace {

using ProfileManagerBookTest = testsupport::ProfileTest;

TEST_F(ProfileManagerBookTest, TheFallbackHostReachesTheLoadedManagerAndAFifthProfileIsRefused) {
    NullFrontendHost host;
    EXPECT_EQ(host.GetProfiles(), nullptr);
    KivraProfileManager manager;
    manager.Load();
    ProfileBook* book = host.GetProfiles();
    ASSERT_NE(book, nullptr);

    for (const wchar_t* name : {L"Ann", L"Bob", L"Cy", L"Dee"}) EXPECT_TRUE(book->CreateProfile(name, -1, true));
    EXPECT_EQ(book->GetSelectedSlot(), 3);
    EXPECT_EQ(book->FirstEmptySlot(), -1);
    EXPECT_FALSE(book->CreateProfile(L"Eve", -1, true));
    EXPECT_EQ(book->GetSelectedSlot(), 3);

    book->DeleteProfile(1);
    EXPECT_EQ(book->FirstEmptySlot(), 1);
    book->ChooseProfile(L"Eve", 1);
    EXPECT_EQ(book->GetProfileName(1), L"Eve");
    EXPECT_EQ(book->GetSelectedSlot(), 1);
}

// What a killed process leaves: the file on disk right after each change
// is the whole of the manager's state at that moment.
TEST_F(ProfileManagerBookTest, EveryCreatedChosenOrDeletedProfileIsOnDiskAtOnce) {
    KivraProfileManager manager;
    manager.Load();
    ProfileManagerBook book(&manager);
    const std::string path = KivraProfileManager::ProfilesPath();
    const auto saved = [&] {
        return testsupport::ReadBytes(path) == "\xFF\xFE" + text::ToUtf16LE(manager.ProfilesText());
    };
    ASSERT_TRUE(book.CreateProfile(L"Ann", -1, true));
    EXPECT_TRUE(saved());
    EXPECT_NE(manager.ProfilesText().find(L"\"Ann\""), std::wstring::npos);
    ASSERT_TRUE(book.CreateProfile(L"Bob", -1, false));
    EXPECT_TRUE(saved());
    book.ChooseProfile(L"Bob", 1);
    EXPECT_TRUE(saved());
    book.ChooseProfile(L"Cy", 2);
    EXPECT_TRUE(saved());
    book.DeleteProfile(0);
    EXPECT_TRUE(saved());
    EXPECT_EQ(manager.ProfilesText().find(L"\"Ann\""), std::wstring::npos);
    // A refused profile changes nothing, and writes nothing either.
    const std::string before = testsupport::ReadBytes(path);
    EXPECT_FALSE(book.CreateProfile(L"", -1, true));
    EXPECT_EQ(testsupport::ReadBytes(path), before);

    // A manager that never read the file leaves it alone.
    KivraProfileManager unread;
    ProfileManagerBook other(&unread);
    EXPECT_TRUE(other.CreateProfile(L"Zed", -1, true));
    EXPECT_EQ(testsupport::ReadBytes(path), before);
}

}  // namespace
