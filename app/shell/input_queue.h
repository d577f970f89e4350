#pragma once
// The window procedure's input queue: input and window-state messages are
// copied here and handed to the game one at a time at a fixed point of the
// main loop, so every reaction to input runs between updates.
//
// Promises: arrival order is kept; nothing is queued after a close; timer
// ticks and display changes that are already waiting are not queued again.
// Threads: the main thread (the window procedure and the loop both run there).

#include <deque>
#include <optional>

#include "platform/window/messages.h"

// Whether the window procedure hands `id` to the queue at all.
bool IsQueuedInputMessage(uint32_t id);

// The widget tree's click code for a button message: 1 left, 2 left double,
// -1 right, -2 right double, 0 middle; empty for anything else (including the
// ignored middle double-click).
std::optional<int> ClickCodeForButtonDown(uint32_t id);
// The held-buttons bit a button-up clears (1 left, 2 right, 4 middle); 0 otherwise.
int ButtonBitForButtonUp(uint32_t id);

class InputQueue {
public:
    // Applies the coalescing rules; true when the message was queued.
    bool Push(const plat::Message& message);
    std::optional<plat::Message> Pop();
    bool Empty() const { return messages_.empty(); }
    size_t Size() const { return messages_.size(); }
    void Clear() { messages_.clear(); }

private:
    std::deque<plat::Message> messages_;
};
