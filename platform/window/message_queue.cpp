// The message queue: translated input and posted messages in arrival order,
// then the quit message, then paint and timer messages, which are made only
// when nothing else waits (so a busy queue is never flooded by them).
#include <algorithm>
#include <cwctype>

#include "platform/window/event_translate_internal.h"
#include "platform/window/window_internal.h"

namespace plat {

void WindowSystem::PumpSdlEvents() {
    if (!ready_) return;
    SDL_PumpEvents();
    const EventTranslator::Lookup lookup = [this](uint32_t sdlId) {
        TranslateTarget t;
        t.window = FromSdlId(sdlId);
        if (const WindowRecord* rec = Find(t.window)) {
            t.doubleClicks = (rec->classStyle & kClassDoubleClicks) != 0;
            GetClientSize(t.window, &t.clientWidth, &t.clientHeight);
        }
        return t;
    };
    std::vector<Message> out;
    SDL_Event e;
    while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
        out.clear();
        translator_->Translate(e, lookup, Now(), out);
        for (const Message& m : out) Enqueue(m);
    }
}

// Keeps the window records in step with what the desktop reported, at the
// moment it reported it (as a minimised window is minimised before its size
// message is read).
void WindowSystem::Enqueue(const Message& m) {
    if (m.window == kBroadcast) {
        std::vector<WindowHandle> all;
        for (const auto& entry : windows_) all.push_back(entry.first);
        for (WindowHandle w : all) {
            Message copy = m;
            copy.window = w;
            Enqueue(copy);
        }
        return;
    }
    WindowRecord* rec = Find(m.window);
    if (!rec) return;
    std::lock_guard<std::mutex> hold(lock_);
    switch (m.id) {
        case msg::kPaint: rec->needsPaint = true; return;  // made when the queue is empty
        case msg::kActivate:
            if (m.wParam & 0xFFFF)
                active_ = m.window;
            else if (active_ == m.window)
                active_ = kNoWindow;
            break;
        case msg::kSize:
            rec->minimised = m.wParam == kSizeMinimized;
            rec->maximised = m.wParam == kSizeMaximized;
            if (!rec->minimised && LowSigned(static_cast<uint32_t>(m.lParam)) > 0) {
                rec->rect.width = LowSigned(static_cast<uint32_t>(m.lParam));
                rec->rect.height = HighSigned(static_cast<uint32_t>(m.lParam));
            }
            if (m.wParam == kSizeRestored) rec->normal = rec->rect;
            break;
        case msg::kMove:
            if (!rec->minimised) {
                rec->rect.x = LowSigned(static_cast<uint32_t>(m.lParam));
                rec->rect.y = HighSigned(static_cast<uint32_t>(m.lParam));
                if (!rec->maximised) rec->normal = rec->rect;
            }
            break;
        default:
            if (m.id >= msg::kMouseMove && m.id <= msg::kMouseWheel) {
                pointerScreenX_ = rec->rect.x + LowSigned(static_cast<uint32_t>(m.lParam));
                pointerScreenY_ = rec->rect.y + HighSigned(static_cast<uint32_t>(m.lParam));
            }
            break;
    }
    queue_.push_back(m);
}

bool WindowSystem::PeekMessage(Message* message, bool remove) {
    if (!message) return false;
    PumpSdlEvents();
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (queueHead_ < queue_.size()) {
            *message = queue_[queueHead_];
            if (remove && ++queueHead_ == queue_.size()) {
                queue_.clear();
                queueHead_ = 0;
            }
            return true;
        }
        if (quitPending_) {
            *message = Message{kNoWindow, msg::kQuit, static_cast<WParam>(quitCode_), 0, Now()};
            if (remove) quitPending_ = false;
            return true;
        }
    }
    return NextGenerated(message, remove);
}

bool WindowSystem::NextGenerated(Message* message, bool remove) {
    for (const auto& [handle, rec] : windows_) {
        if (rec->needsPaint) {
            // Stays pending until the window is validated, however often it is read.
            *message = Message{handle, msg::kPaint, 0, 0, Now()};
            return true;
        }
    }
    const uint64_t now = SDL_GetTicks64();
    Timer* due = nullptr;
    for (Timer& t : timers_)
        if (t.due <= now && (!due || t.due < due->due)) due = &t;
    if (!due) return false;
    *message = Message{due->window, msg::kTimer, due->id, 0, Now()};
    // A late timer fires once, not once per missed interval.
    if (remove) due->due = now + due->interval;
    return true;
}

bool WindowSystem::GetMessage(Message* message) {
    if (!message) return false;
    for (;;) {
        if (PeekMessage(message, true)) return message->id != msg::kQuit;
        // Wake for the next timer, and often enough to see messages posted by
        // other threads, which do not wake SDL.
        uint64_t wait = 10;
        const uint64_t now = SDL_GetTicks64();
        for (const Timer& t : timers_) wait = std::min<uint64_t>(wait, t.due > now ? t.due - now : 0);
        if (ready_)
            SDL_WaitEventTimeout(nullptr, static_cast<int>(wait));
        else
            SDL_Delay(static_cast<uint32_t>(wait));
    }
}

LResult WindowSystem::DispatchMessage(const Message& message) {
    return SendMessage(message.window, message.id, message.wParam, message.lParam);
}

LResult WindowSystem::SendMessage(WindowHandle window, uint32_t message, WParam wParam, LParam lParam) {
    WindowRecord* rec = Find(window);
    if (!rec) return 0;
    // A copy: the procedure may destroy its own window.
    WindowProc procedure = rec->procedure;
    return procedure(window, message, wParam, lParam);
}

bool WindowSystem::PostMessage(WindowHandle window, uint32_t message, WParam wParam, LParam lParam) {
    std::wstring forwardName;
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (window == kBroadcast) {
            for (const auto& entry : windows_) queue_.push_back(Message{entry.first, message, wParam, lParam, Now()});
            if (message >= msg::kFirstRegistered && message - msg::kFirstRegistered < registeredNames_.size())
                forwardName = registeredNames_[message - msg::kFirstRegistered];
        } else {
            if (window != kNoWindow && !Find(window)) return false;
            queue_.push_back(Message{window, message, wParam, lParam, Now()});
        }
    }
    if (!forwardName.empty() && forwarder_) forwarder_(forwardName, wParam, lParam);
    return true;
}

void WindowSystem::PostQuitMessage(int exitCode) {
    std::lock_guard<std::mutex> hold(lock_);
    quitPending_ = true;
    quitCode_ = exitCode;
}

LResult WindowSystem::DefWindowProc(WindowHandle window, uint32_t message, WParam wParam, LParam) {
    switch (message) {
        case msg::kClose: DestroyWindow(window); return 0;
        case msg::kSysKeyDown:
            if (wParam == vk::kF1 + 3) SendMessage(window, msg::kSysCommand, kScClose, 0);  // Alt+F4
            return 0;
        case msg::kSysCommand:
            if ((wParam & 0xFFF0) == kScClose) SendMessage(window, msg::kClose, 0, 0);
            if ((wParam & 0xFFF0) == kScMinimize) ShowWindow(window, ShowCommand::Minimize);
            if ((wParam & 0xFFF0) == kScRestore) ShowWindow(window, ShowCommand::Restore);
            return 0;
        case msg::kPaint: ValidateWindow(window); return 0;
        case msg::kQueryOpen: return 1;
        default: return 0;
    }
}

uint32_t WindowSystem::RegisterWindowMessage(std::wstring_view name) {
    if (name.empty()) return 0;
    std::wstring key(name);
    for (wchar_t& c : key) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    std::lock_guard<std::mutex> hold(lock_);
    if (auto it = registered_.find(key); it != registered_.end()) return it->second;
    if (registeredNames_.size() > msg::kLastRegistered - msg::kFirstRegistered) return 0;
    const uint32_t id = msg::kFirstRegistered + static_cast<uint32_t>(registeredNames_.size());
    registered_.emplace(key, id);
    registeredNames_.emplace_back(name);
    return id;
}

void WindowSystem::SetBroadcastForwarder(BroadcastForwarder forwarder) { forwarder_ = std::move(forwarder); }

bool WindowSystem::ReceiveBroadcast(std::wstring_view name, WParam wParam, LParam lParam) {
    std::wstring key(name);
    for (wchar_t& c : key) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    std::lock_guard<std::mutex> hold(lock_);
    auto it = registered_.find(key);
    // Nobody here registered the name, so nobody listens for it.
    if (it == registered_.end()) return false;
    // Delivered here only: sending it on again would bounce between processes.
    for (const auto& entry : windows_) queue_.push_back(Message{entry.first, it->second, wParam, lParam, Now()});
    return true;
}

bool WindowSystem::SetTimer(WindowHandle window, uint32_t id, uint32_t intervalMs) {
    if (!Find(window)) return false;
    const uint32_t interval = std::max<uint32_t>(intervalMs, 1);
    const uint64_t due = SDL_GetTicks64() + interval;
    for (Timer& t : timers_) {
        if (t.window == window && t.id == id) {
            t.interval = interval;
            t.due = due;
            return true;
        }
    }
    timers_.push_back(Timer{window, id, interval, due});
    return true;
}

bool WindowSystem::KillTimer(WindowHandle window, uint32_t id) {
    auto it =
        std::find_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.window == window && t.id == id; });
    if (it == timers_.end()) return false;
    timers_.erase(it);
    return true;
}

void WindowSystem::InvalidateWindow(WindowHandle window) {
    if (WindowRecord* rec = Find(window)) rec->needsPaint = true;
}

void WindowSystem::ValidateWindow(WindowHandle window) {
    if (WindowRecord* rec = Find(window)) rec->needsPaint = false;
}

bool WindowSystem::InjectEvent(const SDL_Event& event) {
    if (!ready_) return false;
    SDL_Event copy = event;
    return SDL_PushEvent(&copy) == 1;
}

}  // namespace plat
