#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "foundation/system/diagnostics.h"
#include "test_support.h"

using namespace testsupport;

namespace {

TEST(DiagnosticsTest, ResultCodesGiveTheirTextsAndUnknownCodesTheirHex) {
    EXPECT_EQ(HResultToText(0), "No error occurred.");
    // Unlisted: bare lower-case hexadecimal of the 32-bit pattern, no prefix.
    EXPECT_EQ(HResultToText(static_cast<int32_t>(0x80004001)), "80004001");
    EXPECT_EQ(HResultToText(0x1234abcd), "1234abcd");
    EXPECT_EQ(HResultToText(1), "1");
    // The trailing blank of this one is part of the text.
    EXPECT_EQ(HResultToText(static_cast<int32_t>(0x80070057)),
              "An invalid parameter was passed to the returning function ");
    EXPECT_EQ(HResultToText(static_cast<int32_t>(0x88760868)),
              "The device is lost and cannot be restored at the current time, so rendering is not possible.");
    EXPECT_EQ(HResultToText(static_cast<int32_t>(0x88760826)),
              "The current textures cannot be used simultaneously. This generally occurs when a multitexture device "
              "requires that all palletized textures simultaneously enabled also share the same palette.");
    EXPECT_EQ(HResultToText(static_cast<int32_t>(0x887800AA)), "DSERR_UNINITIALIZED");
    EXPECT_EQ(HResultToText(static_cast<int32_t>(0x80004005)), "DSERR_GENERIC");
}

TEST(DiagnosticsTest, DebugPrintFormatsWideArgumentsToTheDebugChannel) {
    testing::internal::CaptureStderr();
    DebugPrint(L"%ls has %d items at %.1f\n", L"caf\u00e9", 3, 2.5);
    DebugPrint(L"plain\n");
    std::string captured = testing::internal::GetCapturedStderr();
    EXPECT_EQ(captured, "caf\xC3\xA9 has 3 items at 2.5\nplain\n");
}

TEST(DiagnosticsTest, DebugPrintOfLongTextIsNotCutByAFixedBuffer) {
    std::wstring longText(20000, L'x');
    testing::internal::CaptureStderr();
    DebugPrint(L"[%ls]", longText.c_str());
    std::string captured = testing::internal::GetCapturedStderr();
    EXPECT_EQ(captured, "[" + std::string(20000, 'x') + "]");
}

const std::string kDashes(59, '-');

TEST(LeakReportTest, EmptyTableGivesHeaderDashesAndZeroTotal) {
    EXPECT_EQ(FormatLeakReport("Mon Dec  7 07:22:43 2026\n"),
              "Memory Leak Report for Mon Dec  7 07:22:43 2026\n\n" + kDashes + "\nTotal Unfreed: 0 bytes\n\n");
}

TEST(LeakReportTest, TrackedBlocksAreListedAndSummedUntilFreed) {
    int a = 0, b = 0, c = 0;
    TrackAllocation(&a, "widgets\\button.cpp", 42, 1);
    TrackAllocation(&b, "park/grid.cpp", 7, 300);
    TrackAllocation(&c, "gone.cpp", 1, 99);
    UntrackAllocation(&c);
    std::string report = FormatLeakReport("Tue Jan  1 00:00:00 2030\n");
    UntrackAllocation(&a);
    UntrackAllocation(&b);

    // Records follow address order; find each line rather than assume it.
    EXPECT_NE(report.find("widgets\\button.cpp(42) : Leak 1 byte\n"), std::string::npos) << report;
    EXPECT_NE(report.find("park/grid.cpp(7) : Leak 300 bytes\n"), std::string::npos) << report;
    EXPECT_EQ(report.find("gone.cpp"), std::string::npos);
    std::string tail = kDashes + "\nTotal Unfreed: 301 bytes\n\n";
    ASSERT_GE(report.size(), tail.size());
    EXPECT_EQ(report.substr(report.size() - tail.size()), tail);
    EXPECT_EQ(report.rfind("Memory Leak Report for Tue Jan  1 00:00:00 2030\n\n", 0), 0u);
}

TEST(LeakReportTest, LongSourcePathIsNotTruncatedByAFixedLineBuffer) {
    std::string longPath(9000, 'p');
    int block = 0;
    TrackAllocation(&block, longPath.c_str(), 12, 5);
    std::string report = FormatLeakReport("x\n");
    UntrackAllocation(&block);
    EXPECT_NE(report.find(longPath + "(12) : Leak 5 bytes\n"), std::string::npos);
}

TEST(LeakReportTest, WriteReplacesTheFileAndEchoesToTheDebugChannel) {
    TempFolder folder;
    std::string path = folder / "mem_leaks.txt";
    WriteBytes(path, std::string(5000, 'z'));
    testing::internal::CaptureStderr();
    ASSERT_TRUE(WriteLeakReport(path));
    std::string echoed = testing::internal::GetCapturedStderr();
    std::string written = ReadBytes(path);
    EXPECT_EQ(written, echoed);
    EXPECT_EQ(written.find('z'), std::string::npos);
    EXPECT_FALSE(WriteLeakReport(folder / "missing/sub/mem_leaks.txt"));
}

// The real thing: a process that exits leaves nothing in its working
// directory; only a block still tracked is reported, on the debug channel.
TEST(LeakReportDeathTest, ProcessExitReportsOnlyTrackedBlocksAndWritesNoFile) {
    TempFolder folder;
    EXPECT_EXIT(
        {
            if (chdir(folder.Path().c_str()) != 0) std::_Exit(3);
            std::exit(0);
        },
        testing::ExitedWithCode(0), testing::Not(testing::HasSubstr("Memory Leak")));
    static int block = 0;
    EXPECT_EXIT(
        {
            if (chdir(folder.Path().c_str()) != 0) std::_Exit(3);
            TrackAllocation(&block, "kept.cpp", 9, 8);
            std::exit(0);
        },
        testing::ExitedWithCode(0), "Memory Leak Report for .*kept.cpp\\(9\\) : Leak 8 bytes");
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "mem_leaks.txt"));
}

}  // namespace
