#include "tests/game/park/park_bench.h"

namespace testsupport {

namespace {

// The log of the bench whose scripts run now; words are plain functions.
std::vector<std::wstring>* currentLog = nullptr;

WordResult LogWord(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    if (!currentLog) return WordResult::kNext;
    std::wstring line = widget.StepAttributeText(L"text");
    if (widget.StepHasAttribute(L"value")) line += L"=" + widget.StepAttributeString(L"value");
    currentLog->push_back(std::move(line));
    return WordResult::kNext;
}

}  // namespace

ParkBench::ParkBench() {
    host.screen.screenW = kScreenWidth;
    host.screen.screenH = kScreenHeight;
    currentLog = &scriptLog;
    ScriptWordTable().Register(WordGroup::kNoObject, L"log", LogWord);
}

ParkBench::~ParkBench() {
    ScriptWordTable().Unregister(WordGroup::kNoObject, L"log");
    currentLog = nullptr;
}

void ParkBench::Advance(int steps) {
    for (int i = 0; i < steps; ++i) {
        mgr.UpdateFrame();
        mgr.UpdateFractionFrame(1.0f);
        host.DeleteDeferred();
    }
}

void ParkBench::PointerMove(int x, int y) { mgr.WindowMouseMove(x, y); }
void ParkBench::PointerDown(int x, int y, int clickCode) { mgr.WindowMouseDown(x, y, clickCode); }
void ParkBench::PointerUp(int x, int y, int clickCode) { mgr.WindowMouseUp(x, y, clickCode); }

std::vector<std::wstring> ParkBench::TakeLog() {
    std::vector<std::wstring> out;
    out.swap(scriptLog);
    return out;
}

}  // namespace testsupport
