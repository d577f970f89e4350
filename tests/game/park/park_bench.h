#pragma once
// The park's test bench: a widget manager on a 1024 x 768 screen, scene
// scripts the test defines (ScriptTest's Define and Step), and a step driver
// that does what the main loop does each fixed step: one fixed update, then
// the per-frame pass at 1.0, which advances tweens and script waits, then
// the deletion of the widgets removed meanwhile.
//
// Scripts may write to the bench's event log with the word "log": its
// "text" as written, then "=" and its evaluated "value" when it has one; so
// the order of scripts across many widgets shows in one list. The grid, its items, persons and the park are tested on
// it.

#include <string>
#include <vector>

#include "tests/widgets/script_test_support.h"

namespace testsupport {

class ParkBench : public ScriptTest {
public:
    static constexpr int kScreenWidth = 1024;
    static constexpr int kScreenHeight = 768;

protected:
    ParkBench();
    ~ParkBench() override;

    // `steps` fixed steps, each followed by the per-frame pass.
    void Advance(int steps = 1);

    // The left button (click code 1; 2 a double click, -1 the right button)
    // and the pointer, in screen pixels.
    void PointerMove(int x, int y);
    void PointerDown(int x, int y, int clickCode = 1);
    void PointerUp(int x, int y, int clickCode = 1);

    // What scripts wrote with "log", taken out.
    std::vector<std::wstring> TakeLog();

    std::vector<std::wstring> scriptLog;
};

// A "log" step: the bench's log records its text.
inline AnimationStep Log(const wchar_t* text) { return ParkBench::Step(L"log", {{L"text", text}}); }

}  // namespace testsupport
