// The roller coaster's cars and pace, and the reminders' icon and arrow.
#include <gtest/gtest.h>

#include <fstream>

#include "foundation/expression/constants_map.h"
#include "game/park/buildings/roller_coaster.h"
#include "game/park/people/reminder.h"
#include "tests/game/park/park_grid_bench.h"

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
