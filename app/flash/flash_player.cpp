#include "app/flash/flash_player.h"

#include <unistd.h>

#include "foundation/system/text.h"

std::unique_ptr<FlashControl> CreateFlashControl() {
    // The control's library ("flash10b.ocx", else "flash.ocx") has no build
    // for this system, so the answer is always the control that is not there.
    return std::make_unique<NoFlashControl>();
}

FlashPlayer::FlashPlayer(FlashListener* listener, ImageSurface* target, std::unique_ptr<FlashControl> control)
    : control_(control ? std::move(control) : std::make_unique<NoFlashControl>()),
      listener_(listener),
      target_(target) {}

bool FlashPlayer::LoadMovie(std::wstring_view path) {
    char folder[4096];
    const std::wstring base = ::getcwd(folder, sizeof folder) ? text::FromUtf8(folder) : std::wstring();
    if (!control_->PutMovie(MakeAbsoluteMoviePath(base, path))) return false;
    // A movie the control takes plays at once; without this state it could never finish.
    if (pauseCount_ == 0) state_ = kPlaying;
    return true;
}

void FlashPlayer::Restart() {
    control_->GotoFrame(0);
    control_->Play();
    if (pauseCount_ == 0 && control_->Installed()) state_ = kPlaying;
}

void FlashPlayer::Pause() {
    ++pauseCount_;
    if (state_ != kFinished) state_ = kIdle;
    if (pauseCount_ == 1) control_->StopPlay();
}

void FlashPlayer::Resume() {
    // A resume without a pause would leave the count below 0 and the next
    // pause would not stop the movie.
    if (pauseCount_ == 0) return;
    if (--pauseCount_ == 0 && state_ != kFinished) {
        state_ = kPlaying;
        control_->Play();
    }
}

void FlashPlayer::Update() {
    if (active_) {
        if (pauseRequest_ && !paused_) {
            Pause();
            paused_ = true;
        } else if (!pauseRequest_ && paused_) {
            Resume();
            paused_ = false;
        }
    }
    if (state_ == kPlaying && !control_->IsPlaying()) {
        state_ = kFinished;
        if (listener_ && pauseCount_ == 0) listener_->MovieFinished();
    }
}

void FlashPlayer::Paint() {
    if (target_ && control_->Installed()) control_->Draw(*target_);
}

long FlashPlayer::OnControlEvent(int dispatchId, const std::vector<FlashEventArgument>& arguments) {
    constexpr int kReadyStateChange = -609, kProgress = 1958;
    if (dispatchId == kFsCommandEvent) {
        if (listener_ && arguments.size() == 2 && arguments[0].isText && arguments[1].isText)
            listener_->FlashCommand(text::ToUtf8(arguments[0].text), text::ToUtf8(arguments[1].text));
        return kEventHandled;
    }
    if (dispatchId == kReadyStateChange || dispatchId == kProgress) return kEventHandled;
    return kEventUnknown;
}

std::wstring MakeAbsoluteMoviePath(std::wstring_view base, std::wstring_view path) {
    if (path.size() >= 2 && path[1] == L':') return std::wstring(path);
    const wchar_t separator = base.find(L'\\') != std::wstring_view::npos ? L'\\' : L'/';
    std::wstring out(base);
    while (out.size() > 1 && (out.back() == L'/' || out.back() == L'\\')) out.pop_back();
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of(L"\\/", start);
        if (end == std::wstring_view::npos) end = path.size();
        const std::wstring_view part = path.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == L".") continue;
        if (part == L"..") {
            // Never above the base's root.
            const size_t last = out.find_last_of(L"\\/");
            if (last != std::wstring::npos && last > 0)
                out.erase(last);
            else if (last == 0)
                out.erase(1);
            continue;
        }
        if (out.empty() || (out.back() != L'/' && out.back() != L'\\')) out += separator;
        out += part;
    }
    return out;
}
