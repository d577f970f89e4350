// A compiled text keeps where it found each name; these pin that it notices
// every way the names of a map can change between two evaluations, against
// the reference evaluator, which looks every name up afresh.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "expression_fixture.h"
#include "foundation/system/app_services.h"
#include "reference_expression.h"

namespace {

using testsupport::ReferenceExpressionEvaluator;

const wchar_t* const kTexts[] = {
    L"state * 10",
    L"defined(state) + 0",
    L"constant(fade_time) + 1",
    L"state == 2 && timer > constant(fade_time) * 0.5 && min(count, 3) >= 2",
    L"label + state",
    L"-timer",
    L"globaldefined(hint) + defined(hint)",
};

// The player's symbols, which globaldefined() reads.
class SymbolsApp : public NullAppServices {
public:
    VariableMap* PlayerSymbols() override { return &symbols; }
    VariableMap symbols;
};

class ExpressionCache : public testsupport::ExpressionTest {
protected:
    void ExpectAllSame(const std::string& after) {
        ReferenceExpressionEvaluator reference(vars_);
        for (const wchar_t* text : kTexts) {
            PropertyValue expected = reference.Evaluate(text);
            PropertyValue actual = evaluator_.Evaluate(text);
            EXPECT_EQ(static_cast<int>(actual.GetTag()), static_cast<int>(expected.GetTag()))
                << text::ToUtf8(text) << " after " << after;
            EXPECT_EQ(actual.ToString(), expected.ToString()) << text::ToUtf8(text) << " after " << after;
        }
    }

    // What the reference evaluator makes of `text` with the same variables.
    std::wstring Reference(std::wstring_view text) {
        ReferenceExpressionEvaluator reference(vars_);
        return reference.Evaluate(text).ToString();
    }

    static VariableMap Other() {
        return {{L"state", PropertyValue(7)}, {L"timer", PropertyValue(L"late")}, {L"fade_time", PropertyValue(3)}};
    }
};

TEST_F(ExpressionCache, EveryChangeOfNamesBetweenEvaluationsIsSeen) {
    SymbolsApp app;
    ScopedService<AppServices> installed(&app);
    ConstantsMap()[L"fade_time"] = PropertyValue(50);
    vars_ = {{L"state", PropertyValue(2)}, {L"timer", PropertyValue(37.5f)}, {L"count", PropertyValue(4)}};
    VariableMap spare = Other();
    const std::vector<std::pair<std::string, std::function<void()>>> changes = {
        {"a value written in place", [&] { vars_[L"state"] = PropertyValue(L"two"); }},
        {"a name erased", [&] { vars_.erase(L"state"); }},
        {"a name entered by operator[]", [&] { vars_[L"state"] = PropertyValue(2.0f); }},
        {"an entry erased through its iterator", [&] { vars_.erase(vars_.find(L"timer")); }},
        {"a name entered by emplace", [&] { vars_.emplace(L"timer", PropertyValue(12)); }},
        {"a variable shadowing a constant", [&] { vars_.insert_or_assign(L"fade_time", PropertyValue(L"count")); }},
        {"the shadow gone", [&] { vars_.erase(L"fade_time"); }},
        {"a constant defined later", [&] { ConstantsMap()[L"fade_time"] = PropertyValue(80); }},
        {"a constant removed", [&] { ConstantsMap().erase(L"fade_time"); }},
        {"a global defined later", [&] { app.symbols[L"hint"] = PropertyValue(1); }},
        {"a global removed", [&] { app.symbols.erase(L"hint"); }},
        {"a name entered by try_emplace", [&] { vars_.try_emplace(L"label", PropertyValue(L"up")); }},
        {"a swap", [&] { vars_.swap(spare); }},
        {"a swap back", [&] { std::swap(vars_, spare); }},
        {"a copy assigned", [&] { vars_ = Other(); }},
        {"a move assigned",
         [&] {
             VariableMap moved = {{L"count", PropertyValue(1)}, {L"state", PropertyValue(2)}};
             vars_ = std::move(moved);
         }},
        {"moved from", [&] { spare = std::move(vars_); }},
        {"refilled", [&] { vars_.insert(spare.begin(), spare.end()); }},
        {"cleared", [&] { vars_.clear(); }},
    };
    ExpectAllSame("the start");
    for (const auto& [what, change] : changes) {
        change();
        ExpectAllSame(what);
        // Twice: the second run reads what the first one found.
        ExpectAllSame(what + ", again");
    }
}

// A system value that evaluates more new texts on the same evaluator than
// its cache keeps, from inside an evaluation under way.
class ReenteringApp : public NullAppServices {
public:
    PropertyValue GetSystemValue(std::wstring_view) override {
        for (size_t i = 0; i <= ExpressionEvaluator::kCachedTexts; ++i) {
            evaluator->Evaluate(L"state + " + std::to_wstring(i));
        }
        return PropertyValue(5);
    }
    ExpressionEvaluator* evaluator = nullptr;
};

TEST_F(ExpressionCache, AnEvaluationFromInsideAnotherKeepsTheOuterTree) {
    ReenteringApp app;
    app.evaluator = &evaluator_;
    ScopedService<AppServices> installed(&app);
    vars_[L"state"] = PropertyValue(2);
    const wchar_t* text = L"sysvalue(x) * 10 + state - min(state, 1) + rand(1)";
    for (int round = 0; round < 2; ++round) {
        PropertyValue v = evaluator_.Evaluate(text);
        EXPECT_EQ(v.ToString(), L"51") << "round " << round;
    }
}

// The text evaluated last is recognised by its content, not its length or
// its place: texts of one length that differ in one character, at either
// side of the length the evaluator keeps in itself, in turn, from one buffer
// rewritten between evaluations.
TEST_F(ExpressionCache, TheLastTextIsKnownByItsContent) {
    vars_[L"state"] = PropertyValue(2);
    std::wstring text;
    text.reserve(4 * ExpressionEvaluator::kInlineText);
    for (size_t length : {ExpressionEvaluator::kInlineText - 1, ExpressionEvaluator::kInlineText,
                          ExpressionEvaluator::kInlineText + 1, 3 * ExpressionEvaluator::kInlineText}) {
        for (int round = 0; round < 3; ++round) {
            for (int digit = 1; digit <= 3; ++digit) {
                // "state*1+0+0+...": the same length whatever the digit.
                text.assign(L"state*" + std::to_wstring(digit));
                while (text.size() + 2 <= length) text += L"+0";
                text.resize(length, L' ');
                ASSERT_EQ(text.size(), length);
                EXPECT_EQ(evaluator_.Evaluate(text).ToInt(), 2 * digit) << "length " << length;
            }
        }
    }
}

// A stored text is known again by its number; every way one stored text
// can give way to another in the same place, or meet plain texts and a
// cleared cache in between, still evaluates what the text now reads.
TEST_F(ExpressionCache, AStoredTextIsKnownByItsNumberAndOnlyItsOwn) {
    vars_[L"state"] = PropertyValue(2);
    ExpressionText stored(std::wstring(L"state * 10"));
    ExpressionText spare(std::wstring(L"state * 100"));
    const std::vector<std::pair<std::string, std::function<void()>>> changes = {
        {"nothing", [] {}},
        {"another text of the same length in the same place", [&] { stored = std::wstring(L"state + 10"); }},
        {"another stored text assigned", [&] { stored = spare; }},
        {"another stored text moved in", [&] { stored = ExpressionText(std::wstring(L"state - 10")); }},
        {"the same characters anew", [&] { stored = stored.str(); }},
        {"a plain text between",
         [&] { EXPECT_EQ(evaluator_.Evaluate(std::wstring_view(L"state * 3")).ToString(), Reference(L"state * 3")); }},
        {"the same characters as a plain text between",
         [&] { EXPECT_EQ(evaluator_.Evaluate(stored.str()).ToString(), Reference(stored)); }},
        {"the cache filled and cleared",
         [&] {
             for (size_t i = 0; i <= ExpressionEvaluator::kCachedTexts; ++i) {
                 evaluator_.Evaluate(L"state + " + std::to_wstring(i));
             }
         }},
        {"more stored texts in turn than the cache keeps, twice",
         [&] {
             std::vector<ExpressionText> others;
             for (size_t i = 0; i < ExpressionEvaluator::kCachedTexts + 9; ++i)
                 others.emplace_back(L"state * " + std::to_wstring(i + 2));
             for (int turn = 0; turn < 2; ++turn)
                 for (const ExpressionText& other : others)
                     EXPECT_EQ(evaluator_.Evaluate(other).ToString(), Reference(other)) << other.str();
         }},
        {"a value changed", [&] { vars_[L"state"] = PropertyValue(L"two"); }},
    };
    for (int round = 0; round < 2; ++round) {
        for (const auto& [name, change] : changes) {
            change();
            EXPECT_EQ(evaluator_.Evaluate(stored).ToString(), Reference(stored)) << "after " << name;
            EXPECT_EQ(evaluator_.Evaluate(stored).ToString(), Reference(stored)) << "again after " << name;
        }
    }
    // Copies share their text's number, so a copied step is known again; a
    // text made anew, even of the same characters, never shares one.
    const ExpressionText copy = spare;
    EXPECT_EQ(copy.Serial(), spare.Serial());
    EXPECT_NE(ExpressionText(spare.str()).Serial(), spare.Serial());
    // A text moved from is empty and has no number: it reads as the empty text.
    ExpressionText moved = std::move(stored);
    EXPECT_EQ(evaluator_.Evaluate(moved).ToString(), Reference(moved));
    EXPECT_EQ(evaluator_.Evaluate(stored).ToString(), L"");  // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(stored.Serial(), 0u);
    EXPECT_EQ(evaluator_.Evaluate(moved).ToString(), Reference(moved));
}

TEST(VariableMapGeneration, AdvancesWhenNamesChangeAndOnlyThen) {
    VariableMap map;
    uint64_t seen = map.Generation();
    auto advanced = [&] {
        bool moved = map.Generation() != seen;
        seen = map.Generation();
        return moved;
    };
    map[L"a"] = PropertyValue(1);
    EXPECT_TRUE(advanced());
    map[L"a"] = PropertyValue(2);
    map.find(L"a")->second = PropertyValue(3);
    map.emplace(L"a", PropertyValue(4));
    map.try_emplace(L"a", PropertyValue(5));
    EXPECT_EQ(map.erase(L"zz"), 0u);
    EXPECT_FALSE(advanced());
    EXPECT_EQ(map.at(L"a").ToInt(), 3);
    map.insert_or_assign(L"b", PropertyValue(1));
    EXPECT_TRUE(advanced());
    map.insert_or_assign(L"b", PropertyValue(2));
    EXPECT_FALSE(advanced());
    VariableMap other{{L"c", PropertyValue(1)}};
    uint64_t otherSeen = other.Generation();
    map.swap(other);
    EXPECT_TRUE(advanced());
    EXPECT_NE(other.Generation(), otherSeen);
    map = other;
    EXPECT_TRUE(advanced());
    VariableMap taken = std::move(map);
    EXPECT_TRUE(advanced());
    EXPECT_EQ(taken.size(), 2u);
    map.clear();
    EXPECT_TRUE(advanced());
}

}  // namespace
