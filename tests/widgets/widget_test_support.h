#pragma once
// Doubles for the widget tests: a host with a deferred-deletion list and an
// 800 x 600 screen, a recording drawing sink, and a widget that logs every
// callback.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "tests/rendering/device_test_support.h"
#include "widgets/tree/graphics_sink.h"
#include "widgets/tree/widget.h"
#include "widgets/tree/widget_host.h"
#include "widgets/tree/widget_manager.h"

namespace testsupport {

using EventLog = std::vector<std::string>;

// Records the cursor kind and answers the pause counter the test sets;
// removed widgets wait in the inherited list. The application's screen is
// `screen`. Both are installed while the host lives.
class FakeHost : public NullWidgetHost {
public:
    FakeHost() {
        screen.screenW = 800;
        screen.screenH = 600;
    }
    // While still installed, so the deletions' own removals queue here too.
    ~FakeHost() override { DeleteDeferred(); }
    int GetCursorKind() const override { return cursor; }
    void SetCursorKind(int kind) override { cursor = kind; }
    int GetPauseCount() const override { return pauseCount; }

    int cursor = 0;
    int pauseCount = 0;
    testsupport::FakeDeviceHost screen;

private:
    ScopedService<WidgetHost> installed_{this};
};

// Contexts are tokens the sink hands out; the tree never looks inside them.
// Installed while it lives.
class RecordingSink : public GraphicsSink {
public:
    void PushState(Graphics* g) override { Log(g, "push"); }
    void RestoreState(Graphics* g) override { Log(g, "restore"); }
    void PopState(Graphics* g) override { Log(g, "pop"); }
    void Translate(Graphics* g, float dx, float dy) override {
        Log(g, "translate " + std::to_string(int(dx)) + "," + std::to_string(int(dy)));
    }
    void ClipRect(Graphics* g, float x, float y, int w, int h) override {
        Log(g, "clip " + std::to_string(int(x)) + "," + std::to_string(int(y)) + "," + std::to_string(w) + "," +
                   std::to_string(h));
    }
    void SetBatching(Graphics* g, bool on) override { Log(g, on ? "batch on" : "batch off"); }
    void OffsetDrawOrder(Graphics* g, int d) override { Log(g, "order " + std::to_string(d)); }
    void SetOffscreen(Graphics* g, bool on) override { Log(g, on ? "offscreen on" : "offscreen off"); }
    Graphics* CopyContext(Graphics* g) override {
        Graphics* copy = NewContext();
        Log(g, "copy to #" + std::to_string(Index(copy)));
        return copy;
    }
    Graphics* BeginScreen(ImageSurface*) override {
        Graphics* screen = NewContext();
        Log(screen, "begin screen");
        return screen;
    }
    void EndContext(Graphics* g) override { Log(g, "end"); }

    // "#n op" lines, n numbering contexts in creation order.
    EventLog ops;
    int Index(Graphics* g) const {
        for (size_t i = 0; i < contexts_.size(); ++i)
            if (reinterpret_cast<const Graphics*>(&contexts_[i]) == g) return int(i);
        return -1;
    }

private:
    Graphics* NewContext() {
        contexts_.push_back(0);  // a deque never moves its elements
        return reinterpret_cast<Graphics*>(&contexts_.back());
    }
    void Log(Graphics* g, const std::string& op) {
        std::string line = "#";
        line += std::to_string(Index(g));
        line += ' ';
        line += op;
        ops.push_back(std::move(line));
    }

    std::deque<char> contexts_;
    ScopedService<GraphicsSink> installed_{this};
};

class ProbeWidget : public Widget {
public:
    ProbeWidget(EventLog* log, std::string name, float x = 0, float y = 0, int w = 0, int h = 0)
        : log_(log), name_(std::move(name)) {
        Resize(x, y, w, h);
        mouseVisible_ = true;
    }
    ~ProbeWidget() override {
        if (destroyed) ++*destroyed;
        if (onDestroy) onDestroy();
    }

    void Update() override {
        Log("update");
        if (onUpdate) onUpdate();
    }
    void UpdateFraction(float fraction) override { Log("fraction " + std::to_string(int(fraction * 100))); }
    void Draw(Graphics* g) override {
        Log(g ? "draw" : "draw null");
        if (onDraw) onDraw();
    }
    void DrawOverlayPriority(Graphics*, int priority) override { Log("overlay " + std::to_string(priority)); }
    void GotFocus() override {
        Widget::GotFocus();
        Log("got_focus");
    }
    void LostFocus() override {
        Widget::LostFocus();
        Log("lost_focus");
    }
    void KeyDown(int key) override {
        Log("key_down " + std::to_string(key));
        Widget::KeyDown(key);
    }
    void KeyUp(int key) override { Log("key_up " + std::to_string(key)); }
    void MouseEnter() override { Log("enter"); }
    void MouseLeave() override { Log("leave"); }
    void MouseMove(int x, int y) override { Log("move " + Pt(x, y)); }
    void MouseButtonDown(int x, int y, int button, int count) override {
        Log("down " + Pt(x, y) + " b" + std::to_string(button) + " n" + std::to_string(count));
    }
    void MouseButtonUp(int x, int y, int button, int count) override {
        Log("up " + Pt(x, y) + " b" + std::to_string(button) + " n" + std::to_string(count));
    }
    void MouseDrag(int x, int y) override {
        Log("drag " + Pt(x, y));
        if (onDrag) onDrag();
    }
    void MouseWheel(int notches) override { Log("wheel " + std::to_string(notches)); }
    bool HitTest(float x, float y) override {
        ++hitTests;
        return Widget::HitTest(x, y);
    }
    void AddedToManager(WidgetManager* m) override {
        Widget::AddedToManager(m);
        if (onAdded) onAdded();
    }

    const std::string& Name() const { return name_; }

    std::function<void()> onUpdate, onDraw, onDrag, onAdded, onDestroy;
    int* destroyed = nullptr;
    int hitTests = 0;

private:
    static std::string Pt(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
    void Log(const std::string& what) {
        if (log_) log_->push_back(name_ + ":" + what);
    }
    EventLog* log_;
    std::string name_;
};

// A manager on a fake host, with probe widgets logging into one event log.
class ManagerTest : public ::testing::Test {
protected:
    ProbeWidget* Add(WidgetContainer& parent, const char* name, float x, float y, int w, int h) {
        auto* p = new ProbeWidget(&log, name, x, y, w, h);
        parent.AddWidget(p);
        return p;
    }
    EventLog Take() {
        EventLog out;
        out.swap(log);
        return out;
    }

    EventLog log;
    FakeHost host;
    WidgetManager mgr;
};

}  // namespace testsupport
