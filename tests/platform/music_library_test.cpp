// The linked music library through its entry points, mixed into a pulled
// sound device: error codes, resampling, volumes and pan, pausing the
// output, stream ends and module positions.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/music/music.h"
#include "platform/sound/sound.h"

namespace {

std::string Le(uint64_t v, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
    return out;
}

std::string Wav(uint16_t channels, uint32_t rate, uint16_t bits, const std::string& data) {
    const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    std::string fmt = Le(1, 2) + Le(channels, 2) + Le(rate, 4) + Le(rate * align, 4) + Le(align, 2) + Le(bits, 2);
    std::string body = "WAVEfmt " + Le(16, 4) + fmt + "data" + Le(data.size(), 4) + data;
    return "RIFF" + Le(body.size(), 4) + body;
}

std::string MonoWav16(const std::vector<int16_t>& samples, uint32_t rate = 44100) {
    std::string data;
    for (int16_t s : samples) data += Le(static_cast<uint16_t>(s), 2);
    return Wav(1, rate, 16, data);
}

std::string FileBytes(const std::string& name) {
    std::ifstream in(std::string(HALVARO_SOURCE_DIR) + "/data/sounds/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class MusicLibraryTest : public ::testing::Test {
protected:
    MusicLibraryTest()
        : library(plat::LinkedMusicLibraryLoader().Load("music")),
          device(plat::SoundDevice::Create(plat::SoundOutput::Manual)) {
        Get(init, "BASS_Init");
        Get(free, "BASS_Free");
        Get(stop, "BASS_Stop");
        Get(start, "BASS_Start");
        Get(setConfig, "BASS_SetConfig");
        Get(getConfig, "BASS_GetConfig");
        Get(play, "BASS_ChannelPlay");
        Get(channelStop, "BASS_ChannelStop");
        Get(pause, "BASS_ChannelPause");
        Get(active, "BASS_ChannelIsActive");
        Get(setAttribute, "BASS_ChannelSetAttribute");
        Get(getAttribute, "BASS_ChannelGetAttribute");
        Get(setPosition, "BASS_ChannelSetPosition");
        Get(getPosition, "BASS_ChannelGetPosition");
        Get(flags, "BASS_ChannelFlags");
        Get(streamCreate, "BASS_StreamCreateFile");
        Get(streamFree, "BASS_StreamFree");
        Get(musicLoad, "BASS_MusicLoad");
        Get(musicFree, "BASS_MusicFree");
        Get(error, "BASS_ErrorGetCode");
    }
    ~MusicLibraryTest() override { free(); }

    template <class Fn>
    void Get(Fn& fn, const char* name) {
        fn = reinterpret_cast<Fn>(library->Find(name));
        ASSERT_NE(fn, nullptr) << name;
    }

    // Ready to hear a stream at full scale.
    void Start() {
        ASSERT_TRUE(init(device.get(), 44100));
        ASSERT_TRUE(setConfig(plat::kMusicConfigGlobalStreamVolume, 10000));
    }
    plat::MusicHandle Stream(const std::string& bytes) {
        kept.push_back(bytes);
        return streamCreate(kept.back().data(), 0, kept.back().size(), 0);
    }
    std::vector<int16_t> Pull(size_t frames) {
        std::vector<int16_t> out(2 * frames);
        EXPECT_TRUE(device->Pull(out.data(), frames));
        return out;
    }

    std::unique_ptr<plat::MusicLibrary> library;
    std::unique_ptr<plat::SoundDevice> device;
    std::vector<std::string> kept;  // stream memory lives as long as the test
    plat::MusicInitFn init;
    plat::MusicVoidFn free, stop, start;
    plat::MusicSetConfigFn setConfig;
    plat::MusicGetConfigFn getConfig;
    plat::MusicChannelPlayFn play;
    plat::MusicChannelFn channelStop, pause, streamFree, musicFree;
    plat::MusicIsActiveFn active;
    plat::MusicSetAttributeFn setAttribute;
    plat::MusicGetAttributeFn getAttribute;
    plat::MusicSetPositionFn setPosition;
    plat::MusicGetPositionFn getPosition;
    plat::MusicFlagsFn flags;
    plat::MusicStreamCreateFn streamCreate;
    plat::MusicLoadFn musicLoad;
    plat::MusicErrorFn error;
};

TEST_F(MusicLibraryTest, BadCallsFailWithAnErrorCode) {
    EXPECT_EQ(library->Find("BASS_NoSuchThing"), nullptr);
    const std::string wav = MonoWav16({1, 2});
    EXPECT_EQ(streamCreate(wav.data(), 0, wav.size(), 0), 0u);
    EXPECT_EQ(error(), plat::kMusicErrInit);
    EXPECT_FALSE(free());
    ASSERT_TRUE(init(device.get(), 44100));
    EXPECT_FALSE(init(device.get(), 44100));
    EXPECT_EQ(error(), plat::kMusicErrAlready);

    EXPECT_FALSE(play(12345, true));
    EXPECT_EQ(error(), plat::kMusicErrHandle);
    EXPECT_EQ(active(12345), plat::kMusicStopped);
    EXPECT_EQ(flags(12345, 0, 0), ~0u);
    EXPECT_EQ(getPosition(12345, plat::kMusicPosByte), plat::kMusicPositionInvalid);

    EXPECT_EQ(Stream("RIFF junk that is no wave"), 0u);
    EXPECT_EQ(error(), plat::kMusicErrFileFormat);
    EXPECT_EQ(Stream(Wav(3, 44100, 16, "abcdef")), 0u);
    EXPECT_EQ(error(), plat::kMusicErrFormat);
    EXPECT_EQ(musicLoad(wav.data(), 0, static_cast<uint32_t>(wav.size()), 0, 0), 0u);
    EXPECT_EQ(error(), plat::kMusicErrFileFormat);
    EXPECT_EQ(musicLoad(wav.data(), 0, 0, 0, 0), 0u);
    EXPECT_EQ(error(), plat::kMusicErrIllegalParam);

    const plat::MusicHandle s = Stream(wav);
    ASSERT_NE(s, 0u);
    EXPECT_FALSE(musicFree(s));  // a stream is not module music
    EXPECT_FALSE(pause(s));      // nor can a stopped channel pause
    EXPECT_EQ(error(), plat::kMusicErrNotPlaying);
    EXPECT_FALSE(setAttribute(s, plat::kMusicAttribVolume, 1.5f));
    EXPECT_FALSE(setAttribute(s, plat::kMusicAttribAmplify, 10.0f));
    EXPECT_FALSE(setConfig(plat::kMusicConfigGlobalMusicVolume, 10001));
    EXPECT_TRUE(streamFree(s));
    EXPECT_FALSE(streamFree(s));
}

TEST_F(MusicLibraryTest, AStreamAtHalfTheOutputRateIsInterpolated) {
    Start();
    const plat::MusicHandle s = Stream(MonoWav16({0, 1000, 3000, 7000, -1000}, 22050));
    ASSERT_TRUE(play(s, true));
    const std::vector<int16_t> out = Pull(12);
    const int expected[] = {0, 500, 1000, 2000, 3000, 5000, 7000, 3000, -1000, -1000, 0, 0};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(out[2 * i], expected[i]) << i;
    EXPECT_EQ(active(s), plat::kMusicStopped);  // played to its end

    float hz = 0;
    ASSERT_TRUE(getAttribute(s, plat::kMusicAttribFrequency, &hz));
    EXPECT_EQ(hz, 22050.0f);
    ASSERT_TRUE(setAttribute(s, plat::kMusicAttribFrequency, 44100.0f));
    EXPECT_FALSE(setAttribute(s, plat::kMusicAttribFrequency, -1.0f));  // "keep it"
    ASSERT_TRUE(play(s, false));                                        // after its end it starts over
    const std::vector<int16_t> again = Pull(3);
    EXPECT_EQ(again[0], 0);
    EXPECT_EQ(again[2], 1000);
    EXPECT_EQ(again[4], 3000);
}

TEST_F(MusicLibraryTest, VolumePanAndTheGlobalStreamVolume) {
    Start();
    ASSERT_TRUE(setConfig(plat::kMusicConfigGlobalStreamVolume, 4000));
    EXPECT_EQ(getConfig(plat::kMusicConfigGlobalStreamVolume), 4000u);
    const plat::MusicHandle s = Stream(Wav(2, 44100, 8, std::string(2000, '\xC0')));  // 8-bit 192: +16384
    ASSERT_TRUE(setAttribute(s, plat::kMusicAttribVolume, 0.5f));
    ASSERT_TRUE(setAttribute(s, plat::kMusicAttribPan, 0.25f));
    EXPECT_FALSE(setAttribute(s, plat::kMusicAttribPan, -101.0f));  // "keep it"
    ASSERT_TRUE(play(s, true));
    std::vector<int16_t> out = Pull(4);
    EXPECT_NEAR(out[0], 16384 * 0.4 * 0.5 * 0.75, 1);
    EXPECT_NEAR(out[1], 16384 * 0.4 * 0.5, 1);
    float pan = 0;
    ASSERT_TRUE(getAttribute(s, plat::kMusicAttribPan, &pan));
    EXPECT_EQ(pan, 0.25f);
}

TEST_F(MusicLibraryTest, PausingAChannelOrTheOutputHoldsItsPlace) {
    Start();
    std::vector<int16_t> ramp(1000);
    for (int i = 0; i < 1000; ++i) ramp[i] = static_cast<int16_t>(i * 10);
    const plat::MusicHandle s = Stream(MonoWav16(ramp));
    ASSERT_TRUE(play(s, true));
    Pull(100);
    EXPECT_EQ(getPosition(s, plat::kMusicPosByte), 200u);
    ASSERT_TRUE(pause(s));
    EXPECT_EQ(active(s), plat::kMusicPaused);
    EXPECT_EQ(Pull(10)[0], 0);
    ASSERT_TRUE(play(s, false));
    EXPECT_EQ(Pull(1)[0], 1000);

    ASSERT_TRUE(stop());  // the whole output
    EXPECT_EQ(Pull(10)[0], 0);
    EXPECT_EQ(active(s), plat::kMusicPlaying);
    ASSERT_TRUE(start());
    EXPECT_EQ(Pull(1)[0], 1010);

    ASSERT_TRUE(setPosition(s, 1000, plat::kMusicPosByte));
    EXPECT_EQ(Pull(1)[0], 5000);
    EXPECT_FALSE(setPosition(s, 2002, plat::kMusicPosByte));
    EXPECT_EQ(error(), plat::kMusicErrPosition);
    ASSERT_TRUE(channelStop(s));
    EXPECT_EQ(Pull(1)[0], 0);
}

TEST_F(MusicLibraryTest, AnOggStreamLoopsOrEndsOnItsLastFrame) {
    Start();
    const plat::MusicHandle s = Stream(FileBytes("chime.ogg"));  // 22050 frames
    ASSERT_NE(s, 0u);
    ASSERT_TRUE(play(s, true));
    Pull(22049);
    EXPECT_EQ(active(s), plat::kMusicPlaying);
    Pull(2);
    EXPECT_EQ(active(s), plat::kMusicStopped);

    EXPECT_EQ(flags(s, plat::kMusicFlagLoop, plat::kMusicFlagLoop), plat::kMusicFlagLoop);
    ASSERT_TRUE(play(s, true));
    Pull(22050 + 100);
    EXPECT_EQ(active(s), plat::kMusicPlaying);
    EXPECT_EQ(getPosition(s, plat::kMusicPosByte), 200u);
}

TEST_F(MusicLibraryTest, ModuleMusicMovesByOrder) {
    Start();
    const std::string module = FileBytes("tune.mod");
    const plat::MusicHandle m =
        musicLoad(module.data(), 0, static_cast<uint32_t>(module.size()), plat::kMusicFlagLoop, 0);
    ASSERT_NE(m, 0u);
    kept.clear();  // the module keeps its own copy
    float amplify = 0;
    ASSERT_TRUE(getAttribute(m, plat::kMusicAttribAmplify, &amplify));
    EXPECT_EQ(amplify, 50.0f);

    // Order 3, row 4, as a 32-bit position sign-extended to 64 bits.
    const uint64_t position = 0xFFFFFFFF00000000ull | plat::kMusicPositionOrderBit | 3 | 4 << 16;
    ASSERT_TRUE(setPosition(m, position, plat::kMusicPosByte));
    ASSERT_TRUE(play(m, false));
    Pull(64);
    EXPECT_EQ(getPosition(m, plat::kMusicPosByte), 3u | 4u << 16);
    // Looping, the last order runs on into the first. (Starting at row 4
    // skips the speed set on row 0: twelve rows at the default speed.)
    Pull(2 * 44100);
    EXPECT_EQ(getPosition(m, plat::kMusicPosByte) & 0xFFFF, 0u);
    EXPECT_EQ(active(m), plat::kMusicPlaying);
    EXPECT_TRUE(setPosition(m, 44100 * 4, plat::kMusicPosByte));  // one second in: order 1
    Pull(64);
    EXPECT_EQ(getPosition(m, plat::kMusicPosByte) & 0xFFFF, 1u);
    EXPECT_FALSE(setPosition(m, plat::kMusicPositionOrderBit | 40, plat::kMusicPosByte));
    EXPECT_TRUE(musicFree(m));
}

TEST_F(MusicLibraryTest, FreeingTheLibraryLeavesTheDeviceSilent) {
    Start();
    const plat::MusicHandle s = Stream(MonoWav16(std::vector<int16_t>(100, 500)));
    ASSERT_TRUE(play(s, true));
    EXPECT_EQ(Pull(1)[0], 500);
    ASSERT_TRUE(free());
    EXPECT_EQ(Pull(1)[0], 0);
    EXPECT_EQ(active(s), plat::kMusicStopped);
    EXPECT_EQ(error(), plat::kMusicErrHandle);
    ASSERT_TRUE(init(device.get(), 44100));  // and it starts again
}

}  // namespace
