// The menus' profile book over the game's profile manager, as the name entry
// and the profile screen use it.
#include <gtest/gtest.h>

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

}  // namespace
