// settings.xml: the exact text, round trips through the reader, damaged files,
// whole percentages, unwritable track names, a save killed at random
// moments, and the run's mark saved in the background.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "app/settings/settings_file.h"
#include "app/settings/settings_store.h"
#include "foundation/files/xml_parser.h"
#include "foundation/system/text.h"
#include "platform/system/file_system.h"
#include "tests/platform/temp_folder.h"

namespace {

using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

std::wstring Build(const AppSettings& settings) {
    std::set<std::wstring> reported;
    return BuildSettingsAttributes(settings, reported, nullptr);
}

bool Load(const std::string& path, AppSettings& settings) {
    return ReadSettingsFile(path, [&](const XMLElement& element) { ApplySettingsElement(element, settings, {}); });
}

TEST(SettingsFile, WritesTheExactTextAsUtf16WithByteOrderMark) {
    TempFolder dir;
    AppSettings settings;
    settings.trackVolumes[L"intro"] = 0.5;
    settings.trackVolumes[L"ambient"] = 1.0;
    ASSERT_TRUE(WriteSettingsFile(dir / "settings.xml", Build(settings)));
    std::wstring expected =
        L"<settings version=\"0\" sfx=\"85\" mouse-speed=\"0\" \nvol-ambient=\"100\" "
        L"vol-intro=\"50\" \nwindowed=\"1\" stretch-screen=\"0\" preferred-x=\"-1\" "
        L"preferred-y=\"-1\" \nwait-for-vsync=\"0\" in-progress=\"0\" custom-cursors=\"0\"/>\n";
    EXPECT_EQ(ReadBytes(dir / "settings.xml"), "\xFF\xFE" + text::ToUtf16LE(expected));
}

TEST(SettingsFile, EveryValueSurvivesARoundTrip) {
    TempFolder dir;
    AppSettings written;
    written.version = 7;
    written.sfxVolume = 0.57;
    written.mouseSpeed = 14;
    written.trackVolumes = {{L"a.b-c", 0.58}, {L"menu_theme", 0.0}, {L"9lives", 1.0}};
    written.windowed = false;
    written.stretchScreen = true;
    written.preferredX = 120;
    written.preferredY = -30;
    written.waitForVsync = true;
    written.inProgress = true;
    written.customCursors = true;
    ASSERT_TRUE(WriteSettingsFile(dir / "settings.xml", Build(written)));

    AppSettings read;
    std::map<std::wstring, double> applied;
    bool cursors = false;
    SettingsSinks sinks{[&](const std::wstring& n, double v) { applied[n] = v; }, [&](bool on) { cursors = on; }};
    ASSERT_TRUE(ReadSettingsFile(dir / "settings.xml",
                                 [&](const XMLElement& element) { ApplySettingsElement(element, read, sinks); }));
    EXPECT_EQ(read.version, 7);
    EXPECT_EQ(VolumeToPercent(read.sfxVolume), 57);
    EXPECT_EQ(read.mouseSpeed, 14);
    EXPECT_FALSE(read.windowed);
    EXPECT_TRUE(read.stretchScreen);
    EXPECT_EQ(read.preferredX, 120);
    EXPECT_EQ(read.preferredY, -30);
    EXPECT_TRUE(read.waitForVsync);
    EXPECT_TRUE(read.inProgress);
    EXPECT_TRUE(read.customCursors);
    EXPECT_TRUE(cursors);
    ASSERT_EQ(applied.size(), written.trackVolumes.size());
    for (const auto& [name, volume] : written.trackVolumes) {
        EXPECT_EQ(VolumeToPercent(read.trackVolumes[name]), VolumeToPercent(volume)) << name;
        EXPECT_EQ(applied[name], read.trackVolumes[name]) << name;
    }
}

TEST(SettingsFile, EveryWholePercentSurvivesRepeatedSaves) {
    for (int percent = 0; percent <= 100; ++percent) {
        double volume = PercentToVolume(percent);
        for (int save = 0; save < 3; ++save) volume = PercentToVolume(VolumeToPercent(volume));
        EXPECT_EQ(VolumeToPercent(volume), percent);
    }
    EXPECT_EQ(VolumeToPercent(0.855), 85);
    EXPECT_EQ(VolumeToPercent(0.999), 99);
}

TEST(SettingsFile, ValuesOutOfTheirRangeAreClampedWhenRead) {
    TempFolder dir;
    struct Case {
        const char* attributes;
        int sfx, music, mouseSpeed;
    };
    for (const Case& c : {Case{"sfx=\"-57\" vol-music=\"-1\" mouse-speed=\"-2147483648\"", 0, 0, 0},
                          Case{"sfx=\"250\" vol-music=\"2147483647\" mouse-speed=\"2147483647\"", 100, 100, 20},
                          Case{"sfx=\"0\" vol-music=\"100\" mouse-speed=\"1\"", 0, 100, 1}}) {
        WriteBytes(dir / "s.xml", std::string("<settings ") + c.attributes + "/>\n");
        AppSettings read;
        double applied = -1;
        SettingsSinks sinks{[&](const std::wstring&, double v) { applied = v; }, nullptr};
        ASSERT_TRUE(
            ReadSettingsFile(dir / "s.xml", [&](const XMLElement& e) { ApplySettingsElement(e, read, sinks); }));
        EXPECT_EQ(VolumeToPercent(read.sfxVolume), c.sfx) << c.attributes;
        EXPECT_EQ(VolumeToPercent(read.trackVolumes[L"music"]), c.music) << c.attributes;
        EXPECT_EQ(applied, read.trackVolumes[L"music"]) << c.attributes;
        EXPECT_EQ(read.mouseSpeed, c.mouseSpeed) << c.attributes;
        // What was read is saved as read, and reads back the same: nothing creeps.
        ASSERT_TRUE(WriteSettingsFile(dir / "s.xml", Build(read)));
        AppSettings again;
        ASSERT_TRUE(Load(dir / "s.xml", again));
        EXPECT_EQ(Build(again), Build(read)) << c.attributes;
    }
}

TEST(SettingsFile, BooleansReadAsDigitsOrWords) {
    TempFolder dir;
    WriteBytes(dir / "s.xml",
               "<settings windowed=\"false\" stretch-screen=\"true\" wait-for-vsync=\"yes\" "
               "custom-cursors=\"1\"/>\n");
    AppSettings read;
    read.waitForVsync = true;
    ASSERT_TRUE(Load(dir / "s.xml", read));
    EXPECT_FALSE(read.windowed);
    EXPECT_TRUE(read.stretchScreen);
    EXPECT_FALSE(read.waitForVsync);
    EXPECT_TRUE(read.customCursors);
}

TEST(SettingsFile, DamagedOrMissingFilesChangeNothing) {
    TempFolder dir;
    const AppSettings defaults;
    std::wstring good = Build(defaults);
    for (std::string damaged : {std::string("<settings version=\"3\" sfx=\"10\" windowed=\"0\""),  // cut short
                                std::string("<settings version=\"3\" sfx=\"10\"/>\n<<"),           // garbage after
                                std::string("\xFF\xFE<\0s\0", 6), std::string()}) {
        WriteBytes(dir / "settings.xml", damaged);
        AppSettings read;
        EXPECT_FALSE(Load(dir / "settings.xml", read)) << damaged;
        EXPECT_EQ(Build(read), good) << damaged;
    }
    AppSettings read;
    EXPECT_FALSE(Load(dir / "absent.xml", read));
    EXPECT_EQ(Build(read), good);
}

TEST(SettingsFile, UnwritableTrackNamesAreSkippedAndReportedOnce) {
    AppSettings settings;
    settings.trackVolumes = {{L"ok", 0.3}, {L"two words", 0.4}, {L"q\"x", 0.5}, {L"", 0.6}};
    std::set<std::wstring> reported;
    std::vector<std::wstring> messages;
    auto report = [&](std::wstring_view m) { messages.emplace_back(m); };
    std::wstring first = BuildSettingsAttributes(settings, reported, report);
    std::wstring second = BuildSettingsAttributes(settings, reported, report);
    EXPECT_EQ(first, second);
    EXPECT_EQ(messages.size(), 3u);
    EXPECT_NE(first.find(L"vol-ok=\"30\""), std::wstring::npos);
    EXPECT_EQ(first.find(L"vol-two"), std::wstring::npos);

    TempFolder dir;
    ASSERT_TRUE(WriteSettingsFile(dir / "settings.xml", first));
    AppSettings read;
    ASSERT_TRUE(Load(dir / "settings.xml", read));
    EXPECT_EQ(read.trackVolumes.size(), 1u);
}

TEST(SettingsFile, FailedSaveKeepsTheOldFile) {
    TempFolder dir;
    AppSettings settings;
    settings.version = 1;
    ASSERT_TRUE(WriteSettingsFile(dir / "settings.xml", Build(settings)));
    const std::string before = ReadBytes(dir / "settings.xml");
    // A folder where the file should go cannot be replaced by a rename.
    std::filesystem::create_directories(dir.Path() / "blocked" / "settings.xml" / "x");
    settings.version = 2;
    EXPECT_FALSE(WriteSettingsFile(dir / "blocked/settings.xml", Build(settings)));
    ::chmod(dir.Path().c_str(), 0500);
    bool written = WriteSettingsFile(dir / "settings.xml", Build(settings));
    ::chmod(dir.Path().c_str(), 0700);
    if (::geteuid() != 0) {  // root writes through the permission bits
        EXPECT_FALSE(written);
        EXPECT_EQ(ReadBytes(dir / "settings.xml"), before);
    }
}

// A child saves two alternating value sets as fast as it can and is killed at
// a random moment; the file must always parse and hold one set whole.
TEST(SettingsFile, SaveKilledAtRandomMomentsLeavesOldOrNewFile) {
    TempFolder dir;
    const std::string path = dir / "settings.xml";
    AppSettings a;
    a.version = 1;
    a.sfxVolume = 0.1;
    a.trackVolumes[L"song"] = 0.2;
    AppSettings b = a;
    b.version = 2;
    b.sfxVolume = 0.9;
    b.windowed = false;
    b.trackVolumes[L"song"] = 0.8;
    for (int i = 0; i < 40; ++i) b.trackVolumes[L"extra" + std::to_wstring(i)] = i / 100.0;
    const std::wstring textA = Build(a), textB = Build(b);
    ASSERT_TRUE(WriteSettingsFile(path, textA));

    std::mt19937 random(12345);
    std::uniform_int_distribution<int> delayMicros(0, 3000);
    for (int trial = 0; trial < 200; ++trial) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int n = 0;; ++n) WriteSettingsFile(path, n % 2 ? textA : textB);
        }
        ::usleep(static_cast<useconds_t>(delayMicros(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);

        AppSettings read;
        read.version = -1;
        ASSERT_TRUE(Load(path, read)) << "trial " << trial;
        std::wstring got = Build(read);
        ASSERT_TRUE(got == textA || got == textB) << "trial " << trial;
    }
    // The killed writers' temporary files go at the next start; only the file stays.
    plat::RemoveStaleReplaceTemps(path);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) left.push_back(entry.path().filename());
    EXPECT_EQ(left, std::vector<std::string>{"settings.xml"});
}

}  // namespace

namespace {

TEST(SettingsStore, RunIsMarkedInProgressUntilItEndsNormally) {
    TempFolder dir;
    const std::string path = dir / "settings.xml";
    WriteBytes(path, "<settings sfx=\"40\" windowed=\"0\" in-progress=\"0\" junk");  // damaged
    {
        SettingsStore store(path);
        EXPECT_FALSE(store.Load(false, [&](const XMLElement& e) { ApplySettingsElement(e, store.Values(), {}); }));
        EXPECT_TRUE(store.Values().windowed);  // defaults kept
        AppSettings read;
        ASSERT_TRUE(Load(path, read));  // rewritten whole at once
        EXPECT_TRUE(read.inProgress);
        store.Values().sfxVolume = 0.3;
        store.EndRun(L" game-flag=\"1\"");
    }
    AppSettings read;
    XMLElement seen;
    ASSERT_TRUE(ReadSettingsFile(path, [&](const XMLElement& e) {
        seen = e;
        ApplySettingsElement(e, read, {});
    }));
    EXPECT_FALSE(read.inProgress);
    EXPECT_EQ(VolumeToPercent(read.sfxVolume), 30);
    EXPECT_EQ(seen.attributes[L"game-flag"], L"1");

    // The damaged file was kept aside before the defaults replaced it.
    EXPECT_EQ(ReadBytes(path + ".bad"), "<settings sfx=\"40\" windowed=\"0\" in-progress=\"0\" junk");
    WriteBytes(path, "<settings");
    {
        SettingsStore again(path);
        EXPECT_FALSE(again.Load(false, [](const XMLElement&) {}));
        EXPECT_EQ(again.MovedAsideTo(), path + ".bad2");  // the first copy is never replaced
    }
    EXPECT_EQ(ReadBytes(path + ".bad2"), "<settings");
    EXPECT_TRUE(Load(path, read));

    // A screensaver run reads but never writes at start-up.
    const std::string before = ReadBytes(path);
    SettingsStore saver(path);
    EXPECT_TRUE(saver.Load(true, [](const XMLElement&) {}));
    EXPECT_EQ(ReadBytes(path), before);
    // A store that never loaded never overwrites the player's file.
    SettingsStore unused(path);
    unused.EndRun();
    EXPECT_EQ(ReadBytes(path), before);
}

}  // namespace

namespace {

// The run's mark written beside the start-up: whatever comes next (waiting
// for it, a later save, the normal end, the store's end), the file holds the
// saves in the order they were asked for; the mark goes to the folder of the
// moment it was asked for, though the start-up changes folder meanwhile.
TEST(SettingsStore, ARunMarkedInTheBackgroundReachesTheFileBeforeEveryLaterSave) {
    struct Case {
        const char* next;
        bool inProgress;
        int sfxPercent;
    };
    const Case cases[] = {
        {"finish", true, 20},
        {"save", true, 70},
        {"end", false, 70},
        {"drop", true, 20},
    };
    for (const Case& c : cases) {
        const std::string next = c.next;
        TempFolder dir, elsewhere;
        {
            auto store = std::make_unique<SettingsStore>(dir / "settings.xml");
            store->Load(true, [](const XMLElement&) {});
            store->Values().sfxVolume = 0.2;
            store->BeginRunInBackground();
            store->Values().sfxVolume = 0.7;
            bool written = true;
            if (next == "finish") written = store->FinishSave();
            if (next == "save") written = store->Save();
            if (next == "end") store->EndRun();
            EXPECT_TRUE(written) << next;
            // Written once waited for; the store's end waits for it too.
            if (next != "drop") {
                EXPECT_TRUE(std::filesystem::exists(dir / "settings.xml")) << next;
            }
        }
        AppSettings read;
        ASSERT_TRUE(Load(dir / "settings.xml", read)) << next;
        EXPECT_EQ(read.inProgress, c.inProgress) << next;
        EXPECT_EQ(VolumeToPercent(read.sfxVolume), c.sfxPercent) << next;
    }

    TempFolder dir, elsewhere;
    testsupport::CurrentDirectoryGuard cwd(dir.Path());
    {
        SettingsStore relative("settings.xml");
        relative.BeginRunInBackground();
        std::filesystem::current_path(elsewhere.Path());
    }
    EXPECT_TRUE(std::filesystem::exists(dir / "settings.xml"));
    EXPECT_FALSE(std::filesystem::exists(elsewhere / "settings.xml"));
}

TEST(SettingsStore, ABackgroundSaveThatFailsIsToldWhenWaitedFor) {
    TempFolder dir;
    // A folder where the file should go cannot be replaced by a rename.
    std::filesystem::create_directories(dir.Path() / "settings.xml" / "x");
    SettingsStore store(dir / "settings.xml");
    store.BeginRunInBackground();
    EXPECT_FALSE(store.FinishSave());
    EXPECT_TRUE(store.FinishSave());  // nothing left to wait for
    EXPECT_TRUE(std::filesystem::is_directory(dir / "settings.xml"));
}

}  // namespace
