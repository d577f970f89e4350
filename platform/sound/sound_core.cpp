#include "platform/sound/sound_core_internal.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace plat::sound_detail {

namespace {

// Output frames mixed per pass over the voices; the accumulator lives on the
// stack, so mixing needs no memory of its own.
constexpr std::size_t kChunkFrames = 256;
constexpr uint64_t kFracMask = 0xFFFFFFFFull;
constexpr float kFracScale = 1.0f / 4294967296.0f;

// The limiter: when a frame of the mix would pass the ceiling its gain drops
// at once to just fit, since without looking ahead anything slower lets that
// frame through; it then comes back slowly, so a loud moment is heard turned
// down for a while instead of pumping with every wave. The floor keeps a
// runaway sum from driving the gain to nothing, which would never recover.
constexpr double kLimiterReleaseDbPerSecond = 10.0;
const float kLimiterRelease = static_cast<float>(std::pow(10.0, kLimiterReleaseDbPerSecond / 20.0 / kSoundOutputRate));
constexpr float kLimiterFloor = 1.0f / 1024.0f;

template <int Bits>
float ReadSample(const uint8_t* p) {
    if constexpr (Bits == 16) {
        int16_t s;
        std::memcpy(&s, p, sizeof s);
        return static_cast<float>(s);
    } else {
        // 8-bit PCM is unsigned with 128 as silence.
        return static_cast<float>((static_cast<int>(*p) - 128) * 256);
    }
}

template <int Channels, int Bits>
struct FrameReader {
    static constexpr std::size_t kFrameBytes = Channels * Bits / 8;
    static void Read(const uint8_t* data, uint32_t frame, float* left, float* right) {
        const uint8_t* p = data + static_cast<std::size_t>(frame) * kFrameBytes;
        *left = ReadSample<Bits>(p);
        *right = Channels == 2 ? ReadSample<Bits>(p + Bits / 8) : *left;
    }
};

// Mixes up to `frames` output frames of one voice into `acc` (interleaved
// stereo). Returns false when the voice reached the end of a one-shot play;
// it is then stopped with its position back at the start.
template <int Channels, int Bits>
bool MixVoice(Voice& v, float* acc, std::size_t frames) {
    using Reader = FrameReader<Channels, Bits>;
    const uint64_t end = static_cast<uint64_t>(v.frames) << 32;
    const float gl = v.gainLeft;
    const float gr = v.gainRight;
    for (std::size_t i = 0; i < frames; ++i) {
        if (v.position >= end) {
            if (!v.looping) break;
            v.position %= end;
        }
        const uint32_t index = static_cast<uint32_t>(v.position >> 32);
        float l, r;
        Reader::Read(v.data, index, &l, &r);
        const uint64_t frac = v.position & kFracMask;
        if (frac != 0) {
            // Linear interpolation towards the next frame; past the end that
            // is the first frame of a loop, or the last frame held.
            uint32_t next = index + 1;
            if (next >= v.frames) next = v.looping ? 0 : index;
            float nl, nr;
            Reader::Read(v.data, next, &nl, &nr);
            const float t = static_cast<float>(frac) * kFracScale;
            l += (nl - l) * t;
            r += (nr - r) * t;
        }
        acc[2 * i] += l * gl;
        acc[2 * i + 1] += r * gr;
        v.position += v.step;
    }
    if (v.position >= end) {
        if (!v.looping) {
            v.position = 0;
            return false;
        }
        v.position %= end;
    }
    return true;
}

bool MixAnyVoice(Voice& v, float* acc, std::size_t frames) {
    if (v.channels == 2) {
        return v.bits == 16 ? MixVoice<2, 16>(v, acc, frames) : MixVoice<2, 8>(v, acc, frames);
    }
    return v.bits == 16 ? MixVoice<1, 16>(v, acc, frames) : MixVoice<1, 8>(v, acc, frames);
}

}  // namespace

bool IsPlayableFormat(const SoundFormat& f) {
    if (f.formatTag != kSoundFormatPcm) return false;
    if (f.channels != 1 && f.channels != 2) return false;
    if (f.bitsPerSample != 8 && f.bitsPerSample != 16) return false;
    if (f.blockAlign != f.channels * f.bitsPerSample / 8) return false;
    return f.samplesPerSec >= kSoundFrequencyMin && f.samplesPerSec <= kSoundFrequencyMax;
}

float VolumeToAmplitude(int32_t hundredthsDb) {
    if (hundredthsDb <= kSoundVolumeMin) return 0.0f;
    if (hundredthsDb >= kSoundVolumeMax) return 1.0f;
    return static_cast<float>(std::pow(10.0, hundredthsDb / 2000.0));
}

void PanToGains(int32_t volume, int32_t pan, float* left, float* right) {
    const float amplitude = VolumeToAmplitude(volume);
    *left = amplitude * (pan > 0 ? VolumeToAmplitude(-pan) : 1.0f);
    *right = amplitude * (pan < 0 ? VolumeToAmplitude(pan) : 1.0f);
}

uint64_t FrequencyToStep(uint32_t hz) { return (static_cast<uint64_t>(hz) << 32) / kSoundOutputRate; }

void SoundCore::Start(Voice& v) {
    if (v.playing) return;
    v.playing = true;
    v.slot = playing_.size();
    playing_.push_back(&v);
}

void SoundCore::Halt(Voice& v) {
    if (!v.playing) return;
    v.playing = false;
    Voice* last = playing_.back();
    playing_[v.slot] = last;
    last->slot = v.slot;
    playing_.pop_back();
}

void SoundCore::Attach(SoundSource* source) {
    if (std::find(sources_.begin(), sources_.end(), source) == sources_.end()) sources_.push_back(source);
}

void SoundCore::Detach(SoundSource* source) {
    sources_.erase(std::remove(sources_.begin(), sources_.end(), source), sources_.end());
}

void SoundCore::Mix(int16_t* out, std::size_t frames) {
    std::lock_guard<std::mutex> lock(mutex);
    while (frames > 0) {
        const std::size_t n = std::min(frames, kChunkFrames);
        MixChunk(out, n);
        out += 2 * n;
        frames -= n;
    }
}

void SoundCore::MixChunk(int16_t* out, std::size_t frames) {
    float acc[2 * kChunkFrames] = {};
    for (std::size_t i = 0; i < playing_.size();) {
        Voice& v = *playing_[i];
        if (MixAnyVoice(v, acc, frames)) {
            ++i;
        } else {
            Halt(v);  // the last voice moved into slot i
        }
    }
    for (SoundSource* source : sources_) source->MixInto(acc, frames);
    for (std::size_t i = 0; i < 2 * frames; ++i) acc[i] *= outputLevel;
    Limit(acc, frames);
    for (std::size_t i = 0; i < 2 * frames; ++i) {
        // The limiter's floor can leave an absurd sum above the ceiling.
        const float s = std::clamp(acc[i], -kSoundOutputCeiling, kSoundOutputCeiling);
        out[i] = static_cast<int16_t>(std::lrint(s));
    }
}

void SoundCore::Limit(float* mix, std::size_t frames) {
    // Both sides share one gain so a loud left does not pull the image right.
    // While the gain is 1 and the mix stays under the ceiling nothing changes.
    // A local copy, since writes through `mix` could otherwise alias it.
    float gain = limiterGain_;
    for (std::size_t i = 0; i < frames; ++i) {
        float& l = mix[2 * i];
        float& r = mix[2 * i + 1];
        const float peak = std::max(std::fabs(l), std::fabs(r));
        if (gain < 1.0f) gain = std::min(1.0f, gain * kLimiterRelease);
        if (peak * gain > kSoundOutputCeiling) gain = std::max(kSoundOutputCeiling / peak, kLimiterFloor);
        if (gain < 1.0f) {
            l *= gain;
            r *= gain;
        }
    }
    limiterGain_ = gain;
}

}  // namespace plat::sound_detail
