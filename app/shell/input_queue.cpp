#include "app/shell/input_queue.h"

#include <algorithm>

namespace msg = plat::msg;

bool IsQueuedInputMessage(uint32_t id) {
    switch (id) {
        case msg::kMove:
        case msg::kSize:
        case msg::kClose:
        case msg::kActivateApp:
        case msg::kSysColorChange:
        case msg::kDisplayChange:
        case msg::kKeyDown:
        case msg::kKeyUp:
        case msg::kChar:
        case msg::kSysKeyDown:
        case msg::kSysKeyUp:
        case msg::kTimer:
        case msg::kMouseWheel: return true;
        default: return id >= msg::kMouseMove && id <= msg::kMButtonDblClk;
    }
}

std::optional<int> ClickCodeForButtonDown(uint32_t id) {
    switch (id) {
        case msg::kLButtonDown: return 1;
        case msg::kLButtonDblClk: return 2;
        case msg::kRButtonDown: return -1;
        case msg::kRButtonDblClk: return -2;
        case msg::kMButtonDown: return 0;
        default: return std::nullopt;
    }
}

int ButtonBitForButtonUp(uint32_t id) {
    switch (id) {
        case msg::kLButtonUp: return 1;
        case msg::kRButtonUp: return 2;
        case msg::kMButtonUp: return 4;
        default: return 0;
    }
}

bool InputQueue::Push(const plat::Message& message) {
    if (!messages_.empty()) {
        const uint32_t last = messages_.back().id;
        if (last == msg::kClose) return false;
        if (message.id == msg::kTimer && last == msg::kTimer) return false;
        if (message.id == msg::kSysColorChange || message.id == msg::kDisplayChange) {
            bool waiting = std::any_of(messages_.begin(), messages_.end(), [](const plat::Message& m) {
                return m.id == msg::kSysColorChange || m.id == msg::kDisplayChange;
            });
            if (waiting) return false;
        }
    }
    messages_.push_back(message);
    return true;
}

std::optional<plat::Message> InputQueue::Pop() {
    if (messages_.empty()) return std::nullopt;
    plat::Message front = messages_.front();
    messages_.pop_front();
    return front;
}
