// Cursors, the clipboard and message boxes, headless.
#include <algorithm>
#include <cmath>

#include "window_test_support.h"

namespace {

using namespace testsupport;

using ServicesTest = WindowFixture;

TEST_F(ServicesTest, ClipboardRoundTripsWideTextIncludingCharactersBeyondTheBasicPlane) {
    const std::wstring text = L"Ticket \u20ac5 \U0001F3A1 \"quoted\"\nsecond line";
    if (!system_.SetClipboardText(text)) GTEST_SKIP() << "no clipboard here: " << system_.LastError();
    std::wstring back;
    ASSERT_TRUE(system_.GetClipboardText(&back));
    EXPECT_EQ(text, back);
    ASSERT_TRUE(system_.SetClipboardText(L""));
    ASSERT_TRUE(system_.GetClipboardText(&back));
    EXPECT_EQ(L"", back);
}

TEST_F(ServicesTest, CursorFromPremultipliedPixelsKeepsStraightColoursAndItsHotSpot) {
    // A 4 x 2 image: opaque, transparent, half and quarter alpha.
    const uint32_t pixels[8] = {0xFF102030, 0x00000000, 0x80402010, 0x40201008,
                                0xFFFFFFFF, 0x00FFFFFF, 0x80808080, 0x01010101};
    plat::CursorImage image{pixels, 4, 2, 3, 1, true};
    plat::CursorHandle c = system_.CreateCursor(image);
    ASSERT_NE(0u, c) << system_.LastError();
    std::vector<uint32_t> got;
    int hx = -1, hy = -1;
    ASSERT_TRUE(system_.GetCursorPixels(c, &got, &hx, &hy));
    EXPECT_EQ(3, hx);
    EXPECT_EQ(1, hy);
    ASSERT_EQ(8u, got.size());
    for (int i = 0; i < 8; ++i) {
        const double a = pixels[i] >> 24;
        for (int shift : {16, 8, 0}) {
            const double c8 = (pixels[i] >> shift) & 0xFF;
            const double expected = a == 0 ? 0 : std::min(255.0, std::round(c8 * 255.0 / a));
            EXPECT_NEAR(expected, (got[i] >> shift) & 0xFF, 1.0) << "pixel " << i << " shift " << shift;
        }
        EXPECT_EQ(pixels[i] >> 24, got[i] >> 24);
    }
    // Straight pixels are kept as given.
    plat::CursorHandle straight = system_.CreateCursor({pixels, 4, 2, 0, 0, false});
    ASSERT_TRUE(system_.GetCursorPixels(straight, &got, nullptr, nullptr));
    EXPECT_TRUE(std::equal(got.begin(), got.end(), pixels));

    EXPECT_NE(0u, system_.SetCursor(c));  // the arrow was current before
    EXPECT_EQ(c, system_.GetCursor());
    EXPECT_TRUE(system_.DestroyCursor(c));
    EXPECT_NE(c, system_.GetCursor());  // never left pointing at a freed cursor
    EXPECT_NE(0u, system_.GetCursor());
    EXPECT_FALSE(system_.DestroyCursor(c));
    EXPECT_FALSE(system_.GetCursorPixels(c, &got, nullptr, nullptr));
}

TEST_F(ServicesTest, MalformedCursorImagesAreRefused) {
    const uint32_t pixels[4] = {};
    EXPECT_EQ(0u, system_.CreateCursor({nullptr, 2, 2, 0, 0, false}));
    EXPECT_EQ(0u, system_.CreateCursor({pixels, 0, 2, 0, 0, false}));
    EXPECT_EQ(0u, system_.CreateCursor({pixels, 2, -1, 0, 0, false}));
    EXPECT_EQ(0u, system_.CreateCursor({pixels, 2, 2, 2, 0, false}));
    EXPECT_EQ(0u, system_.CreateCursor({pixels, 2, 2, 0, -1, false}));
    EXPECT_EQ(0u, system_.CreateCursor({pixels, 100000, 1, 0, 0, false}));
    EXPECT_FALSE(system_.LastError().empty());
}

TEST_F(ServicesTest, SystemCursorsAreSharedAndTheShowCounterNests) {
    plat::CursorHandle hand = system_.LoadSystemCursor(plat::SystemCursor::Hand);
    EXPECT_NE(0u, hand);
    EXPECT_EQ(hand, system_.LoadSystemCursor(plat::SystemCursor::Hand));
    EXPECT_NE(hand, system_.LoadSystemCursor(plat::SystemCursor::Wait));
    EXPECT_FALSE(system_.DestroyCursor(hand));
    system_.SetCursor(hand);
    EXPECT_TRUE(system_.IsCursorShown());
    EXPECT_EQ(-1, system_.ShowCursor(false));
    EXPECT_EQ(-2, system_.ShowCursor(false));
    EXPECT_FALSE(system_.IsCursorShown());
    EXPECT_EQ(-1, system_.ShowCursor(true));
    EXPECT_FALSE(system_.IsCursorShown());
    EXPECT_EQ(0, system_.ShowCursor(true));
    EXPECT_TRUE(system_.IsCursorShown());
    system_.SetCursor(0);
    EXPECT_FALSE(system_.IsCursorShown());
    EXPECT_EQ(0u, system_.SetCursor(12345));  // unknown handles change nothing
    EXPECT_EQ(0u, system_.GetCursor());
}

TEST_F(ServicesTest, CaptureFollowsTheWindowAndEndsWithIt) {
    plat::WindowHandle w = MakeWindow();
    EXPECT_EQ(plat::kNoWindow, system_.SetCapture(w));
    EXPECT_EQ(w, system_.GetCapture());
    system_.ReleaseCapture();
    EXPECT_EQ(plat::kNoWindow, system_.GetCapture());
    system_.SetCapture(w);
    system_.DestroyWindow(w);
    EXPECT_EQ(plat::kNoWindow, system_.GetCapture());
}

TEST_F(ServicesTest, HeadlessMessageBoxesPrintAndAnswerTheirDefaultButton) {
    struct Case {
        uint32_t style;
        int answer;
    };
    for (Case c :
         {Case{plat::mb::kOk | plat::mb::kIconError, plat::mb::kIdOk}, Case{plat::mb::kOkCancel, plat::mb::kIdOk},
          Case{plat::mb::kOkCancel | plat::mb::kDefaultButton2, plat::mb::kIdCancel},
          Case{plat::mb::kYesNo, plat::mb::kIdYes}, Case{plat::mb::kYesNo | plat::mb::kDefaultButton2, plat::mb::kIdNo},
          Case{plat::mb::kYesNoCancel | plat::mb::kDefaultButton3, plat::mb::kIdCancel},
          // A default past the last button answers with the last.
          Case{plat::mb::kOk | plat::mb::kDefaultButton3, plat::mb::kIdOk}}) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(c.answer, system_.MessageBox(plat::kNoWindow, L"Please set \u00fc", L"FATAL ERROR", c.style));
        EXPECT_EQ("FATAL ERROR: Please set \xC3\xBC\n", testing::internal::GetCapturedStderr());
    }
}

// A window manager puts a new window's frame where the window asked to be
// and the client area inside it. What is saved from a placed window and
// asked for at the next start must keep the window still, start after start,
// and the saved rectangle must hold the whole window to keep it on screen.
TEST(WindowFrameTest, AWindowReopenedAtItsSavedPlacementStaysWhereItWas) {
    const plat::FrameInsets frame{3, 22, 3, 3};
    plat::WindowRect client{100, 80, 800, 600};
    for (int start = 0; start < 3; ++start) {
        const plat::WindowRect saved = plat::OuterRect(client, frame);
        EXPECT_EQ(806, saved.width);
        EXPECT_EQ(625, saved.height);
        const plat::WindowRect reopened{saved.x + frame.left, saved.y + frame.top, client.width, client.height};
        EXPECT_EQ(client, reopened) << "start " << start;
        client = reopened;
    }
    EXPECT_EQ(client, plat::OuterRect(client, {}));
}

}  // namespace
