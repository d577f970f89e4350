// The player's saved progress against crashes, full disks and every value a
// profile can hold.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "foundation/system/text.h"
#include "tests/game/data/profile_test_support.h"

namespace {

using testsupport::ReadBytes;

class ProfileReliability : public testsupport::ProfileTest {
protected:
    static std::string FileBytes(const std::wstring& text) { return "\xFF\xFE" + text::ToUtf16LE(text); }
    // Temporary files a save left beside profiles.xml; removed.
    int RemoveLeftovers() {
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder_.Path())) {
            if (entry.path().filename().string().starts_with("profiles.xml.tmp")) {
                std::filesystem::remove(entry.path());
                ++count;
            }
        }
        return count;
    }
};

// Random profiles: names and texts drawn from every character a file can
// hold, symbols of every kind, parks changed through the game's operations.
class ProfileGenerator {
public:
    explicit ProfileGenerator(uint32_t seed) : rng_(seed) {}

    int32_t Int() { return static_cast<int32_t>(rng_()); }
    int32_t Small(int32_t below) { return static_cast<int32_t>(rng_() % static_cast<uint32_t>(below)); }
    bool Coin() { return (rng_() & 1) != 0; }

    wchar_t Character() {
        switch (Small(6)) {
            case 0: return static_cast<wchar_t>(L"&<>\"'()/=?!;\\ \t\n\r%#[]."[Small(22)]);
            case 1: return static_cast<wchar_t>(0x20 + Small(0x5F));
            case 2: return static_cast<wchar_t>(1 + Small(0x1F));  // control characters
            case 3: return static_cast<wchar_t>(0x80 + Small(0x780));
            case 4: {
                const int32_t c = 0x800 + Small(0x10000 - 0x800);
                return static_cast<wchar_t>(c >= 0xD800 && c <= 0xDFFF ? c - 0x1000 : c);
            }
            default: return static_cast<wchar_t>(0x10000 + Small(0x100000));
        }
    }
    std::wstring Text(int32_t maxLength) {
        std::wstring out;
        for (int32_t n = Small(maxLength + 1); n > 0; --n) out += Character();
        return out;
    }
    PropertyValue Symbol() {
        switch (Small(6)) {
            case 0: return PropertyValue(Coin());
            case 5: return PropertyValue(Color::FromRGBA(Int(), Int(), Int(), Int()));
            case 1: return PropertyValue::FromInt(Int());
            case 2: {
                const uint32_t bits = rng_();
                float value;
                std::memcpy(&value, &bits, sizeof value);
                return PropertyValue::FromFloat(value);
            }
            case 3: return PropertyValue::FromFloat(static_cast<float>(Small(2000000) - 1000000) / 64.0f);
            default: return PropertyValue(Text(12));
        }
    }

    void Fill(KivraPlayerState& player) {
        player.started_ = Coin();
        // Within the ranges the reader holds a play time to.
        player.hours_ = Small(KivraPlayerState::kMaxHours + 1);
        player.minutes_ = Small(KivraPlayerState::kMinutesPerHour);
        player.centiseconds_ = Small(KivraPlayerState::kCentisecondsPerMinute);
        player.tutorial_step = Small(40) - 1;
        for (int32_t n = Small(7); n > 0; --n) player.symbols_[Text(8)] = Symbol();
        for (const wchar_t* name : {L"bay", L"cove"}) {
            player.SetCurrentLevel(name);
            KIVRA_LEVEL& level = *player.GetCurrentLevel();
            for (int32_t n = Small(4); n > 0; --n)
                player.ChangeResource(Coin() ? L"money" : L"hearts", Int() / 4, false, nullptr);
            RESEARCH_OPTION bought;
            for (int32_t n = Small(3); n > 0; --n) player.PurchaseResearch(Coin() ? L"r1" : L"r2", bought);
            level.display_name = Text(10);
            level.ever_been_loaded = Coin();
            level.trophies_required = Int();
            level.weeks_played = Int();
            level.ticketprice_base = Int();
            level.marketing_slots = Int();
            for (int32_t n = Small(3); n > 0; --n) level.marketing[Text(6)] = Int();
            for (int32_t n = Small(3); n > 0; --n) level.marketing_bonus.entries.push_back(Text(6));
            for (int32_t n = Small(3); n > 0; --n) level.disallowed.insert(Text(6));
            for (int32_t n = Small(3); n > 0; --n) level.learned_combos.insert(Text(6));
            for (int32_t n = Small(3); n > 0; --n) level.availability[Text(6)] = Small(2);
            level.stats.week.visitors = Int();
            level.stats.allTime.visitors = Int();
            player.SetMetric(Text(6), Int(), Coin());
            if (Coin()) level.goals_tracker.OnMoneyEarned(Small(400));
            if (Coin()) level.goals_tracker.ActivateChallenge(L"funbooks_silver");
            for (const auto& item : level.items) {
                // The file's dialect reads a quoted value that ends in "/" as
                // the end of an empty element; an item with children cannot
                // carry such an action (shipped actions never end so).
                item->action = Text(6);
                while (!item->action.empty() && item->action.back() == L'/') item->action.pop_back();
                if (auto* building = dynamic_cast<KIVRA_BUILDING_LEVEL_ITEM*>(item.get())) {
                    building->upgrades[Text(4)] = Coin();
                    building->boosts[Text(4)] = Int();
                }
            }
        }
        player.SetCurrentLevel(Coin() ? L"bay" : L"cove");
    }

private:
    std::mt19937 rng_;
};

// 1,000 random profiles written, read and written again give the same bytes.
TEST_F(ProfileReliability, ThousandRandomProfilesWriteReadAndWriteTheSameBytes) {
    ProfileGenerator random(28);
    for (int round = 0; round < 250; ++round) {
        {
            KivraProfileManager manager;
            for (int32_t slot = 0; slot < ProfileManager::kSlots; ++slot) {
                std::wstring name = random.Text(16);
                if (name.empty()) name = L"&";
                ASSERT_EQ(manager.CreateProfile(name, slot, false), slot);
                random.Fill(*manager.KivraPlayer(slot));
            }
            manager.SelectProfile(random.Small(5) - 1);
            ASSERT_TRUE(manager.Save());
        }
        const std::string bytes = ReadBytes(ProfilesFile());
        KivraProfileManager reread;
        reread.Load();
        ASSERT_TRUE(reread.MovedAsideTo().empty()) << "round " << round;
        // What a second save would write, byte for byte.
        const std::string again = FileBytes(reread.ProfilesText());
        if (again != bytes) {
            const std::wstring first = text::FromUtf16LE(bytes.substr(2)), second = text::FromUtf16LE(again.substr(2));
            size_t at = 0;
            while (at < first.size() && at < second.size() && first[at] == second[at]) ++at;
            const size_t from = at < 200 ? 0 : at - 200;
            FAIL() << "round " << round << " differs at " << at << ":\n"
                   << text::ToUtf8(first.substr(from, 300)) << "\n---\n"
                   << text::ToUtf8(second.substr(from, 300));
        }
    }
}

// A child saves in a loop and is killed at random moments: profiles.xml is
// always one whole version, never a mix and never empty.
TEST_F(ProfileReliability, AKillAtAnyMomentLeavesTheOldOrTheNewFile) {
    KivraProfileManager manager;
    manager.CreateProfile(L"Kim", 0, true);
    manager.CreateProfile(L"Lu", 2, false);
    KivraPlayerState& kim = *manager.KivraPlayer(0);
    for (int i = 0; i < 20; ++i) kim.symbols_[L"pad" + std::to_wstring(i)] = PropertyValue(std::wstring(40, L'x'));
    // Version v: a symbol and the money of the bay, so every version differs.
    auto apply = [&](int v) {
        kim.symbols_[L"version"] = PropertyValue(v);
        kim.FindParkLevel(L"bay")->money = 1000 + v;
    };
    constexpr int kVersions = 3;
    std::set<std::string> versions;
    for (int v = 0; v < kVersions; ++v) {
        apply(v);
        versions.insert(FileBytes(manager.ProfilesText()));
    }
    // Each version reads back as itself.
    for (int v = 0; v < kVersions; ++v) {
        apply(v);
        ASSERT_TRUE(manager.Save());
        KivraProfileManager check;
        check.Load();
        ASSERT_EQ(check.ProfilesText(), manager.ProfilesText());
    }

    // A memory file system when there is one: no save waits for the disk.
    const std::filesystem::path shm = "/dev/shm";
    testsupport::TempFolder lanes(std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path());
    SetAppDataFolder(lanes.Path().string() + "/");
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(manager.Save());
    const auto perSave =
        std::chrono::duration_cast<std::chrono::microseconds>((std::chrono::steady_clock::now() - start) / 4);

    // Workers share the trials, each alternating between two folders of its
    // own: while one child dies the next one starts. A worker reports the
    // trials whose file was wrong and those killed inside a save.
    constexpr int kWorkers = 4, kTrialsEach = 250;
    struct Report {
        int32_t bad = 0, midSave = 0;
    };
    auto work = [&](int worker, int out) {
        std::mt19937 rng(static_cast<uint32_t>(worker) + 1);
        std::string folder[2];
        for (int lane = 0; lane < 2; ++lane) {
            folder[lane] = (lanes.Path() / (std::to_string(worker) + "_" + std::to_string(lane))).string() + "/";
            std::filesystem::create_directories(folder[lane]);
            SetAppDataFolder(folder[lane]);
            manager.Save();
        }
        Report report;
        auto reap = [&](pid_t child, int lane) {
            ::waitpid(child, nullptr, 0);
            bool interrupted = false;
            std::error_code ignored;
            for (const auto& entry : std::filesystem::directory_iterator(folder[lane], ignored)) {
                if (!entry.path().filename().string().starts_with("profiles.xml.tmp")) continue;
                std::filesystem::remove(entry.path());
                interrupted = true;
            }
            report.midSave += interrupted ? 1 : 0;
            report.bad += versions.contains(ReadBytes(folder[lane] + "profiles.xml")) ? 0 : 1;
        };
        pid_t previous = -1;
        int previousLane = 0;
        for (int trial = 0; trial < kTrialsEach; ++trial) {
            const int lane = trial % 2;
            // The delay counts from the child's own saves, not from the fork,
            // and scales with them: a forked child's first save pays for
            // copying the pages it touches, and under the sanitizers each
            // save of a child takes a few times the parent's, so kills timed
            // by the parent's saves all landed before a save wrote its file.
            int ready[2];
            if (::pipe(ready) != 0) continue;
            const pid_t child = ::fork();
            if (child == 0) {
                try {
                    ::close(ready[0]);
                    SetAppDataFolder(folder[lane]);
                    manager.Save();
                    const auto from = std::chrono::steady_clock::now();
                    manager.Save();
                    const int64_t took =
                        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - from)
                            .count();
                    [[maybe_unused]] ssize_t said = ::write(ready[1], &took, sizeof took);
                    ::close(ready[1]);
                    for (int n = 0; n < 100000; ++n) {
                        apply(n % kVersions);
                        manager.Save();
                    }
                } catch (...) {}
                ::_exit(0);
            }
            ::close(ready[1]);
            if (child < 0) {
                // Never kill(-1, ...): that would signal every process.
                ::close(ready[0]);
                continue;
            }
            if (previous > 0) reap(previous, previousLane);
            int64_t childSave = 0;
            if (::read(ready[0], &childSave, sizeof childSave) != sizeof childSave) childSave = perSave.count();
            ::close(ready[0]);
            // Up to two of the child's saves.
            std::uniform_int_distribution<int64_t> delay(0, std::max<int64_t>(100, 2 * childSave));
            std::this_thread::sleep_for(std::chrono::microseconds(delay(rng)));
            ::kill(child, SIGKILL);
            previous = child;
            previousLane = lane;
        }
        if (previous > 0) reap(previous, previousLane);
        [[maybe_unused]] ssize_t written = ::write(out, &report, sizeof report);
    };
    int pipes[kWorkers][2];
    pid_t workers[kWorkers];
    for (int w = 0; w < kWorkers; ++w) {
        ASSERT_EQ(::pipe(pipes[w]), 0);
        workers[w] = ::fork();
        ASSERT_GE(workers[w], 0);
        if (workers[w] == 0) {
            // Whatever happens, a worker never returns into the test runner.
            try {
                work(w, pipes[w][1]);
            } catch (...) {}
            ::_exit(0);
        }
        ::close(pipes[w][1]);
    }
    Report total;
    for (int w = 0; w < kWorkers; ++w) {
        Report report;
        ASSERT_EQ(::read(pipes[w][0], &report, sizeof report), static_cast<ssize_t>(sizeof report)) << "worker " << w;
        ::close(pipes[w][0]);
        ::waitpid(workers[w], nullptr, 0);
        total.bad += report.bad;
        total.midSave += report.midSave;
    }
    EXPECT_EQ(total.bad, 0) << "of " << kWorkers * kTrialsEach << " kills";
    const int midSave = total.midSave;
    // The kills did land inside saves, not only between them.
    EXPECT_GT(midSave, 0);
    RecordProperty("killed_mid_save", midSave);
}

// A full disk (here a file-size limit below the new file's size) makes the
// save report false and leaves the previous file as it was.
TEST_F(ProfileReliability, AFullDiskReportsFailureAndKeepsTheOldFile) {
    KivraProfileManager manager;
    manager.CreateProfile(L"Old", 0, true);
    ASSERT_TRUE(manager.Save());
    const std::string old = ReadBytes(ProfilesFile());
    for (int i = 0; i < 200; ++i)
        manager.Player(0)->symbols_[L"s" + std::to_wstring(i)] = PropertyValue(std::wstring(50, L'y'));

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The child leaves through _exit alone, never back into the test runner.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{old.size() + 100, old.size() + 100};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(manager.Save() ? 1 : 2);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);  // Save reported the failure
    EXPECT_EQ(ReadBytes(ProfilesFile()), old);
    EXPECT_EQ(RemoveLeftovers(), 0);  // the partial temporary file is gone too
    EXPECT_TRUE(manager.Save());      // with room again, the save goes through
    EXPECT_NE(ReadBytes(ProfilesFile()), old);
}

}  // namespace
