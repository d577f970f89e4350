// The sound player over fixed updates: the replay gap, shared loops with
// their use counts, fades and silencing, on a manager with a pulled device.

#include "app/audio/sound_player.h"
#include "tests/app/audio_test_support.h"

namespace {

using namespace audio_test;

class Owner : public SoundPlayerOwner {
public:
    explicit Owner(SoundManager* m) : manager(m) {}
    SoundManager* GetSoundManager() override { return manager; }
    double GetSfxVolume() override { return sfx; }
    SoundManager* manager;
    double sfx = 0.8;
};

class SoundPlayerTest : public ::testing::Test {
protected:
    SoundPlayerTest() : manager(SomeWindow(), plat::SoundOutput::Manual), owner(&manager), player(&owner) {
        WriteBytes(dir / "tone.wav", Wav16(std::vector<int16_t>(2000, 1000)));
        for (int i = 0; i < 3; ++i) ids[i] = manager.LoadSound(10 + i, dir / "tone") ? 10 + i : -1;
    }

    // The volume the loop's instance was given, or -1 when none plays.
    double LoopInstanceVolume(int id) {
        SoundInstance* s = manager.FindPlayingInstance(id);
        return s ? s->GetVolume() : -1.0;
    }
    float LoopVolume(int id) {
        float volume = -1;
        int users = 0;
        return player.GetLoop(id, &volume, &users) ? volume : -1.0f;
    }

    DataFolder data;
    TempFolder dir;
    DSoundManager manager;
    Owner owner;
    SoundPlayer player;
    int ids[3] = {};
};

TEST_F(SoundPlayerTest, AReplayWithinTheGapIsDropped) {
    const int id = ids[0];
    player.PlaySound(id, 0, 0.5);
    player.PlaySound(id, 0, 0.5);  // same update: dropped
    EXPECT_EQ(manager.CountOccupiedChannels(), 1);
    SoundInstance* first = manager.FindPlayingInstance(id);
    ASSERT_NE(first, nullptr);
    EXPECT_DOUBLE_EQ(first->GetVolume(), 0.5);
    player.Update();
    player.PlaySound(id, 0, 1.0);
    EXPECT_EQ(manager.CountOccupiedChannels(), 2);

    // Gap 3: played at update 1, dropped at 2, 3 and 4, played at 5.
    std::vector<int> heard;
    for (int update = 2; update <= 6; ++update) {
        player.Update();
        const int before = manager.CountOccupiedChannels();
        player.PlaySound(id, 3, 1.0);
        if (manager.CountOccupiedChannels() > before) heard.push_back(update);
    }
    EXPECT_EQ(heard, (std::vector<int>{5}));
}

TEST_F(SoundPlayerTest, APlayWithoutAFreeChannelStillCountsForTheGap) {
    for (int i = 0; i < DSoundManager::kChannels; ++i) manager.GetSoundInstance(ids[1])->Play(true, false);
    player.PlaySound(ids[0], 0, 1.0);
    EXPECT_EQ(manager.FindPlayingInstance(ids[0]), nullptr);
    manager.ReleaseAllChannels();
    player.PlaySound(ids[0], 0, 1.0);
    EXPECT_EQ(manager.CountOccupiedChannels(), 0);
    player.Update();
    player.PlaySound(ids[0], 0, 1.0);
    EXPECT_NE(manager.FindPlayingInstance(ids[0]), nullptr);
}

TEST_F(SoundPlayerTest, ALoopEndsWithItsLastUser) {
    const int id = ids[0];
    player.StartLoop(id, 0.0f);
    player.StartLoop(id, 0.0f);
    EXPECT_EQ(LoopVolume(id), 1.0f);
    player.StopLoop(id, 0.0f);
    player.Update();
    EXPECT_NE(manager.FindPlayingInstance(id), nullptr);
    player.StopLoop(id, 0.0f);
    EXPECT_EQ(manager.FindPlayingInstance(id), nullptr);
    EXPECT_EQ(LoopVolume(id), -1.0f);
    player.StopLoop(id, 0.0f);  // no loop any more: nothing happens
}

TEST_F(SoundPlayerTest, FadesStepOncePerUpdate) {
    const int in = ids[0], out = ids[1];
    player.StartLoop(in, 0.25f);
    player.StartLoop(out, 0.0f);
    EXPECT_DOUBLE_EQ(LoopInstanceVolume(in), 0.0);
    player.StopLoop(out, 0.25f);
    const float expectedIn[] = {0.25f, 0.5f, 0.75f, 1.0f, 1.0f};
    const float expectedOut[] = {0.75f, 0.5f, 0.25f, -1.0f, -1.0f};  // gone on the fourth update
    for (int update = 0; update < 5; ++update) {
        player.Update();
        EXPECT_EQ(LoopVolume(in), expectedIn[update]) << update;
        EXPECT_EQ(LoopVolume(out), expectedOut[update]) << update;
        EXPECT_NEAR(LoopInstanceVolume(in), 0.8 * expectedIn[update], 1e-6);
    }
    EXPECT_EQ(manager.FindPlayingInstance(out), nullptr);
    EXPECT_NE(manager.FindPlayingInstance(in), nullptr);
}

TEST_F(SoundPlayerTest, LoopsEndingInTheSameUpdateGoOnePerUpdateLowestIdFirst) {
    player.StartLoop(ids[1], 0.0f);
    player.StartLoop(ids[0], 0.0f);
    player.StopLoop(ids[1], 0.5f);
    player.StopLoop(ids[0], 0.5f);
    player.Update();
    player.Update();  // the lower id reaches 0 and goes; the update ends there
    EXPECT_EQ(LoopVolume(ids[0]), -1.0f);
    EXPECT_EQ(LoopVolume(ids[1]), 0.5f);
    player.Update();
    EXPECT_EQ(LoopVolume(ids[1]), -1.0f);
}

TEST_F(SoundPlayerTest, SilencedLoopsKeepRunningAndComeBackAtTheirVolume) {
    player.StartLoop(ids[0], 0.0f);
    player.StartLoop(ids[1], 0.0f);
    player.SilenceLoops(true, {ids[0], 999});
    EXPECT_DOUBLE_EQ(LoopInstanceVolume(ids[0]), 0.0);
    player.Update();
    EXPECT_DOUBLE_EQ(LoopInstanceVolume(ids[0]), 0.0);  // a steady loop is left alone by updates
    EXPECT_DOUBLE_EQ(LoopInstanceVolume(ids[1]), 1.0);
    owner.sfx = 0.5;
    player.SilenceLoops(false, {ids[0]});
    EXPECT_DOUBLE_EQ(LoopInstanceVolume(ids[0]), 0.5);
    player.StopAllLoops();
    EXPECT_EQ(manager.FindPlayingInstance(ids[0]), nullptr);
    EXPECT_EQ(manager.FindPlayingInstance(ids[1]), nullptr);
}

TEST_F(SoundPlayerTest, ALoopStartedAgainWhileFadingOutStays) {
    const int id = ids[0];
    player.StartLoop(id, 0.0f);
    player.StopLoop(id, 0.25f);
    player.Update();
    player.Update();
    player.StartLoop(id, 0.25f);  // a new user while it fades out: it fades back in
    for (int update = 0; update < 10; ++update) player.Update();
    EXPECT_EQ(LoopVolume(id), 1.0f);
    EXPECT_NE(manager.FindPlayingInstance(id), nullptr);

    player.StopLoop(id, 0.5f);
    player.Update();
    player.StartLoop(id, 0.0f);  // back at once
    EXPECT_EQ(LoopVolume(id), 1.0f);
    player.Update();
    EXPECT_EQ(LoopVolume(id), 1.0f);
}

}  // namespace
