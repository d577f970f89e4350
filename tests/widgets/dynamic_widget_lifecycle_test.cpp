// Ownership and links of a dynamic widget: private and writable images, the
// removal listener, and signals passed up to an animation listener.

#include <gtest/gtest.h>

#include <random>

#include "dynamic_widget_test_support.h"
#include "widget_test_support.h"

using namespace testsupport;

namespace {

class DynamicLifecycleTest : public ::testing::Test {
protected:
    FakeHost host;
    WidgetManager mgr;
};

TEST_F(DynamicLifecycleTest, WritableImageIsAPrivateCopyThatLeavesTheSharedImageAlone) {
    auto shared = testsupport::SolidImage(8, 4, 0xFF102030, 1, 2);
    DynamicWidget w(0, 0, shared.get(), 1.0f);
    ImageSurface* mine = w.GetWritableImage();
    ASSERT_NE(mine, nullptr);
    EXPECT_NE(mine, shared.get());
    EXPECT_TRUE(w.IsImagePrivate());
    EXPECT_EQ(w.GetImage(), mine);
    EXPECT_EQ(mine->GetCelWidth(), 4);
    EXPECT_EQ(mine->GetPixel(1, 1, 1), 0xFF102030u);
    mine->GetBits()[0] = 0xFFFFFFFF;
    EXPECT_EQ(shared->GetBits()[0], 0xFF102030u);
    EXPECT_EQ(w.GetWritableImage(), mine);  // already private: no second copy
}

// Setting the image a widget already owns must not free it under itself.
TEST_F(DynamicLifecycleTest, SettingTheOwnPrivateImageAgainKeepsItAlive) {
    auto shared = testsupport::SolidImage(4, 4, 0xFF102030);
    DynamicWidget w(0, 0, shared.get(), 1.0f);
    ImageSurface* mine = w.GetWritableImage();
    w.SetImage(mine);
    EXPECT_EQ(w.GetImage(), mine);
    EXPECT_EQ(mine->GetPixel(0, 0, 0), 0xFF102030u);
    EXPECT_TRUE(w.IsImagePrivate());  // still the widget's to free
    w.SetImage(shared.get());
    EXPECT_FALSE(w.IsImagePrivate());
}

// A duplicate of the widget's own private image shares its pixels, so that
// image must not be freed while the duplicate lives.
TEST_F(DynamicLifecycleTest, MakingAPrivateImagePrivateAgainKeepsItsPixels) {
    auto shared = testsupport::SolidImage(4, 4, 0xFF405060);
    DynamicWidget w(0, 0, shared.get(), 1.0f);
    w.MakeImagePrivate();
    ASSERT_TRUE(w.IsImagePrivate());
    Image* first = w.GetImage();
    EXPECT_NE(first, shared.get());
    w.MakeImagePrivate();
    EXPECT_EQ(w.GetImage(), first);
    EXPECT_EQ(w.GetImage()->GetPixel(2, 2, 0), 0xFF405060u);
}

// An empty cache image would swallow the subtree it stands for.
TEST(DynamicCacheWithoutHost, NoScreenSizeMakesNoCache) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    w.SetCache(true, true);
    EXPECT_EQ(w.GetCache(), nullptr);
}

class DynamicRemovalRecorder : public RemovalListener {
public:
    void WidgetRemoved(int id) override { removed.push_back(id); }
    std::vector<int> removed;
};

TEST_F(DynamicLifecycleTest, RemovalWithDeletionTellsTheListenerOnceButAKeptRemovalDoesNot) {
    DynamicRemovalRecorder holder;
    auto* kept = new DynamicWidget(0, 0, nullptr, 1.0f);
    auto* doomed = new DynamicWidget(0, 0, nullptr, 1.0f);
    mgr.AddWidget(kept);
    mgr.AddWidget(doomed);
    kept->SetRemovalListener(&holder);
    doomed->SetRemovalListener(&holder);
    kept->RemoveSelfKeep();
    EXPECT_TRUE(holder.removed.empty());
    doomed->RemoveSelf();
    EXPECT_EQ(holder.removed, std::vector<int>{doomed->GetId()});
    EXPECT_FALSE(holder.IsWatching(doomed));
    host.DeleteDeferred();
    delete kept;
    EXPECT_EQ(holder.CountWatched(), 0u);
}

class SignalParent : public DynamicWidget {
public:
    SignalParent() : DynamicWidget(0, 0, nullptr, 1.0f) {}
    void AnimationSignal(int id, std::wstring_view signal) override { signals.emplace_back(id, std::wstring(signal)); }
    std::vector<std::pair<int, std::wstring>> signals;
};

TEST_F(DynamicLifecycleTest, SignalsArePassedUpUnchangedToTheParent) {
    auto* top = new SignalParent;
    auto* middle = new DynamicWidget(0, 0, nullptr, 1.0f);
    mgr.AddWidget(top);
    top->AddWidget(middle);
    middle->AnimationSignal(42, L"door_open");
    ASSERT_EQ(top->signals.size(), 1u);
    EXPECT_EQ(top->signals[0].first, 42);
    EXPECT_EQ(top->signals[0].second, L"door_open");
    // Without a listening parent a signal goes nowhere.
    DynamicWidget alone(0, 0, nullptr, 1.0f);
    alone.AnimationSignal(1, L"x");
    top->RemoveSelf();
    host.DeleteDeferred();
}

// Whether a widget has nothing of its own to draw is kept beside its first
// fields, where the draw walk reads it: every change of what it hangs on
// must renew it.
class BlankProbe : public DynamicWidget {
public:
    BlankProbe() : DynamicWidget(0, 0, nullptr, 1.0f) {}
    using DynamicWidget::HasNothingToDraw;
};

TEST_F(DynamicLifecycleTest, NothingToDrawFollowsImageCachePostRenderAndTransformUnderRandomChanges) {
    auto image = testsupport::SolidImage(4, 4, 0xFF102030);
    BlankProbe w;
    bool transform = false;
    int postRender = 0;
    std::mt19937 random(77u);
    for (int change = 0; change < 400; ++change) {
        switch (random() % 5) {
            case 0: w.SetImage(random() % 2 ? image.get() : nullptr); break;
            case 1: w.SetCache(random() % 2 != 0, random() % 2 != 0); break;
            case 2: w.SetPostRender(postRender = static_cast<int>(random() % 3)); break;
            case 3: w.SetTransformChildren(transform = random() % 2 != 0); break;
            default:  // not animating: the modes are reset at once
                w.ResetModesWhenDone(true);
                transform = false;
                postRender = 0;
        }
        const bool blank = !w.GetImage() && !w.GetCache() && postRender == 0 && !transform;
        ASSERT_EQ(w.HasNothingToDraw(), blank) << "change " << change;
    }
}

}  // namespace
