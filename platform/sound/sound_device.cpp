#include "platform/sound/sound_device.h"

#include <algorithm>
#include <mutex>

#include "platform/sound/audio_output_internal.h"
#include "platform/sound/sound_core_internal.h"

namespace plat {

namespace {

// The largest buffer the original service accepted; larger requests are
// treated as corrupt sizes rather than attempted.
constexpr uint32_t kMaxBufferBytes = 0x0FFFFFFF;

}  // namespace

std::unique_ptr<SoundDevice> SoundDevice::Create(SoundOutput output) {
    return std::unique_ptr<SoundDevice>(new SoundDevice(output));
}

SoundDevice::SoundDevice(SoundOutput output) : output_(output), core_(std::make_shared<sound_detail::SoundCore>()) {
    if (output_ == SoundOutput::Device) audio_ = std::make_unique<sound_detail::AudioOutput>(core_);
}

SoundDevice::~SoundDevice() = default;

SoundResult SoundDevice::SetCooperativeLevel(NativeWindow* window, SoundCooperation level) {
    if (!window) return kSoundErrInvalidParam;
    if (level != SoundCooperation::Normal && level != SoundCooperation::Priority) return kSoundErrInvalidParam;
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->hasCooperation = true;
    core_->cooperation = level;
    return kSoundOk;
}

SoundResult SoundDevice::CreatePrimaryBuffer(std::unique_ptr<PrimarySoundBuffer>* out) {
    if (!out) return kSoundErrInvalidParam;
    out->reset();
    {
        std::lock_guard<std::mutex> lock(core_->mutex);
        if (!core_->hasCooperation) return kSoundErrInvalidCall;
    }
    out->reset(new PrimarySoundBuffer(core_));
    return kSoundOk;
}

SoundResult SoundDevice::CreateSoundBuffer(const SoundBufferDesc& desc, std::unique_ptr<SoundBuffer>* out) {
    if (!out) return kSoundErrInvalidParam;
    out->reset();
    if (!sound_detail::IsPlayableFormat(desc.format)) return kSoundErrInvalidParam;
    if (desc.bytes < desc.format.blockAlign || desc.bytes > kMaxBufferBytes) return kSoundErrInvalidParam;
    auto data = std::make_shared<sound_detail::SampleData>(desc.format, desc.bytes);
    if (desc.format.bitsPerSample == 8) std::fill(data->bytes.begin(), data->bytes.end(), uint8_t{128});
    out->reset(new SoundBuffer(core_, std::move(data), desc.flags));
    return kSoundOk;
}

SoundResult SoundDevice::DuplicateSoundBuffer(const SoundBuffer& source, std::unique_ptr<SoundBuffer>* out) {
    if (!out) return kSoundErrInvalidParam;
    out->reset();
    if (source.core_ != core_) return kSoundErrInvalidParam;
    auto copy = std::unique_ptr<SoundBuffer>(new SoundBuffer(core_, source.data_, source.flags_));
    int32_t volume = 0, pan = 0;
    uint32_t frequency = 0;
    source.GetVolume(&volume);
    source.GetPan(&pan);
    source.GetFrequency(&frequency);
    copy->SetVolume(volume);
    copy->SetPan(pan);
    copy->SetFrequency(frequency);
    *out = std::move(copy);
    return kSoundOk;
}

void SoundDevice::AttachSource(SoundSource* source) {
    if (!source) return;
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->Attach(source);
}

void SoundDevice::DetachSource(SoundSource* source) {
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->Detach(source);
}

void SoundDevice::SetOutputLevel(uint16_t level) {
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->outputLevelValue = level;
    core_->outputLevel = static_cast<float>(level) / 65535.0f;
}

uint16_t SoundDevice::OutputLevel() const {
    std::lock_guard<std::mutex> lock(core_->mutex);
    return core_->outputLevelValue;
}

bool SoundDevice::Pull(int16_t* out, std::size_t frames) {
    if (output_ != SoundOutput::Manual || !out) return false;
    core_->Mix(out, frames);
    return true;
}

bool SoundDevice::HasAudioDevice() const { return audio_ && audio_->HasDevice(); }

std::string SoundDevice::OutputError() const { return audio_ ? audio_->Error() : std::string(); }

}  // namespace plat
