#include "platform/sound/sound_buffer.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <utility>

#include "platform/sound/sound_core_internal.h"

namespace plat {

using sound_detail::SoundCore;
using sound_detail::Voice;

namespace {

// Bytes written back per hold of the mixer's lock, so filling a large buffer
// never keeps the output waiting for more than a few microseconds.
constexpr std::size_t kWriteBackChunk = 64 * 1024;

}  // namespace

SoundBuffer::SoundBuffer(std::shared_ptr<SoundCore> core, std::shared_ptr<sound_detail::SampleData> data,
                         uint32_t flags)
    : core_(std::move(core)), data_(std::move(data)), voice_(std::make_unique<Voice>()), flags_(flags) {
    const SoundFormat& f = data_->format;
    voice_->data = data_->bytes.data();
    voice_->frames = static_cast<uint32_t>(data_->bytes.size() / f.blockAlign);
    voice_->channels = f.channels;
    voice_->bits = f.bitsPerSample;
    frequency_ = f.samplesPerSec;
    voice_->step = sound_detail::FrequencyToStep(frequency_);
    ApplyGains();  // not yet shared with the mixer: no lock needed
}

SoundBuffer::~SoundBuffer() {
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->Halt(*voice_);
}

SoundResult SoundBuffer::GetFormat(SoundFormat* out) const {
    if (!out) return kSoundErrInvalidParam;
    *out = data_->format;
    return kSoundOk;
}

uint32_t SoundBuffer::Bytes() const { return static_cast<uint32_t>(data_->bytes.size()); }

SoundResult SoundBuffer::Lock(uint32_t offset, uint32_t bytes, uint32_t flags, SoundLock* out) {
    if (!out) return kSoundErrInvalidParam;
    *out = SoundLock{};
    if (locked_) return kSoundErrInvalidCall;
    const uint32_t size = Bytes();
    if (flags & kSoundLockFromWriteCursor) {
        SoundPosition pos;
        GetCurrentPosition(&pos);
        offset = pos.write;
    }
    if (flags & kSoundLockEntireBuffer) bytes = size;
    if (offset >= size || bytes == 0 || bytes > size) return kSoundErrInvalidParam;

    const uint32_t bytes1 = std::min(bytes, size - offset);
    const uint32_t bytes2 = bytes - bytes1;
    lockCopy_.resize(bytes);
    {
        std::lock_guard<std::mutex> copy(data_->copyMutex);
        std::memcpy(lockCopy_.data(), data_->bytes.data() + offset, bytes1);
        std::memcpy(lockCopy_.data() + bytes1, data_->bytes.data(), bytes2);
    }
    locked_ = true;
    lockOffset_ = offset;
    lockBytes1_ = bytes1;
    out->part1 = lockCopy_.data();
    out->bytes1 = bytes1;
    if (bytes2 > 0) {
        out->part2 = lockCopy_.data() + bytes1;
        out->bytes2 = bytes2;
    }
    return kSoundOk;
}

SoundResult SoundBuffer::Unlock(const SoundLock& written) {
    if (!locked_) return kSoundErrInvalidCall;
    const uint32_t lockBytes2 = static_cast<uint32_t>(lockCopy_.size()) - lockBytes1_;
    if (written.part1 != lockCopy_.data() || written.bytes1 > lockBytes1_ || written.bytes2 > lockBytes2) {
        return kSoundErrInvalidParam;
    }
    if (written.bytes2 > 0 && written.part2 != lockCopy_.data() + lockBytes1_) return kSoundErrInvalidParam;

    // The mixer may be reading these bytes right now: each piece is written
    // with its lock held.
    auto writeBack = [this](uint32_t at, const uint8_t* from, uint32_t count) {
        while (count > 0) {
            const uint32_t n = static_cast<uint32_t>(std::min<std::size_t>(count, kWriteBackChunk));
            {
                std::lock_guard<std::mutex> lock(core_->mutex);
                std::memcpy(data_->bytes.data() + at, from, n);
            }
            at += n;
            from += n;
            count -= n;
        }
    };
    {
        std::lock_guard<std::mutex> copy(data_->copyMutex);
        writeBack(lockOffset_, lockCopy_.data(), written.bytes1);
        writeBack(0, lockCopy_.data() + lockBytes1_, written.bytes2);
    }
    locked_ = false;
    std::vector<uint8_t>().swap(lockCopy_);  // a static buffer's copy would double its memory
    return kSoundOk;
}

SoundResult SoundBuffer::Play(uint32_t flags) {
    std::lock_guard<std::mutex> lock(core_->mutex);
    voice_->looping = (flags & kSoundPlayLooping) != 0;
    core_->Start(*voice_);
    return kSoundOk;
}

SoundResult SoundBuffer::Stop() {
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->Halt(*voice_);
    return kSoundOk;
}

SoundResult SoundBuffer::GetStatus(uint32_t* out) const {
    if (!out) return kSoundErrInvalidParam;
    std::lock_guard<std::mutex> lock(core_->mutex);
    *out = 0;
    if (voice_->playing) *out = kSoundStatusPlaying | (voice_->looping ? kSoundStatusLooping : 0u);
    return kSoundOk;
}

SoundResult SoundBuffer::SetCurrentPosition(uint32_t byteOffset) {
    if (byteOffset >= Bytes()) return kSoundErrInvalidParam;
    const uint64_t frame = byteOffset / data_->format.blockAlign;
    std::lock_guard<std::mutex> lock(core_->mutex);
    voice_->position = frame << 32;
    return kSoundOk;
}

SoundResult SoundBuffer::GetCurrentPosition(SoundPosition* out) const {
    if (!out) return kSoundErrInvalidParam;
    uint64_t frame;
    {
        std::lock_guard<std::mutex> lock(core_->mutex);
        frame = voice_->position >> 32;
    }
    out->play = static_cast<uint32_t>(frame * data_->format.blockAlign);
    out->write = out->play;
    return kSoundOk;
}

SoundResult SoundBuffer::SetVolume(int32_t hundredthsDb) {
    if (hundredthsDb < kSoundVolumeMin || hundredthsDb > kSoundVolumeMax) return kSoundErrInvalidParam;
    std::lock_guard<std::mutex> lock(core_->mutex);
    volume_ = hundredthsDb;
    ApplyGains();
    return kSoundOk;
}

SoundResult SoundBuffer::GetVolume(int32_t* out) const {
    if (!out) return kSoundErrInvalidParam;
    *out = volume_;
    return kSoundOk;
}

SoundResult SoundBuffer::SetPan(int32_t pan) {
    if (pan < kSoundPanLeft || pan > kSoundPanRight) return kSoundErrInvalidParam;
    std::lock_guard<std::mutex> lock(core_->mutex);
    pan_ = pan;
    ApplyGains();
    return kSoundOk;
}

SoundResult SoundBuffer::GetPan(int32_t* out) const {
    if (!out) return kSoundErrInvalidParam;
    *out = pan_;
    return kSoundOk;
}

SoundResult SoundBuffer::SetFrequency(uint32_t hz) {
    if (hz == kSoundFrequencyOriginal) hz = data_->format.samplesPerSec;
    if (hz < kSoundFrequencyMin || hz > kSoundFrequencyMax) return kSoundErrInvalidParam;
    std::lock_guard<std::mutex> lock(core_->mutex);
    frequency_ = hz;
    voice_->step = sound_detail::FrequencyToStep(hz);
    return kSoundOk;
}

SoundResult SoundBuffer::GetFrequency(uint32_t* out) const {
    if (!out) return kSoundErrInvalidParam;
    *out = frequency_;
    return kSoundOk;
}

void SoundBuffer::ApplyGains() { sound_detail::PanToGains(volume_, pan_, &voice_->gainLeft, &voice_->gainRight); }

PrimarySoundBuffer::PrimarySoundBuffer(std::shared_ptr<SoundCore> core) : core_(std::move(core)) {}

PrimarySoundBuffer::~PrimarySoundBuffer() = default;

SoundResult PrimarySoundBuffer::SetFormat(const SoundFormat& format) {
    std::lock_guard<std::mutex> lock(core_->mutex);
    if (!core_->hasCooperation || core_->cooperation != SoundCooperation::Priority) return kSoundErrInvalidCall;
    if (!sound_detail::IsPlayableFormat(format)) return kSoundErrInvalidParam;
    core_->primaryFormat = format;
    return kSoundOk;
}

SoundResult PrimarySoundBuffer::GetFormat(SoundFormat* out) const {
    if (!out) return kSoundErrInvalidParam;
    std::lock_guard<std::mutex> lock(core_->mutex);
    *out = core_->primaryFormat;
    return kSoundOk;
}

}  // namespace plat
