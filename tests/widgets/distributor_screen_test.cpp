// The distributor screen: a picture fitted to the screen, ended by time or
// by a late left click.
#include <gtest/gtest.h>

#include "rendering/image/image_data.h"
#include "rendering/imagefile/image_files.h"
#include "tests/platform/temp_folder.h"
#include "tests/widgets/startup_screens_test_support.h"
#include "tests/widgets/widget_test_support.h"
#include "widgets/screens/distributor_screen.h"

using namespace testsupport;

namespace {

struct FitCase {
    int pw, ph, sw, sh;
    Rect expected;
};

class FitPictureTest : public ::testing::TestWithParam<FitCase> {};

// The expectation: the largest rectangle of the picture's shape inside the
// screen, centred; computed here from the two scale factors.
TEST_P(FitPictureTest, KeepsTheAspectRatioAndCentres) {
    const FitCase& c = GetParam();
    EXPECT_EQ(FitPicture(c.pw, c.ph, c.sw, c.sh), c.expected);
    const Rect r = FitPicture(c.pw, c.ph, c.sw, c.sh);
    const double scale = std::min(double(c.sw) / c.pw, double(c.sh) / c.ph);
    EXPECT_NEAR(r.w, c.pw * scale, 1.0);
    EXPECT_NEAR(r.h, c.ph * scale, 1.0);
    EXPECT_NEAR(r.x, (c.sw - r.w) / 2.0, 0.5);
    EXPECT_NEAR(r.y, (c.sh - r.h) / 2.0, 0.5);
}

INSTANTIATE_TEST_SUITE_P(Table, FitPictureTest,
                         ::testing::Values(FitCase{1280, 720, 800, 600, Rect(0, 75, 800, 450)},
                                           FitCase{800, 800, 800, 600, Rect(100, 0, 600, 600)},
                                           FitCase{640, 480, 800, 600, Rect(0, 0, 800, 600)},
                                           FitCase{300, 900, 1024, 768, Rect(384, 0, 256, 768)}));

class DistributorScreenTest : public ManagerTest {
protected:
    DistributorScreen* Show(const std::string& path) {
        auto* screen = new DistributorScreen(path);
        mgr.AddWidget(screen);
        return screen;
    }
    std::string Picture(int w, int h) {
        ImageData image;
        EXPECT_TRUE(image.Allocate(w, h, true));
        const std::string path = folder / "picture.png";
        EXPECT_TRUE(WritePNGImage(path, image));
        return path;
    }

    TempFolder folder;
    SplashCounter splash;
};

TEST_F(DistributorScreenTest, AClickCountsOnlyAfter100UpdatesAndTimeEndsItAfter400) {
    DistributorScreen* screen = Show(Picture(1280, 720));
    EXPECT_EQ(screen->GetWidth(), 800);
    EXPECT_EQ(screen->Destination(), Rect(0, 75, 800, 450));
    for (int i = 0; i < 100; ++i) mgr.UpdateFrame();
    mgr.WindowMouseDown(10, 10, 1);
    EXPECT_EQ(splash.nextScreens, 0);
    mgr.UpdateFrame();
    mgr.WindowMouseDown(10, 10, -1);
    EXPECT_EQ(splash.nextScreens, 0);
    mgr.WindowMouseDown(12, 10, 1);
    EXPECT_EQ(splash.nextScreens, 1);
}

TEST_F(DistributorScreenTest, EndsOnItsOwnAfterMoreThan400Updates) {
    DistributorScreen* screen = Show(Picture(100, 100));
    for (int i = 0; i < 400; ++i) mgr.UpdateFrame();
    EXPECT_EQ(splash.nextScreens, 0);
    mgr.UpdateFrame();
    EXPECT_EQ(splash.nextScreens, 1);
    EXPECT_EQ(screen->GetParent(), nullptr);
    mgr.UpdateFrame();
    EXPECT_EQ(splash.nextScreens, 1);
}

TEST_F(DistributorScreenTest, WithoutAPictureItEndsAsSoonAsItIsShown) {
    DistributorScreen* screen = Show(folder / "missing");
    EXPECT_EQ(splash.nextScreens, 1);
    EXPECT_EQ(screen->GetParent(), nullptr);
}

}  // namespace
