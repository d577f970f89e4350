// The words that start animations, remove objects, set when-done actions,
// show notice menus and pass actions up, run through a managed tree.
#include <gtest/gtest.h>

#include "foundation/expression/localization_map.h"
#include "tests/widgets/menu_test_support.h"
#include "widgets/screens/notice_menu.h"

namespace {

class AnimationWordsTest : public testsupport::MenuTest {
protected:
    // The script widget registered as `id` by the running widget.
    static AnimationWidget* Object(AnimationWidget& w, const wchar_t* id) {
        auto it = w.Variables().find(id);
        return it == w.Variables().end() ? nullptr : it->second.ToWidget<AnimationWidget>();
    }
    std::vector<NoticeMenu*> Notices() const {
        std::vector<NoticeMenu*> notices;
        for (const auto& [id, menu] : menus.open)
            if (auto* notice = dynamic_cast<NoticeMenu*>(menu)) notices.push_back(notice);
        return notices;
    }
};

TEST_F(AnimationWordsTest, PlayStartsAChildWithItsParametersAndItRemovesItselfByDefault) {
    Define(L"child", {Step(L"note", {{L"text", L"greeting"}}), Step(L"halt")});
    Define(L"quick", {Step(L"note", {{L"text", L"done"}})});
    Define(L"main", {Step(L"play", {{L"animation", L"missing"}, {L"id", L"ghost"}}),
                     Step(L"play", {{L"animation", L"child"},
                                    {L"id", L"kid"},
                                    {L"x", L"5"},
                                    {L"y", L"2 * 3"},
                                    {L"depth", L"4"},
                                    {L"greeting", L"literal(hi)"}}),
                     Step(L"play", {{L"animation", L"quick"}, {L"id", L"gone"}}),
                     Step(L"play", {{L"animation", L"quick"}, {L"id", L"kept"}, {L"remove", L"0"}})});
    auto* widget = new AnimationWidget(L"main", 0, 0, false);
    mgr.AddWidget(widget);
    EXPECT_EQ(Object(*widget, L"ghost"), nullptr);
    AnimationWidget* kid = Object(*widget, L"kid");
    ASSERT_NE(kid, nullptr);
    EXPECT_EQ(Trace(*kid), L"hi");  // the parameter was there before its first step
    EXPECT_EQ(kid->GetX(), 5);
    EXPECT_EQ(kid->GetY(), 6);
    EXPECT_EQ(kid->GetPriority(), 4);
    EXPECT_FALSE(kid->Variables().count(L"depth"));
    EXPECT_EQ(widget->RunningAnimations().count(kid->GetId()), 1u);
    EXPECT_EQ(Object(*widget, L"gone"), nullptr);  // finished and removed
    AnimationWidget* kept = Object(*widget, L"kept");
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->GetParent(), widget);
    EXPECT_EQ(widget->RunningAnimations().size(), 2u);  // kid and the finished but kept one
}

TEST_F(AnimationWordsTest, SpawnWorksInTheSameLayerOnACopyOfTheVariables) {
    Define(L"counter", {Step(L"count"), Step(L"halt")});
    Define(L"main", {Step(L"make", {{L"name", L"box"}}), Step(L"count"),
                     Step(L"spawn", {{L"animation", L"counter"}, {L"id", L"twin"}, {L"extra", L"3"}})});
    auto* widget = new AnimationWidget(L"main", 0, 0, false);
    mgr.AddWidget(widget);
    AnimationWidget* twin = Object(*widget, L"twin");
    ASSERT_NE(twin, nullptr);
    EXPECT_EQ(Count(*widget), 1);
    EXPECT_EQ(Count(*twin), 2);
    EXPECT_EQ(twin->Variables()[L"extra"].ToInt(), 3);
    EXPECT_EQ(twin->Variables()[L"self"].ToWidget<AnimationWidget>(), twin);
    auto* box = twin->Variables()[L"box"].ToWidget<DynamicWidget>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(twin->GetLayer(), widget->GetLayer());
    // The copy refers to the spawner's object only while it lives.
    box->RemoveSelf();
    host.DeleteDeferred();
    EXPECT_EQ(twin->Variables()[L"box"].ToWidget<DynamicWidget>(), nullptr);
}

TEST_F(AnimationWordsTest, PlayInReplacesTheTargetsScriptAndLoadAfterWaitsForTheEnd) {
    Define(L"idle", {Step(L"halt")});
    Define(L"wave", {Step(L"note", {{L"text", L"how"}})});
    Define(L"later", {Step(L"note", {{L"text", L"later"}})});
    Define(L"main",
           {Step(L"play", {{L"animation", L"idle"}, {L"id", L"kid"}, {L"remove", L"0"}}),
            Step(L"load-after", {{L"animation", L"later"}}),
            Step(L"play-in", {{L"id", L"kid"}, {L"animation", L"wave"}, {L"how", L"literal(hello)"}}),
            Step(L"play-in", {{L"id", L"nobody"}, {L"animation", L"wave"}}), Step(L"note", {{L"text", L"main"}})});
    auto* widget = new AnimationWidget(L"main", 0, 0, false);
    mgr.AddWidget(widget);
    AnimationWidget* kid = Object(*widget, L"kid");
    ASSERT_NE(kid, nullptr);
    EXPECT_EQ(Trace(*kid), L"hello");
    EXPECT_EQ(Trace(*widget), L"mainlater");
}

TEST_F(AnimationWordsTest, WhenDoneActsAtOnceOnAStillObjectAndRemoveTakesItAway) {
    Define(L"main", {Step(L"make", {{L"name", L"a"}}), Step(L"make", {{L"name", L"b"}}),
                     Step(L"when-done", {{L"id", L"a"}, {L"hide", L"1"}}), Step(L"halt"),
                     Step(L"remove", {{L"id", L"a"}}), Step(L"when-done", {{L"id", L"b"}, {L"remove", L"1"}})});
    auto* widget = new AnimationWidget(L"main", 0, 0, false);
    mgr.AddWidget(widget);
    auto* a = widget->Variables()[L"a"].ToWidget<DynamicWidget>();
    ASSERT_NE(a, nullptr);
    EXPECT_FALSE(a->IsVisible());
    widget->ExecuteSteps(true);
    EXPECT_TRUE(widget->Objects().empty());
    EXPECT_FALSE(widget->Variables().count(L"a"));
    EXPECT_FALSE(widget->Variables().count(L"b"));
}

TEST_F(AnimationWordsTest, ANoticeMenuHoldsTheScriptWithItsMenuUnpausableUntilItCloses) {
    LocalizationMap()[L"oops_title"] = L"Oops";
    Define(L"notice_menu", {Step(L"halt")});
    Define(L"main", {Step(L"notice-menu", {{L"text", L"literal(oops)"}}), Step(L"note", {{L"text", L"after"}})});
    Menu* menu = OpenMenu(L"main");
    std::vector<NoticeMenu*> notices = Notices();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0]->Variables()[L"title"].ToString(), L"Oops");
    EXPECT_EQ(Trace(*menu), L"");
    EXPECT_EQ(menu->GetWaitKind(), AnimationWidget::kNoticeMenu);
    EXPECT_FALSE(menu->IsPausable());  // it runs on while the notice holds the focus
    EXPECT_FALSE(menu->IsPaused());

    notices[0]->SetUseIntro(false);
    notices[0]->DoAction(L"close", L"", 0);
    EXPECT_TRUE(Notices().empty());
    EXPECT_EQ(Trace(*menu), L"after");
    EXPECT_TRUE(menu->IsPausable());
    LocalizationMap().erase(L"oops_title");
}

TEST_F(AnimationWordsTest, ASecondNoticeReplacesTheFirstAndContinueDoesNotWait) {
    Define(L"notice_menu", {Step(L"halt")});
    Define(L"main", {Step(L"notice-menu", {{L"text", L"literal(a)"}, {L"continue", L"1"}}),
                     Step(L"notice-menu", {{L"text", L"literal(b)"}, {L"unpause", L"0"}})});
    Menu* menu = OpenMenu(L"main");
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(menu->GetWaitKind(), AnimationWidget::kRunning);  // halted, no wait
    Notices()[0]->SetUseIntro(false);
    menu->ExecuteSteps(true);
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(menu->GetNoticeMenu(), Notices()[0]);
    EXPECT_EQ(menu->GetWaitKind(), AnimationWidget::kNoticeMenu);
    EXPECT_TRUE(menu->IsPausable());  // unpause="0" leaves it alone
}

TEST_F(AnimationWordsTest, WithoutAnApplicationANoticeIsDroppedAndTheScriptGoesOn) {
    NullMenuHost bare;
    ScopedService<MenuHost> installed(&bare);
    Define(L"main", {Step(L"notice-menu", {{L"text", L"literal(x)"}}), Step(L"note", {{L"text", L"on"}})});
    auto* widget = new AnimationWidget(L"main", 0, 0, false);
    mgr.AddWidget(widget);
    EXPECT_EQ(Trace(*widget), L"on");
    EXPECT_EQ(widget->GetNoticeMenu(), nullptr);
}

TEST_F(AnimationWordsTest, DoPassesTheActionUpToTheDialog) {
    Define(L"closer", {Step(L"do", {{L"action", L"close"}})});
    auto* dialog = new DialogMenu(nullptr);
    dialog->SetUseIntro(false);
    menus.AddMenu(dialog);
    dialog->RegisterObject(L"closer", new AnimationWidget(L"closer", 0, 0, false));
    EXPECT_FALSE(IsOpen(dialog));
}

}  // namespace
