// The sound manager: ids, channels and the sweep, volume, pan and pitch as
// heard through the pulled mix, and a manager that has no device.

#include <cmath>
#include <filesystem>

#include "app/audio/dsound_instance.h"
#include "app/audio/sound_volume.h"
#include "tests/app/audio_test_support.h"

namespace {

using namespace audio_test;

class SoundManagerTest : public ::testing::Test {
protected:
    SoundManagerTest() : manager(SomeWindow(), plat::SoundOutput::Manual) {}

    std::string Sound(const std::string& name, const std::string& bytes) {
        WriteBytes(dir / (name + ".wav"), bytes);
        return dir / name;
    }

    DataFolder data;
    TempFolder dir;
    DSoundManager manager;
};

TEST_F(SoundManagerTest, IdsComeFromTheTopAndANameKeepsItsId) {
    ASSERT_TRUE(manager.IsInitialized());
    const std::string a = Sound("a", Wav16({1, 2})), b = Sound("b", Wav16({3}));
    EXPECT_EQ(manager.LoadSoundByName(a), 1023);
    EXPECT_EQ(manager.LoadSoundByName(b), 1022);
    EXPECT_EQ(manager.GetFreeSoundId(), 0);
    EXPECT_EQ(manager.CountLoadedSounds(), 2);
    ASSERT_TRUE(manager.LoadSound(0, a));
    EXPECT_EQ(manager.GetFreeSoundId(), 1);

    // A held name answers its id without reading the file, even once its
    // buffer is gone.
    manager.ReleaseSound(1023);
    EXPECT_EQ(manager.SoundName(1023), "");
    std::filesystem::remove(dir / "b.wav");
    EXPECT_EQ(manager.LoadSoundByName(b), 1022);
    manager.ReleaseAllSounds();
    EXPECT_EQ(manager.CountLoadedSounds(), 0);
    EXPECT_EQ(manager.LoadSoundByName(b), 1022);

    EXPECT_EQ(manager.LoadSoundByName(""), -1);  // not the empty name of a free id
    EXPECT_FALSE(manager.LoadSound(1024, a));
    EXPECT_FALSE(manager.SetBaseVolume(1024, 0.5));
    EXPECT_EQ(manager.GetSoundInstance(1024), nullptr);
    EXPECT_EQ(manager.GetSoundInstance(-1), nullptr);
}

TEST_F(SoundManagerTest, AFailedLoadForgetsTheNameSoTheNextLoadTriesAgain) {
    const std::string name = dir / "late";
    EXPECT_EQ(manager.LoadSoundByName(name), -1);
    EXPECT_EQ(manager.SoundName(1023), "");
    EXPECT_EQ(manager.LoadSoundByName(name), -1);  // not an empty id that looks loaded
    Sound("late", Wav16({9, 9}));
    EXPECT_EQ(manager.LoadSoundByName(name), 1023);
    EXPECT_EQ(manager.CountLoadedSounds(), 1);
}

TEST_F(SoundManagerTest, ThirtyTwoChannelsAndReleasedOnesAreReused) {
    const int id = manager.LoadSoundByName(Sound("s", Wav16({1, 2, 3, 4})));
    std::vector<SoundInstance*> taken;
    for (int i = 0; i < DSoundManager::kChannels; ++i) taken.push_back(manager.GetSoundInstance(id));
    for (SoundInstance* s : taken) ASSERT_NE(s, nullptr);
    EXPECT_EQ(manager.GetSoundInstance(id), nullptr);

    taken[5]->Release();
    EXPECT_NE(manager.GetSoundInstance(id), nullptr);  // channel 5 again
    EXPECT_EQ(manager.GetSoundInstance(id), nullptr);

    // One played to its end with release-when-finished frees its channel by itself.
    ASSERT_TRUE(taken[7]->Play(false, true));
    EXPECT_TRUE(taken[7]->IsPlaying());
    EXPECT_EQ(manager.FindPlayingInstance(id), taken[7]);
    Pull(*manager.Device(), 10);
    EXPECT_FALSE(taken[7]->IsPlaying());
    EXPECT_EQ(manager.FindPlayingInstance(id), nullptr);
    EXPECT_NE(manager.GetSoundInstance(id), nullptr);
}

TEST_F(SoundManagerTest, ReleasedInstancesAreSweptAtMostOnceASecond) {
    uint32_t now = 10000;
    manager.SetTickSource([&] { return now; });
    const int id = manager.LoadSoundByName(Sound("s", Wav16({1})));
    std::vector<SoundInstance*> three;
    for (int i = 0; i < 3; ++i) three.push_back(manager.GetSoundInstance(id));  // sweeps (nothing) at 10000
    for (SoundInstance* s : three) s->Release();
    EXPECT_EQ(manager.CountOccupiedChannels(), 3);

    now = 10400;  // no sweep yet: the new instance takes the first released channel only
    manager.GetSoundInstance(id);
    EXPECT_EQ(manager.CountOccupiedChannels(), 3);

    now = 11001;  // the sweep empties the two released channels, then one is taken
    SoundInstance* kept = manager.GetSoundInstance(id);
    EXPECT_EQ(manager.CountOccupiedChannels(), 2);

    SoundInstance* a = manager.GetSoundInstance(id);
    SoundInstance* b = manager.GetSoundInstance(id);
    kept->Release();
    a->Release();
    b->Release();
    now = 11900;  // within a second of the last sweep: two released ones stay
    manager.GetSoundInstance(id);
    EXPECT_EQ(manager.CountOccupiedChannels(), 4);
    now = 12002;
    manager.GetSoundInstance(id);
    EXPECT_EQ(manager.CountOccupiedChannels(), 3);
}

TEST_F(SoundManagerTest, StopKeepsReleaseWhenFinishedForStopAllButNotForStop) {
    const int id = manager.LoadSoundByName(Sound("s", Wav16(std::vector<int16_t>(1000, 5))));
    SoundInstance* once = manager.GetSoundInstance(id);
    SoundInstance* loop = manager.GetSoundInstance(id);
    once->Play(false, true);
    loop->Play(true, false);
    manager.StopAllSounds();
    EXPECT_FALSE(once->IsPlaying());
    EXPECT_FALSE(loop->IsPlaying());
    EXPECT_TRUE(once->IsReleased());
    EXPECT_FALSE(loop->IsReleased());

    SoundInstance* again = manager.GetSoundInstance(id);
    again->Play(false, true);
    again->Stop();  // an explicit stop clears the flag
    EXPECT_FALSE(again->IsReleased());
    again->Play(false, true);
    manager.StopSound(id);
    EXPECT_TRUE(again->IsReleased());
}

// Attenuations worked out by hand from trunc((log10(9v + 1) - 1) x 2333),
// where anything below -2000 becomes -10000.
TEST(SoundVolume, AttenuationInHundredthsOfADecibel) {
    const std::vector<std::pair<double, int>> cases = {{1.0, 0},      {0.75, -258},  {0.5, -605},    {0.25, -1138},
                                                       {0.1, -1682},  {0.05, -1956}, {0.045, -1988}, {0.04, -10000},
                                                       {0.0, -10000}, {-0.5, -10000}};
    for (auto [volume, expected] : cases) EXPECT_EQ(VolumeToAttenuation(volume), expected) << volume;
    EXPECT_EQ(VolumeToAttenuation(2.0), 0);
    EXPECT_EQ(VolumeToAttenuation(std::nan("")), -10000);
}

TEST(SoundVolume, PitchBySemitonesIsClamped) {
    EXPECT_EQ(PitchedFrequency(22050, 12), 44100u);
    EXPECT_EQ(PitchedFrequency(44100, 7), 66075u);   // 44100 x 2^(7/12) = 66075.3
    EXPECT_EQ(PitchedFrequency(44100, -5), 33037u);  // 44100 x 2^(-5/12) = 33037.7
    EXPECT_EQ(PitchedFrequency(44100, 24), 100000u);
    EXPECT_EQ(PitchedFrequency(8000, -120), 100u);
}

TEST_F(SoundManagerTest, VolumePanAndPitchAsHeard) {
    const int id = manager.LoadSoundByName(Sound("s", Wav16(std::vector<int16_t>(4000, 20000), 1, 22050)));
    ASSERT_TRUE(manager.SetBaseVolume(id, 0.8));
    ASSERT_TRUE(manager.SetBasePan(id, -3000));
    manager.SetMasterVolume(0.5);
    auto* instance = static_cast<DSoundInstance*>(manager.GetSoundInstance(id));
    instance->SetVolume(0.5);
    EXPECT_DOUBLE_EQ(instance->GetVolume(), 0.5);
    const int32_t attenuation = VolumeToAttenuation(0.5 * 0.8 * 0.5);
    EXPECT_EQ(instance->Attenuation(), attenuation);
    instance->SetPan(1000);  // -3000 + 1000: the right side 20 dB down
    ASSERT_TRUE(instance->Play(true, false));
    std::vector<int16_t> out = Pull(*manager.Device(), 64);
    const double left = 20000 * std::pow(10.0, attenuation / 2000.0);
    EXPECT_NEAR(out[2 * 10], left, 1.0);
    EXPECT_NEAR(out[2 * 10 + 1], left * std::pow(10.0, -2000 / 2000.0), 1.0);

    // A new master volume reaches the playing instance.
    manager.SetMasterVolume(1.0);
    EXPECT_EQ(instance->Attenuation(), VolumeToAttenuation(0.5 * 0.8));

    EXPECT_EQ(instance->Frequency(), 22050u);
    instance->SetPitch(12);
    EXPECT_EQ(instance->Frequency(), 44100u);
    instance->SetPitch(60);
    EXPECT_EQ(instance->Frequency(), 100000u);
}

TEST(SoundManagerWithoutDevice, LoadsSucceedAndInstancesAreSilent) {
    DataFolder data;
    DSoundManager manager(nullptr);
    EXPECT_FALSE(manager.IsInitialized());
    EXPECT_EQ(manager.Device(), nullptr);
    EXPECT_EQ(manager.LoadSoundByName("no\\such\\sound"), 1023);
    EXPECT_EQ(manager.CountLoadedSounds(), 0);
    SoundInstance* instance = manager.GetSoundInstance(1023);
    ASSERT_NE(instance, nullptr);
    instance->SetVolume(0.3);
    instance->SetPitch(5);
    EXPECT_FALSE(instance->Play(true, false));
    EXPECT_FALSE(instance->IsPlaying());
    EXPECT_DOUBLE_EQ(instance->GetVolume(), 0.3);
    EXPECT_EQ(manager.GetMixerVolume(), 0.0);
    manager.SetMixerVolume(0.5);  // nothing to set
}

TEST_F(SoundManagerTest, MixerVolumeIsTheOutputLevel) {
    EXPECT_DOUBLE_EQ(manager.GetMixerVolume(), 1.0);
    manager.SetMixerVolume(0.25);
    EXPECT_EQ(manager.Device()->OutputLevel(), 16384);  // 0.25 x 65535 rounded
    EXPECT_NEAR(manager.GetMixerVolume(), 0.25, 1e-4);
}

TEST(SoundManagerDeathTest, AFailedDuplicateGivesASilentInstanceAndTheProgramGoesOn) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The child reaching its own exit status shows that the program went on.
    EXPECT_EXIT(
        {
            DataFolder data;
            DSoundManager manager(SomeWindow(), plat::SoundOutput::Manual);
            // A buffer of another device cannot be duplicated on this one.
            auto other = plat::SoundDevice::Create(plat::SoundOutput::Manual);
            plat::SoundBufferDesc desc;
            desc.bytes = 4;
            desc.format = MakePcmFormat(1, 44100, 16);
            std::unique_ptr<plat::SoundBuffer> foreign;
            other->CreateSoundBuffer(desc, &foreign);
            DSoundInstance instance(&manager, foreign.get(), 3);
            const bool silent = instance.IsSilent() && !instance.Play(false, false) && !instance.IsPlaying();
            std::exit(silent ? 42 : 1);
        },
        ::testing::ExitedWithCode(42), "");
}

}  // namespace
