// The evaluator against the one it replaced, on many random expressions and
// variable sets: same value, same tag, same text, and the same draws from the
// random generator (both operands are always evaluated, left first).
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "expression_fixture.h"
#include "foundation/system/app_services.h"
#include "foundation/system/random.h"
#include "reference_expression.h"

namespace {

using testsupport::ReferenceExpressionEvaluator;

class ExpressionGenerator {
public:
    explicit ExpressionGenerator(uint32_t seed) : rng_(seed) {}

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    template <class T>
    const T& Pick(const std::vector<T>& from) {
        return from[static_cast<size_t>(Below(static_cast<int>(from.size())))];
    }

    std::wstring Space() { return Pick<std::wstring>({L"", L"", L" ", L"  ", L"\t"}); }

    // Operands may then read on from objects with "." and "[".
    bool objects = false;

    std::wstring Operand(int depth) {
        if (objects && Below(3) == 0) return Postfixed(depth);
        switch (depth <= 0 ? Below(3) : Below(9)) {
            case 0:
                return Pick<std::wstring>({L"0", L"1", L"2", L"3", L"7", L"2.5", L"0.5f", L"1.2.3", L".5",
                                           L"4294967297", L"0x10", L"sqrt(-1)", L"pow(10, 39)", L"2147483647",
                                           L"(-2147483647 - 1)", L"0.0"});
            case 1:
                return Pick<std::wstring>(
                    {L"state", L"timer", L"count", L"label", L"flag", L"fade_time", L"true", L"false", L"nothing"});
            case 2: return Pick<std::wstring>({L"literal(a, b)", L"defined(state)", L"defined(zz)", L"literal((x)y)"});
            case 3: return L"(" + Expression(depth - 1) + L")";
            case 4: return Pick<std::wstring>({L"-", L"!", L"+", L"- "}) + Operand(depth - 1);
            case 5: {
                std::wstring name = Pick<std::wstring>(
                    {L"min",  L"max",  L"constant", L"int",           L"real",   L"bool",  L"string", L"abs",
                     L"mod",  L"pow",  L"strlen",   L"substring",     L"format", L"rand",  L"sign",   L"dist",
                     L"eval", L"sqrt", L"global",   L"globaldefined", L"noise",  L"nosuch"});
                std::wstring call = name + L"(";
                int args = 1 + Below(6);  // past four, the arguments move to the heap
                for (int i = 0; i < args; ++i) call += (i ? L"," + Space() : L"") + Expression(depth - 1);
                return call + L")";
            }
            case 6: return L"eval(literal(" + Expression(depth - 1) + L"))";
            case 7: return L"format(literal(%d|%s|%d), " + Expression(depth - 1) + L", " + Expression(depth - 1) + L")";
            default:
                return Expression(depth - 1) + Space() + L"?" + Space() + Expression(depth - 1) + Space() + L":" +
                       Space() + Operand(depth - 1);
        }
    }

    std::wstring Expression(int depth) {
        static const std::vector<std::wstring> ops = {L"||", L"&&", L"^^", L"==", L"!=", L"<=", L">=", L"<", L">",
                                                      L"+",  L"-",  L"*",  L"/",  L"=",  L"|",  L"&",  L"!", L"< ="};
        std::wstring text = Operand(depth);
        int terms = Below(4);
        for (int i = 0; i < terms; ++i) text += Space() + Pick(ops) + Space() + Operand(depth - 1);
        return text;
    }

    // An operand that may or may not be an object, read on from a few times:
    // names an object answers and names it does not, the space the parser
    // allows before a "." but not after it, a "]" sometimes missing.
    std::wstring Postfixed(int depth) {
        std::wstring text = Pick<std::wstring>({L"w", L"w", L"v", L"gone", L"state", L"nothing", L"(w)", L"7",
                                                L"rand(2) ? w : v", L"literal(w)", L"(flag ? w : count)"});
        for (int i = 0, n = 1 + Below(3); i < n; ++i) {
            text += Space();
            if (Below(3) != 0) {
                text += L"." + Pick<std::wstring>({L"", L"", L" "}) +
                        Pick<std::wstring>({L"x", L"count", L"self", L"child", L"label", L"", L"5", L"nosuch"});
            } else {
                const std::wstring index =
                    depth > 0 ? Expression(depth - 1) : Pick<std::wstring>({L"n", L"label", L"count", L"literal(x)"});
                text += L"[" + index + Pick<std::wstring>({L"]", L"]", L""});
            }
        }
        return text;
    }

    // Characters the grammar reacts to, thrown together.
    std::wstring Soup() {
        static const std::vector<std::wstring> bits = {
            L"(", L")", L",", L"?",  L":",     L"&&",   L"|",        L"=",     L"!",  L"<", L">", L"+", L"-", L"*",
            L"/", L" ", L"1", L"2.", L"state", L"min(", L"literal(", L"eval(", L"\"", L"%", L"x", L".", L"[", L"]"};
        std::wstring text;
        for (int i = 0, n = 1 + Below(25); i < n; ++i) text += Pick(bits);
        return text;
    }

    void FillVariables(VariableMap& vars) {
        vars.clear();
        if (Below(4))
            vars[L"state"] =
                Pick<PropertyValue>({PropertyValue(2), PropertyValue(0), PropertyValue(2.0f), PropertyValue(L"2")});
        if (Below(4))
            vars[L"timer"] = Pick<PropertyValue>({PropertyValue(37.5f), PropertyValue(-1), PropertyValue(L"abc"),
                                                  PropertyValue(std::nanf("")), PropertyValue(3e9f)});
        if (Below(4)) vars[L"count"] = Pick<PropertyValue>({PropertyValue(4), PropertyValue(1), PropertyValue(0)});
        if (Below(2)) vars[L"label"] = PropertyValue(L"button_up");
        if (Below(2)) vars[L"flag"] = PropertyValue(Below(2) == 0);
    }

    // Between two evaluations of one cached tree: the names of the map
    // change in one of the ways a map allows, or only a value does.
    void ChangeVariables(VariableMap& vars, VariableMap& spare) {
        static const std::vector<std::wstring> names = {L"state", L"timer", L"count", L"label", L"flag", L"fade_time"};
        const std::wstring& name = Pick(names);
        switch (Below(6)) {
            case 0: FillVariables(vars); break;
            case 1: vars.erase(name); break;
            case 2:
                vars[name] = Pick<PropertyValue>({PropertyValue(3), PropertyValue(0.5f), PropertyValue(L"x")});
                break;
            case 3:
                FillVariables(spare);
                if (Below(2)) {
                    vars.swap(spare);
                } else {
                    vars = std::move(spare);
                }
                break;
            case 4: ConstantsMap()[L"fade_time"] = PropertyValue(Below(100)); break;
            default: {
                auto it = vars.find(name);
                if (it != vars.end()) it->second = PropertyValue(Below(5));
                break;
            }
        }
    }

private:
    std::mt19937 rng_;
};

// An object for "." and "[" to read: a number, a text, itself, a child
// that may be missing, and script variables when it stands as a widget.
class ReadableObject : public ExtendedPropertyInterface, public ScriptVariableOwner {
public:
    PropertyValue GetProperty(std::wstring_view name) override {
        if (name == L"x") return PropertyValue(12.5f);
        if (name == L"count") return PropertyValue(3);
        if (name == L"label") return PropertyValue(L"button_down");
        if (name == L"self") return PropertyValue::FromWidget(this);
        if (name == L"child") return child ? PropertyValue::FromPropertyInterface(child) : PropertyValue(0);
        return ExtendedPropertyInterface::GetProperty(name);
    }
    const VariableMap& ScriptVariables() const override { return scriptVars; }
    std::wstring ReferenceText() const override { return L"readable"; }

    ReadableObject* child = nullptr;
    VariableMap scriptVars;
};

// global() enters the name it reads among the player's symbols, which a
// later globaldefined() in the same text sees.
class PlayerSymbolsApp : public NullAppServices {
public:
    VariableMap* PlayerSymbols() override { return &symbols; }
    void Reset() {
        symbols.clear();
        symbols[L"state"] = PropertyValue(3);
    }
    VariableMap symbols;
};

class ExpressionEquivalence : public testsupport::ExpressionTest {
protected:
    void ExpectSame(const std::wstring& text) {
        ReferenceExpressionEvaluator reference(vars_);
        SeedRandom(77);
        app_.Reset();
        PropertyValue expected = reference.Evaluate(text);
        uint32_t expectedDraw = static_cast<uint32_t>(GlobalRandom().Next());
        SeedRandom(77);
        app_.Reset();
        PropertyValue actual = evaluator_.Evaluate(text);
        uint32_t actualDraw = static_cast<uint32_t>(GlobalRandom().Next());
        ASSERT_EQ(static_cast<int>(actual.GetTag()), static_cast<int>(expected.GetTag())) << text::ToUtf8(text);
        ASSERT_EQ(actual.ToString(), expected.ToString()) << text::ToUtf8(text);
        ASSERT_EQ(actualDraw, expectedDraw) << text::ToUtf8(text);

        SeedRandom(78);
        std::vector<PropertyValue> expectedList = reference.EvaluateList(text);
        SeedRandom(78);
        std::vector<PropertyValue> actualList = evaluator_.EvaluateList(text);
        ASSERT_EQ(actualList.size(), expectedList.size()) << text::ToUtf8(text);
        for (size_t i = 0; i < actualList.size(); ++i) {
            ASSERT_EQ(actualList[i].ToString(), expectedList[i].ToString()) << text::ToUtf8(text);
        }
    }

    PlayerSymbolsApp app_;
    ScopedService<AppServices> installed_{&app_};
};

TEST_F(ExpressionEquivalence, RandomExpressionsAndVariableSets) {
    ConstantsMap()[L"fade_time"] = PropertyValue(50);
    ConstantsMap()[L"state"] = PropertyValue(L"const");
    // Texts where a number-only first try would meet a text after something
    // that must happen once (a draw, a symbol entered) has happened.
    vars_[L"label"] = PropertyValue(L"button_up");
    for (const wchar_t* text :
         {L"globaldefined(2) + global(2) + label", L"rand(10) + label", L"eval(literal(rand(5))) * 2 + label"}) {
        ExpectSame(text);
    }
    ExpressionGenerator gen(1207);
    // Texts whose number steps are joined: a name or constant() beside a
    // number, min and max of two, a chain of && and || links.
    for (const wchar_t* text : {L"state == 2 && timer > constant(fade_time) * 0.5 && min(count, 3) >= 2",
                                L"count > 1 || (timer < 2 && state) && max(count, timer) != 4",
                                L"1 && (state ? count : 2) > 1 || min(constant(fade_time), 2) + 1",
                                L"flag && (count && timer) && (min(count, 3) || max(3, count, 9))",
                                L"constant(state) * 2 > 1 && -count < timer / 2 && !flag"}) {
        for (int round = 0; round < 40; ++round) {
            gen.FillVariables(vars_);
            ExpectSame(text);
        }
    }
    VariableMap spare;
    for (int round = 0; round < 6000; ++round) {
        gen.FillVariables(vars_);
        std::wstring text = round % 5 == 0 ? gen.Soup() : gen.Expression(1 + round % 4);
        ExpectSame(text);
        // The same text again, its tree and the places of its names now
        // cached, under other values or other names.
        gen.ChangeVariables(vars_, spare);
        ExpectSame(text);
        if (HasFatalFailure()) return;
    }
}

// A cached tree that reads from objects meets other values on later
// evaluations of the same text (a name now a number, an object gone, a
// variable removed) and must still give what reading the text gives.
TEST_F(ExpressionEquivalence, ReadsFromObjectsAndOtherValues) {
    ReadableObject object, child;
    object.scriptVars[L"n"] = PropertyValue(8);
    object.scriptVars[L"count"] = PropertyValue(L"script count");
    child.scriptVars[L"n"] = PropertyValue(9);
    auto gone = std::make_unique<ReadableObject>();
    const PropertyValue goneValue = PropertyValue::FromWidget(gone.get());
    gone.reset();
    ExpressionGenerator gen(4211);
    gen.objects = true;
    const auto fill = [&] {
        gen.FillVariables(vars_);
        object.child = gen.Below(2) == 0 ? &child : nullptr;
        switch (gen.Below(5)) {
            case 0: vars_[L"w"] = PropertyValue(2); break;
            case 1: break;
            default: vars_[L"w"] = PropertyValue::FromWidget(&object); break;
        }
        if (gen.Below(3) != 0) vars_[L"v"] = PropertyValue::FromPropertyInterface(&object);
        vars_[L"gone"] = goneValue;
    };
    // Written in place, the names unchanged: a widget, one gone, or none.
    const auto rewrite = [&] {
        if (vars_.contains(L"w"))
            vars_[L"w"] = gen.Pick<PropertyValue>({goneValue, PropertyValue(1), PropertyValue::FromWidget(&object)});
    };
    const std::vector<const wchar_t*> texts = {L"!w.self.x",
                                               L"w.child[n] + w[n] * 2",
                                               L"w.count > 2 && w[count] == 3",
                                               L"min(w.x, v.count) + w . self . label",
                                               L"w.x.y + 1",
                                               L"v[label] || gone.x",
                                               L"w.x",
                                               L"!v . count",
                                               L"!gone.x",
                                               L"!w.label",
                                               L"!exists(w) && count < 3",
                                               L"exists(gone) || exists(v) ? 1 : timer",
                                               L"exists(nothing) + exists(w, n)"};
    for (const wchar_t* text : texts) {
        for (int round = 0; round < 40; ++round) {
            fill();
            ExpectSame(text);
            rewrite();
            ExpectSame(text);
        }
    }
    // The same texts stored, each known by its number, in turn: what the
    // evaluator keeps of each stays that text's as the variables change.
    const std::vector<ExpressionText> stored(texts.begin(), texts.end());
    for (int round = 0; round < 600; ++round) {
        if (round % 8 == 0) fill();
        rewrite();
        const ExpressionText& text = gen.Pick(stored);
        ReferenceExpressionEvaluator reference(vars_);
        const PropertyValue expected = reference.Evaluate(text.str());
        const PropertyValue actual = evaluator_.Evaluate(text);
        ASSERT_EQ(static_cast<int>(actual.GetTag()), static_cast<int>(expected.GetTag())) << text::ToUtf8(text.str());
        ASSERT_EQ(actual.ToString(), expected.ToString()) << text::ToUtf8(text.str());
    }
    for (int round = 0; round < 4000; ++round) {
        fill();
        const std::wstring text = gen.Expression(1 + round % 3);
        ExpectSame(text);
        fill();
        ExpectSame(text);
        if (HasFatalFailure()) return;
    }
}

// Texts of numbers and names alone, whose steps are laid out for the kinds
// their names hold: the names then take other kinds in place (the map's
// names unchanged), vanish and come back, between evaluations of one tree.
class NumberTextGenerator {
public:
    explicit NumberTextGenerator(uint32_t seed) : gen_(seed) {}

    std::wstring Operand(int depth) {
        switch (depth <= 0 ? gen_.Below(2) : gen_.Below(6)) {
            case 0:
                return gen_.Pick<std::wstring>({L"0", L"1", L"2", L"3", L"0.5", L"2.5", L"0.0", L"true", L"false",
                                                L"2147483647", L"(-2147483647 - 1)", L"literal(2)", L"pow(10, 39)"});
            case 1: return gen_.Pick<std::wstring>({L"a", L"b", L"c", L"flag", L"constant(k)", L"constant(a)"});
            case 2: return L"(" + Expression(depth - 1) + L")";
            case 3: return gen_.Pick<std::wstring>({L"-", L"!"}) + Operand(depth - 1);
            case 4:
                return gen_.Pick<std::wstring>({L"int(", L"real(", L"bool(", L"abs("}) + Expression(depth - 1) + L")";
            default:
                return gen_.Pick<std::wstring>({L"min(", L"max("}) + Expression(depth - 1) + L", " +
                       Expression(depth - 1) + L")";
        }
    }

    // && and || come twice as often, as the steps that join a result to
    // the value below take every operator's form.
    std::wstring Expression(int depth) {
        static const std::vector<std::wstring> ops = {L"||", L"&&", L"^^", L"==", L"!=", L"<=", L">=", L"<",
                                                      L">",  L"+",  L"-",  L"*",  L"/",  L"||", L"&&"};
        std::wstring text = Operand(depth);
        for (int i = 0, terms = gen_.Below(4); i < terms; ++i)
            text += L" " + gen_.Pick(ops) + L" " + Operand(depth - 1);
        return text;
    }

    // Names and numbers joined by `terms` operators, nothing that is no number.
    std::wstring Chain(int terms) {
        static const std::vector<std::wstring> ops = {L"||", L"&&", L"==", L"<", L"+", L"-", L"*", L"/"};
        static const std::vector<std::wstring> leaves = {L"a", L"b", L"c", L"flag", L"constant(k)", L"2", L"0.5"};
        std::wstring text = gen_.Pick(leaves);
        for (int i = 0; i < terms; ++i) text += L" " + gen_.Pick(ops) + L" " + gen_.Pick(leaves);
        return text;
    }

    PropertyValue AnyValue() {
        return gen_.Pick<PropertyValue>({PropertyValue(0), PropertyValue(1), PropertyValue(-1), PropertyValue(7),
                                         PropertyValue(2147483647), PropertyValue(-2147483647 - 1), PropertyValue(0.5f),
                                         PropertyValue(-0.5f), PropertyValue(0.0f), PropertyValue(-3.25f),
                                         PropertyValue(3e9f), PropertyValue(std::nanf("")), PropertyValue(true),
                                         PropertyValue(false), PropertyValue(L"2"), PropertyValue(L"k")});
    }

    // One change between two evaluations: most write a value of any kind in
    // place, the rest remove a name, enter it again or change a constant.
    void Change(VariableMap& vars) {
        const std::wstring name = gen_.Pick<std::wstring>({L"a", L"b", L"c", L"flag"});
        switch (gen_.Below(8)) {
            case 0: vars.erase(name); break;
            case 1: vars[name] = AnyValue(); break;
            case 2: ConstantsMap()[L"k"] = AnyValue(); break;
            default:
                if (auto it = vars.find(name); it != vars.end()) it->second = AnyValue();
                break;
        }
    }

    void Fill(VariableMap& vars) {
        vars.clear();
        for (const wchar_t* name : {L"a", L"b", L"c", L"flag"}) {
            if (gen_.Below(5) != 0) vars[name] = AnyValue();
        }
        ConstantsMap()[L"k"] = AnyValue();
    }

private:
    ExpressionGenerator gen_;
};

TEST_F(ExpressionEquivalence, NumberStepsMeetNamesOfChangingKinds) {
    NumberTextGenerator gen(3301);
    // Divisions whose zero divisor keeps a left operand of another kind,
    // and comparisons of texts with numbers.
    for (const wchar_t* text : {L"a / b", L"flag / b + 1", L"(a / 0.5) * 2", L"true / b", L"a / b / c > 1 && flag",
                                L"-a / (b - b) == a", L"a == b || a < 2", L"constant(k) * 0.5 > a && min(b, 3) >= 2",
                                L"abs(a) + int(b) - real(c) * bool(flag)", L"!(a && b) ^^ -c"}) {
        gen.Fill(vars_);
        for (int round = 0; round < 60; ++round) {
            ExpectSame(text);
            gen.Change(vars_);
            if (HasFatalFailure()) return;
        }
    }
    // The same name holding one kind, then another, then the first again,
    // each over more evaluations than the misses allowed: the steps laid out
    // for the first kind give up and are laid out afresh.
    const std::vector<PropertyValue> kinds = {PropertyValue(3),     PropertyValue(0.25f),  PropertyValue(false),
                                              PropertyValue(L"3"),  PropertyValue(0),      PropertyValue(true),
                                              PropertyValue(-9.0f), PropertyValue(L"abc"), PropertyValue(1)};
    for (const wchar_t* text :
         {L"a == 2 && b > constant(k) * 0.5 && min(a, 3) >= 2", L"a / b + b / a", L"max(a, b) - -a", L"a ? b : 1"}) {
        vars_[L"b"] = PropertyValue(37.5f);
        for (int cycle = 0; cycle < 4; ++cycle) {
            for (const PropertyValue& kind : kinds) {
                vars_[L"a"] = kind;
                ExpectSame(text);
                ExpectSame(text);
            }
        }
        if (HasFatalFailure()) return;
    }
    // Chains around the most steps a program is laid out typed for.
    for (int terms = 176; terms < 216; terms += 4) {
        vars_ = {{L"a", PropertyValue(3)},
                 {L"b", PropertyValue(0.5f)},
                 {L"c", PropertyValue(true)},
                 {L"flag", PropertyValue(0)}};
        ConstantsMap()[L"k"] = PropertyValue(terms);
        const std::wstring text = gen.Chain(terms);
        for (int again = 0; again < 4; ++again) {
            ExpectSame(text);
            gen.Change(vars_);
        }
        if (HasFatalFailure()) return;
    }
    for (int round = 0; round < 1500; ++round) {
        gen.Fill(vars_);
        const std::wstring text = gen.Expression(1 + round % 3);
        // One tree, evaluated again and again as its names change kind.
        for (int again = 0; again < 6; ++again) {
            ExpectSame(text);
            gen.Change(vars_);
        }
        if (HasFatalFailure()) return;
    }
}

TEST_F(ExpressionEquivalence, NestingAroundTheDepthCap) {
    ExpressionGenerator gen(99);
    for (int depth : {ExpressionEvaluator::kMaxDepth - 2, ExpressionEvaluator::kMaxDepth - 1,
                      ExpressionEvaluator::kMaxDepth, ExpressionEvaluator::kMaxDepth + 3}) {
        std::wstring parens = std::wstring(static_cast<size_t>(depth), L'(') + L"1 + rand(5)" +
                              std::wstring(static_cast<size_t>(depth), L')') + L" * 2";
        ExpectSame(parens);
        ExpectSame(std::wstring(static_cast<size_t>(depth), L'-') + L"3 + rand(9)");
        ExpectSame(L"rand(4) + " + std::wstring(static_cast<size_t>(depth), L'!') + L"0");
        ExpectSame(L"eval(literal(" + parens + L"))");
        // An eval nested past the cap in the middle of an expression: the
        // operators and calls around it, and the draws they make.
        std::wstring deep = L"eval(literal(" + parens + L"))";
        ExpectSame(L"rand(7) + rand(" + deep + L", 3) + rand(9)");
        ExpectSame(L"(" + deep + L" ? rand(3) : rand(4)) * 2");
        ExpectSame(L"1 ? " + deep + L" : rand(4)");
        ExpectSame(L"min(" + deep + L" + 1, rand(5)) - rand(6)");
        ExpectSame(L"format(literal(%d %d %d %d %d), 1, 2, 3, 4, " + deep + L", rand(8))");
        if (HasFatalFailure()) return;
    }
}

}  // namespace
