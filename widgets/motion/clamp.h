#pragma once
// Clamp: holds fields inside limits on top of their base values (and of the
// oscillations on them). Apply saves each field and limits it; Restore puts
// the saved value back, so the base value is never lost. Where the lower
// limit lies above the upper one, the upper wins. Whenever either moves a
// field, the widget is refreshed with the clamp's change bits, so what was
// derived from the field (the composed transform, the picture) follows.
// Main thread only.

#include <cstdint>
#include <string>
#include <vector>

class DynamicWidget;

struct ClampTarget {
    float* field;
    float lower;
    float upper;
};

// Change bits of a clamp made without them: its fields may be any
// properties, so every kind of refresh is asked for.
inline constexpr uint32_t kEveryChange = ~uint32_t{0};

class Clamp {
public:
    // An empty name becomes "clamp%d" from a process-wide counter.
    Clamp(std::wstring name, DynamicWidget* widget, std::vector<ClampTarget> targets,
          uint32_t changeBits = kEveryChange);
    Clamp(const Clamp&) = delete;
    Clamp& operator=(const Clamp&) = delete;
    virtual ~Clamp() = default;

    void Apply();
    // Puts the values saved by the latest Apply back; nothing before the first Apply.
    void Restore();

    const std::wstring& GetName() const { return name_; }

private:
    std::wstring name_;
    DynamicWidget* widget_;
    std::vector<ClampTarget> targets_;
    std::vector<float> saved_;
    uint32_t changeBits_;
    bool applied_ = false;
};
