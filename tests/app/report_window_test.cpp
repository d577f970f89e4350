// The "Fatal Error!" window's fixed layout and the pane that shows a report
// of any length in it, without a display (the real window's own test is
// tests/platform/dialog_window_x11_test.cpp).
#include <array>

#include "app/crash/report_dialogs.h"

namespace {

// A report far taller and wider than its pane, ending in a line to look for.
std::string LongCrashReport() {
    std::string report;
    for (int i = 0; i < 120; ++i)
        report += "00401000 0012FF80 0001:00000" + std::to_string(i) + " halvaro_module_with_a_long_name.so\r\n";
    // A symbol wider than the pane is cut, not lost past its edge.
    report += "VornAppBase::ApplyCommandLineOption(std::__cxx11::basic_string<char, std::char_traits<char>>)+1062\r\n";
    return report + "Flags:00000246 END";
}

TEST(ReportWindow, FixedWindowWithTheButtonRowAndEveryLineReachable) {
    const plat::DialogLayout one = ReportWindowLayout("header", LongCrashReport(), {"Close Now"});
    EXPECT_EQ("Fatal Error!", one.title);
    EXPECT_EQ((std::array{64, 64, 400, 300}), (std::array{one.x, one.y, one.width, one.height}));
    ASSERT_EQ(1u, one.buttons.size());
    EXPECT_EQ((std::array{8, 268, 384, 24}), (std::array{one.buttons[0].rect.x, one.buttons[0].rect.y,
                                                         one.buttons[0].rect.width, one.buttons[0].rect.height}));
    const plat::DialogLayout two = ReportWindowLayout("header", "", {"Send Report", "Close Now"});
    ASSERT_EQ(2u, two.buttons.size());
    EXPECT_EQ(188, two.buttons[0].rect.width);
    EXPECT_EQ(204, two.buttons[1].rect.x);
    EXPECT_EQ(two.width - 8, two.buttons[1].rect.x + two.buttons[1].rect.width);

    // Six pixels a character: the pane's lines hold every character of the
    // report, none wider than the pane beside its bar, and the last is reachable.
    plat::TextPane pane([](std::wstring_view t) { return 6 * static_cast<int>(t.size()); }, one.editRect.width,
                        one.editRect.height, 13);
    const std::wstring text(one.editText.begin(), one.editText.end());
    pane.SetText(text);
    ASSERT_TRUE(pane.Scrolls());
    size_t covered = 0;
    for (const plat::TextLine& line : pane.Lines()) {
        EXPECT_LE(6 * static_cast<int>(line.length), one.editRect.width - 4 - plat::TextPane::kScrollBarWidth);
        covered += line.length;
    }
    EXPECT_EQ(text.size() - 121, covered) << "every character but the 121 line breaks";
    pane.ScrollToEnd();
    EXPECT_EQ(pane.Lines().size(), static_cast<size_t>(pane.FirstLine() + pane.VisibleLines()));
    EXPECT_LT(pane.ScrollThumb().top + pane.ScrollThumb().height, one.editRect.height);
    // A drag from the last line's start to beyond the text selects that line.
    const int lastRow = pane.VisibleLines() - 1;
    pane.SelectFrom(pane.OffsetAt(2, 2 + lastRow * 13 + 5));
    pane.SelectTo(pane.OffsetAt(one.editRect.width, one.editRect.height + 40));
    EXPECT_EQ(L"Flags:00000246 END", pane.Selected());
}

}  // namespace
