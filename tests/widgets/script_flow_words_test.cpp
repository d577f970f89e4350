// Variables and control flow through the managed tree: what the blocks
// run (traced by the test word "note") and what they leave in variables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/system/app_services.h"
#include "tests/widgets/script_words_test_support.h"

namespace {

using testsupport::WordsTest;
using Attributes = WordsTest::Attributes;

using testsupport::Note;
AnimationStep Block(const wchar_t* word, Attributes attributes, std::vector<AnimationStep> children) {
    return WordsTest::Step(word, std::move(attributes), std::move(children));
}

class FlowWordsTest : public WordsTest {
protected:
    std::wstring Run(std::vector<AnimationStep> steps) {
        runner->Variables().erase(L"trace");
        Play(std::move(steps));
        return Trace(*runner);
    }
};

TEST_F(FlowWordsTest, LoopRunsItsCountOrWhileItsConditionHeld) {
    EXPECT_EQ(Run({Block(L"loop", {{L"count", L"0"}}, {Note(L"a")}), Block(L"loop", {{L"count", L"1"}}, {Note(L"b")}),
                   Block(L"loop", {{L"count", L"3"}}, {Note(L"c")})}),
              L"bccc");
    // The run in which the condition turns false is the last.
    EXPECT_EQ(Run({Step(L"define", {{L"k", L"0"}}),
                   Block(L"loop", {{L"cond", L"k < 3"}},
                         {Step(L"assign", {{L"name", L"literal(k)"}, {L"value", L"k + 1"}}), Note(L"k")})}),
              L"123");
    EXPECT_TRUE(runner->IsScriptDone());
    EXPECT_TRUE(runner->Loops().empty());
}

TEST_F(FlowWordsTest, ForCountsUpOrDownWithoutReachingTo) {
    EXPECT_EQ(Run({Block(L"for", {{L"name", L"i"}, {L"from", L"0"}, {L"to", L"3"}}, {Note(L"i")})}), L"012");
    EXPECT_EQ(Var(L"i").ToInt(), 3);
    EXPECT_EQ(Run({Block(L"for", {{L"name", L"i"}, {L"from", L"3"}, {L"to", L"0"}}, {Note(L"i")})}), L"321");
    EXPECT_EQ(Run({Block(L"for", {{L"name", L"i"}, {L"from", L"0"}, {L"to", L"5"}, {L"inc", L"2"}}, {Note(L"i")})}),
              L"024");
    // Without "to", "step" is any expression and "cond" ends the loop.
    EXPECT_EQ(Run({Block(L"for", {{L"name", L"s"}, {L"from", L"1"}, {L"step", L"s * 2"}, {L"cond", L"s < 20"}},
                         {Note(L"s")})}),
              L"124816");
}

TEST_F(FlowWordsTest, ForThatCannotStepSetsItsVariableAndSkipsItsBody) {
    EXPECT_EQ(Run({Block(L"for", {{L"name", L"e"}, {L"from", L"5"}, {L"to", L"5"}}, {Note(L"x")}), Note(L"a")}), L"a");
    EXPECT_EQ(Var(L"e").ToInt(), 5);
    // An increment of 0 never gets anywhere (and would divide by zero counting).
    EXPECT_EQ(Run({Block(L"for", {{L"name", L"z"}, {L"from", L"1"}, {L"to", L"4"}, {L"inc", L"0"}}, {Note(L"x")}),
                   Note(L"b")}),
              L"b");
    EXPECT_EQ(Var(L"z").ToInt(), 1);
    EXPECT_TRUE(runner->IsScriptDone());
}

TEST_F(FlowWordsTest, BreakLeavesEveryBlockOfTheBodyAndContinueSkipsTheRest) {
    EXPECT_EQ(Run({Block(L"loop", {},
                         {Step(L"count"), Block(L"if", {{L"cond", L"n == 3"}}, {Step(L"break"), Note(L"never")}),
                          Note(L"x")}),
                   Note(L"after")}),
              L"xxafter");
    EXPECT_EQ(Count(*runner), 3);
    // The increment is applied once more on the way out.
    Run({Block(L"for", {{L"name", L"i"}, {L"from", L"0"}, {L"to", L"10"}},
               {Block(L"unless", {{L"cond", L"i != 2"}}, {Step(L"break")})})});
    EXPECT_EQ(Var(L"i").ToInt(), 3);
    EXPECT_EQ(Run({Block(L"for", {{L"name", L"i"}, {L"from", L"0"}, {L"to", L"4"}},
                         {Block(L"if", {{L"cond", L"i == 2"}}, {Step(L"continue")}), Note(L"i")})}),
              L"013");
    EXPECT_EQ(Run({Step(L"break"), Step(L"continue"), Note(L"z")}), L"z");
    EXPECT_TRUE(runner->Loops().empty());
}

TEST_F(FlowWordsTest, LoopWithoutChildrenLeavesTheEnclosingLoopIntact) {
    Run({Block(L"loop", {{L"count", L"3"}},
               {Block(L"loop", {{L"count", L"5"}}, {}),
                Block(L"for", {{L"name", L"j"}, {L"from", L"0"}, {L"to", L"9"}}, {}), Step(L"count")})});
    EXPECT_EQ(Count(*runner), 3);
    EXPECT_TRUE(runner->Loops().empty());
}

TEST_F(FlowWordsTest, CallPassesParametersAndReturnsIntoTheLoopBody) {
    Define(L"sub", {Note(L"p"), Block(L"if", {{L"cond", L"1"}}, {Note(L"e")})});
    EXPECT_EQ(Run({Step(L"define", {{L"n", L"0"}}),
                   Block(L"loop", {{L"count", L"2"}},
                         {Step(L"call", {{L"animation", L"sub"}, {L"p", L"n + 7"}}), Step(L"count"), Note(L"d")}),
                   Step(L"call", {{L"animation", L"no_such_animation"}}), Note(L"end")}),
              L"7ed8edend");
    EXPECT_FALSE(runner->Variables().count(L"animation"));
}

TEST_F(FlowWordsTest, CallThatReentersItselfIsCutAtADepthInsteadOfGrowingForEver) {
    Define(L"again", {Step(L"count"), Step(L"call", {{L"animation", L"again"}})});
    Run({Step(L"call", {{L"animation", L"again"}}), Note(L"back")});
    EXPECT_EQ(Trace(*runner), L"back");
    EXPECT_LT(Count(*runner), 100000);
    EXPECT_TRUE(runner->IsScriptDone());
}

TEST_F(FlowWordsTest, StopEndsTheScriptOrStopsAnObjectsChanges) {
    DynamicWidget* box = Object(L"box");
    EXPECT_EQ(
        Run({Step(L"change", {{L"id", L"box"}, {L"property", L"x"}, {L"end", L"10"}}), Step(L"stop", {{L"id", L"box"}}),
             Note(L"a"), Step(L"print", {{L"message", L"a"}}), Step(L"stop"), Note(L"b")}),
        L"a");
    EXPECT_TRUE(box->GetControllers().empty());
    EXPECT_TRUE(runner->IsScriptDone());
}

class Listener : public AnimationListener {
public:
    void AnimationComplete(int id) override { heard.push_back(L"complete " + std::to_wstring(id)); }
    void AnimationSignal(int id, std::wstring_view signal) override {
        heard.push_back(std::wstring(signal) + L" " + std::to_wstring(id));
    }
    std::vector<std::wstring> heard;
};

TEST_F(FlowWordsTest, SignalTellsTheListenerAndCompleteAlsoCompletesAndStopHalts) {
    Listener listener;
    listener.Watch(runner);
    const std::wstring id = std::to_wstring(runner->GetId());
    EXPECT_EQ(Run({Step(L"signal", {{L"message", L"hello"}}), Step(L"signal", {{L"message", L"complete"}}),
                   Step(L"signal", {{L"message", L"bye"}, {L"stop", L"1"}}), Note(L"after")}),
              L"");
    EXPECT_EQ(listener.heard,
              (std::vector<std::wstring>{L"hello " + id, L"complete " + id, L"complete " + id, L"bye " + id}));
    EXPECT_FALSE(runner->IsScriptDone());
    EXPECT_EQ(runner->GetWaitKind(), 0);
    runner->ExecuteSteps(true);
    EXPECT_EQ(Trace(*runner), L"after");
}

TEST_F(FlowWordsTest, DefineAssignAndUndefineTheirOwnAndAnotherWidgetsVariables) {
    auto* other = new AnimationWidget(L"", 0, 0, false);
    runner->RegisterObject(L"other", other);
    Object(L"plain");
    Play({Step(L"define", {{L"b", L"a * 3"}, {L"a", L"1 + 1"}}),
          Step(L"assign", {{L"name", L"literal(c)"}, {L"value", L"b + 1"}}), Step(L"undefine", {{L"name", L"a"}}),
          Step(L"define-in", {{L"id", L"other"}, {L"x", L"b"}, {L"y", L"2"}}),
          Step(L"assign-in", {{L"id", L"other"}, {L"name", L"z"}, {L"value", L"c"}}),
          Step(L"undefine-in", {{L"id", L"other"}, {L"name", L"y"}}),
          Step(L"define-in", {{L"id", L"plain"}, {L"q", L"1"}})});
    EXPECT_EQ(Var(L"b").ToInt(), 6);  // attributes run in name order: "a" first
    EXPECT_EQ(Var(L"c").ToInt(), 7);
    EXPECT_FALSE(runner->Variables().count(L"a"));
    EXPECT_EQ(other->Variables()[L"x"].ToInt(), 6);
    EXPECT_EQ(other->Variables()[L"z"].ToInt(), 7);
    EXPECT_FALSE(other->Variables().count(L"y"));
    EXPECT_FALSE(other->Variables().count(L"id"));
    EXPECT_FALSE(runner->Variables().count(L"q"));
}

class PlayerServices : public NullAppServices {
public:
    VariableMap* PlayerSymbols() override { return hasPlayer ? &symbols : nullptr; }
    VariableMap symbols;
    bool hasPlayer = true;

private:
    ScopedService<AppServices> installed_{this};
};

TEST_F(FlowWordsTest, GlobalVariablesAreThePlayersAndNeedAPlayer) {
    PlayerServices services;
    Play({Step(L"define-global", {{L"g", L"3"}, {L"h", L"4"}}),
          Step(L"assign-global", {{L"name", L"k"}, {L"value", L"global(g) + 1"}}),
          Step(L"undefine-global", {{L"name", L"h"}})});
    EXPECT_EQ(services.symbols[L"g"].ToInt(), 3);
    EXPECT_EQ(services.symbols[L"k"].ToInt(), 4);
    EXPECT_FALSE(services.symbols.count(L"h"));
    EXPECT_FALSE(runner->Variables().count(L"g"));
    services.hasPlayer = false;
    Play({Step(L"define-global", {{L"x", L"1"}}), Step(L"undefine-global", {{L"name", L"g"}}), Step(L"count")});
    EXPECT_EQ(Count(*runner), 1);
}

}  // namespace
