// The application's wiring: while it lives, each layer's own entry points
// reach the application's implementations; once it ends, every layer answers
// through its null implementation again.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/flash/flash_widget.h"
#include "app/services/service_wiring.h"
#include "rendering/device/d3d_interface.h"
#include "tests/rendering/device_test_support.h"
#include "widgets/tree/widget.h"
#include "widgets/tree/widget_manager.h"

namespace {

// One object answering for all three layers, as the application base does.
class TestApplication : public NullAppServices, public NullDeviceHost, public NullWidgetHost {
public:
    // Foundation.
    int FindSoundId(std::wstring_view name) override { return name == L"Button" ? 3 : -1; }
    void ShowFatalError(std::string_view message) override { boxes.emplace_back(message); }

    // Rendering.
    bool FindCursorHotspot(std::wstring_view name, int* x, int* y) override {
        if (name != L"hand") return false;
        *x = 2;
        *y = 3;
        return true;
    }
    CursorHandle CreateCursor(const uint32_t*, int, int, int, int) override { return 7; }
    void SetWindowCursor(CursorHandle cursor) override { windowCursor = cursor; }

    // Widget tree.
    int GetCursorKind() const override { return cursorKind; }
    void SetCursorKind(int kind) override { cursorKind = kind; }
    int GetPauseCount() const override { return pauseCount; }

    std::vector<std::string> boxes;
    CursorHandle windowCursor = 0;
    int cursorKind = 0;
    int pauseCount = 0;
};

TEST(ServiceWiring, EveryLayerReachesTheApplicationWhileWired) {
    TestApplication app;
    ServiceWiring wiring(app, app, app);

    EXPECT_EQ(FindSoundId(L"Button"), 3);
    ShowFatalError("disk on fire");
    EXPECT_EQ(app.boxes, std::vector<std::string>{"disk on fire"});

    // A device wrapper made without a host binds the installed one.
    D3DInterface device;
    testsupport::FakeImage hand(L"hand", 4, 4, true);
    bool software = true;
    EXPECT_FALSE(device.SetCursorImage(&hand, &software));
    EXPECT_FALSE(software);
    EXPECT_EQ(app.windowCursor, 7u);

    WidgetManager manager;
    auto* button = new Widget;
    button->Resize(10, 10, 20, 20);
    button->SetMouseVisible(true);
    button->SetHandCursor(true);
    manager.AddWidget(button);
    manager.WindowMouseMove(15, 15);
    EXPECT_EQ(app.cursorKind, 1);
    app.pauseCount = 1;
    EXPECT_TRUE(button->IsPaused());
    button->RemoveSelf();
    EXPECT_EQ(app.Deferred(), std::vector<Widget*>{button});
    app.DeleteDeferred();
}

TEST(ServiceWiring, AfterTheWiringEndsTheNullImplementationsAnswer) {
    TestApplication app;
    app.pauseCount = 1;
    { ServiceWiring wiring(app, app, app); }
    EXPECT_EQ(Service<AppServices>::Installed(), nullptr);
    EXPECT_EQ(Service<DeviceHost>::Installed(), nullptr);
    EXPECT_EQ(Service<WidgetHost>::Installed(), nullptr);

    EXPECT_EQ(FindSoundId(L"Button"), -1);
    EXPECT_EQ(Service<DeviceHost>::Get().ScreenWidth(), 0);
    WidgetManager manager;
    auto* button = new Widget;
    manager.AddWidget(button);
    EXPECT_FALSE(button->IsPaused());
    button->RemoveSelf();
    EXPECT_TRUE(app.Deferred().empty());  // the tree's own list took it
    manager.UpdateFrame();
}

}  // namespace

TEST(ServiceWiring, AudioIsReachableOnlyWhileWired) {
    TestApplication app;
    NullSoundManager sounds;
    TrackInterface tracks;
    ServiceWiring wiring(app, app, app);
    EXPECT_EQ(&Service<SoundManager>::Get(), &SoundManager::Fallback());
    wiring.WireAudio(sounds, tracks);
    EXPECT_EQ(&Service<SoundManager>::Get(), &sounds);
    EXPECT_EQ(&Service<TrackInterface>::Get(), &tracks);
    wiring.UnwireAudio();
    EXPECT_EQ(Service<SoundManager>::Installed(), nullptr);
    EXPECT_EQ(&Service<TrackInterface>::Get(), &TrackInterface::Fallback());
}

TEST(ServiceWiring, ScriptMoviesAreFlashWidgetsOnlyWhileWired) {
    TestApplication app;
    {
        ServiceWiring wiring(app, app, app);
        std::unique_ptr<DynamicWidget> movie(
            Service<MovieMaker>::Get().MakeMovieWidget(L"intro", 30, 40, 64, 32, true));
        auto* flash = dynamic_cast<FlashWidget*>(movie.get());
        ASSERT_NE(flash, nullptr);
        EXPECT_FLOAT_EQ(flash->GetX(), 30.0f);
        EXPECT_FLOAT_EQ(flash->GetY(), 40.0f);
        EXPECT_EQ(flash->GetWidth(), 64);
        EXPECT_EQ(flash->GetHeight(), 32);
    }
    EXPECT_EQ(Service<MovieMaker>::Get().MakeMovieWidget(L"intro", 0, 0, 8, 8, false), nullptr);
}
