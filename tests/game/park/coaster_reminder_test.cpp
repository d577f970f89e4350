// The roller coaster's cars and pace, and the reminders' icon and arrow.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <set>

#include "foundation/expression/constants_map.h"
#include "game/park/buildings/roller_coaster.h"
#include "game/park/people/reminder.h"
#include "tests/game/park/park_grid_bench.h"
#include "tests/game/park/shipped_park.h"
#include "widgets/script/animation_stats.h"

namespace {

using testsupport::LevelBuilder;

class Coaster : public testsupport::ParkGridBench {
protected:
    Coaster() {
        std::ofstream("properties/items.xml") << R"(<items><rides>
            <building type="roller_coaster" buycost="500" capacity="8">AAA AAA</building>
            <building type="kiddie_coaster" buycost="300" capacity="4">AA AA</building>
            <building type="hut" buycost="100">AA AA</building>
        </rides></items>)";
        items.Load();
        Define(L"roller_coaster_cars", {Step(L"log", {{L"text", L"cars"}, {L"value", L"type"}})});
    }
};

TEST_F(Coaster, ItsCarsAndItsThreeActions) {
    EnterPark(LevelBuilder(12, 12, L'_')
                  .Item(L"roller_coaster", 5, 5, 1)
                  .Item(L"kiddie_coaster", 9, 9, 1)
                  .Item(L"hut", 2, 2, 1),
              0);
    auto* coaster = dynamic_cast<RollerCoaster*>(grid->Items()[0]);
    ASSERT_NE(coaster, nullptr);
    EXPECT_NE(dynamic_cast<RollerCoaster*>(grid->Items()[1]), nullptr);
    EXPECT_EQ(dynamic_cast<RollerCoaster*>(grid->Items()[2]), nullptr);
    ASSERT_NE(coaster->Cars(), nullptr);
    EXPECT_EQ(coaster->Cars()->GetParent(), coaster);
    EXPECT_TRUE(static_cast<AnimationListener&>(*coaster).IsWatching(coaster->Cars()));
    Advance();
    EXPECT_EQ(TakeLog(), (std::vector<std::wstring>{L"cars=roller_coaster", L"cars=kiddie_coaster"}));

    // Each action, then the steps run: the target speed, the clock, the fade time.
    struct Case {
        const wchar_t *action, *parameter;
        int steps;
        float speed, timer, fade;
    };
    const Case cases[] = {
        {L"set_speed", L"2", 0, 2.0f, 2.0f, 100.0f},
        {L"set_fade_time", L"0", 0, 2.0f, 2.0f, 100.0f},
        {L"set_fade_time", L"40", 0, 2.0f, 2.0f, 40.0f},
        {L"accelerate", L"-0.5", 20, 1.5f, 1.75f, 40.0f},
        {L"accelerate", L"1.5", 20, 3.0f, 2.375f, 40.0f},  // from where the clock stood
        {L"accelerate", L"0", 40, 3.0f, 3.0f, 40.0f},
        {L"accelerate", L"1", 0, 4.0f, 3.0f, 40.0f},
        {L"set_speed", L"0.5", 50, 0.5f, 0.5f, 40.0f},  // the change under way stops
        {L"play", L"7", 0, 0.5f, 0.5f, 40.0f},
        {L"set_fade_time", L"fast", 0, 0.5f, 0.5f, 40.0f},
    };
    for (const Case& c : cases) {
        coaster->DoAction(c.action, c.parameter, 0);
        Advance(c.steps);
        EXPECT_FLOAT_EQ(coaster->Speed(), c.speed) << c.action << " " << c.parameter;
        EXPECT_NEAR(coaster->timer, c.timer, 0.05f) << c.action << " " << c.parameter;
        EXPECT_FLOAT_EQ(coaster->FadeTime(), c.fade) << c.action << " " << c.parameter;
    }
}

// The shipped coaster on the first park with the game's own scripts. One
// coaster stands in a view drawn as painted, a twin in a view drawn mirrored;
// both start together, so the twin's train must be the mirror image of the
// first at every step: across the picture's middle (the cars' cel is 64
// wide, the picture 264), facing the mirrored way.
class ShippedCoaster : public testsupport::ShippedPark {
protected:
    static constexpr float kPictureW = 264.0f, kPictureH = 238.0f, kCelW = 64.0f;
    // The train's ground point in its cel.
    static constexpr float kFootX = 32.0f, kFootY = 37.0f;

    ShippedCoaster() {
        images.Add(L"roller_coaster", static_cast<int>(kPictureW), static_cast<int>(kPictureH));
        images.Add(L"roller_coaster_cars", static_cast<int>(kCelW), 48, 1, 4);
        AnimationStats loaded(false);
    }
};

TEST_F(ShippedCoaster, TheTrainGoesOnceRoundAtTheCoastersPaceAndAMirroredCoasterMirrorsIt) {
    // The cars' script is shipped; the legs it calls show in the ride.
    ASSERT_TRUE(AnimationExists(L"roller_coaster_cars"));
    EnterPark();
    auto* coaster = dynamic_cast<RollerCoaster*>(grid->CreateAndPlaceBuilding(L"roller_coaster", 14, 6, 1, L""));
    auto* twin = dynamic_cast<RollerCoaster*>(grid->CreateAndPlaceBuilding(L"roller_coaster", 24, 6, 2, L""));
    ASSERT_TRUE(coaster && twin && coaster->Cars() && twin->Cars());
    ASSERT_FALSE(coaster->GetProperty(L"flip_x").ToBool());
    ASSERT_TRUE(twin->GetProperty(L"flip_x").ToBool());
    AnimationWidget& cars = *coaster->Cars();
    const AnimationWidget& mirror = *twin->Cars();
    Advance();  // the train is set at the station

    // The ride: the train's way round the middle of the picture, the views it
    // showed, its pace against the coaster's clock, and how long it stood.
    const auto foot = [&] { return std::pair{cars.GetX() + kFootX, cars.GetY() + kFootY}; };
    const std::pair<float, float> station = foot();
    float turned = 0.0f, top = kPictureH, clockAtTop = 0.0f, highestClock = 0.0f, fastest = 0.0f;
    float lastAngle = std::atan2(station.second - kPictureH * 0.6f, station.first - kPictureW * 0.5f);
    std::set<int> views;
    int stood = 0, mismatches = 0, tooFast = 0, outside = 0;
    bool away = false;
    for (int step = 0; step < 3000 && !(away && foot() == station); ++step) {
        const auto [x0, y0] = foot();
        const float clock = coaster->timer;
        Advance();
        const auto [x, y] = foot();
        const float travelled = std::hypot(x - x0, y - y0);
        away |= travelled > 0.0f;
        stood += travelled == 0.0f;
        highestClock = std::max(highestClock, clock);
        if (y < top) {
            top = y;
            clockAtTop = coaster->timer;
        }
        fastest = std::max(fastest, travelled);
        // No leg runs faster than 2 pixels per update at pace 1.
        tooFast += travelled > 2.0f * std::max(clock, coaster->timer) + 0.01f;
        outside += x < 0.0f || x > kPictureW || y < 0.0f || y > kPictureH;
        mismatches += std::abs(cars.GetX() + mirror.GetX() - (kPictureW - kCelW)) > 0.01f ||
                      std::abs(cars.GetY() - mirror.GetY()) > 0.01f || cars.GetFrame() + mirror.GetFrame() != 3;
        views.insert(cars.GetFrame());
        const float angle = std::atan2(y - kPictureH * 0.6f, x - kPictureW * 0.5f);
        float delta = angle - lastAngle;
        if (delta > 3.1415927f) delta -= 6.2831853f;
        if (delta < -3.1415927f) delta += 6.2831853f;
        turned += delta;
        lastAngle = angle;
    }
    EXPECT_TRUE(away);
    EXPECT_EQ(foot(), station);
    EXPECT_NEAR(std::abs(turned), 6.2831853f, 0.01f);  // once round, back at the station
    EXPECT_GE(stood, 100);                             // boarding
    EXPECT_EQ(views, (std::set<int>{0, 1, 2, 3}));
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(tooFast, 0);
    EXPECT_EQ(outside, 0);
    // Hauled up the lift slowly, fast down the drop.
    EXPECT_LT(top, kPictureH * 0.25f);
    EXPECT_LT(clockAtTop, 0.5f);
    EXPECT_GT(highestClock, 2.0f);
    EXPECT_GT(fastest, 3.0f);

    // Turned into the other view, the cars are told at once and board again
    // at the station, facing the mirrored way out (up-left, 3, seen
    // mirrored), where the twin still faces the way it came in.
    const int cameIn = mirror.GetFrame();
    coaster->SetOrientation(2);
    Advance(2);
    EXPECT_TRUE(cars.GetLocalVariable(L"mirrored").ToBool());
    EXPECT_EQ(foot(), station);
    EXPECT_EQ(cars.GetFrame(), 0);
    EXPECT_EQ(mirror.GetFrame(), cameIn);
}

class Reminders : public testsupport::ParkGridBench {
protected:
    Reminders() {
        images.Add(L"icon", 24, 24);
        images.Add(L"arrow", 20, 20);
        EnterPark(LevelBuilder(40, 40, L'_'), 0);
        grid->Move(-100.0f, -50.0f);
    }
    ~Reminders() override {
        for (const wchar_t* name :
             {L"reminder_bounds_x", L"reminder_bounds_y", L"reminder_bounds_width", L"reminder_bounds_height"})
            ConstantsMap().erase(name);
    }
    Reminder* Add(float x, float y) {
        return grid->AddReminder(L"r", x, y, dynamic_cast<Image*>(images.FindImageByName(L"icon")),
                                 dynamic_cast<Image*>(images.FindImageByName(L"arrow")), L"reminder");
    }
};

// Where the reminder stands and which way its arrow points, for targets
// inside the area and off each side of it, and the area from the constants.
TEST_F(Reminders, ClampedToTheAreaWithTheArrowTowardsTheTarget) {
    struct Case {
        const char* name;
        float x, y;  // the target in the grid's pixels
        float atX, atY;
        bool arrow;
        float angle;
    };
    // The grid sits at (-100, -50); the arrow's half height is 10, the icon's 12.
    const Case cases[] = {
        {"inside", 600.0f, 450.0f, 500.0f, 388.0f, false, 0.0f},
        {"far right", 5000.0f, 450.0f, 1014.0f, 388.0f, true, -90.0f},
        {"far left", -3000.0f, 450.0f, 10.0f, 388.0f, true, 90.0f},
        {"straight below", 600.0f, 5000.0f, 500.0f, 758.0f, true, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reminder* r = Add(c.x, c.y);
        ASSERT_NE(r, nullptr);
        r->Update();
        EXPECT_FLOAT_EQ(r->GetX(), c.atX);
        EXPECT_FLOAT_EQ(r->GetY(), c.atY);
        EXPECT_EQ(r->Arrow()->IsVisible(), c.arrow);
        if (c.arrow) {
            EXPECT_NEAR(r->Arrow()->angle, c.angle, 0.5f);
        }
    }
    // One id, one reminder: the last one replaced the earlier ones.
    EXPECT_EQ(display.widget.GetChildren().size(), 1u);
    grid->RemoveReminder(L"r");
    EXPECT_EQ(grid->FindReminder(L"r"), nullptr);
    EXPECT_TRUE(display.widget.GetChildren().empty());

    // Only the constants defined replace their defaults; an area narrower than
    // the arrow keeps the reminder in its middle.
    ConstantsMap()[L"reminder_bounds_width"] = PropertyValue::FromInt(300);
    Reminder* r = Add(5000.0f, 5000.0f);
    EXPECT_EQ(r->Bounds(), (FRect{0.0f, 0.0f, 300.0f, 768.0f}));
    r->Update();
    EXPECT_FLOAT_EQ(r->GetX(), 290.0f);
    ConstantsMap()[L"reminder_bounds_x"] = PropertyValue::FromInt(50);
    ConstantsMap()[L"reminder_bounds_width"] = PropertyValue::FromInt(6);
    r = Add(5000.0f, 5000.0f);
    r->Update();
    EXPECT_FLOAT_EQ(r->GetX(), 53.0f);
}

}  // namespace
