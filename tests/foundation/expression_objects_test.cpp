// Property access on holders, the application's services, field handles and
// the nesting cap.

#include "expression_fixture.h"

#include <memory>

#include "foundation/system/app_services.h"
#include "foundation/values/field_handle.h"

using namespace testsupport;

namespace {

// A property holder answering a few fixed names, optionally with script variables.
class FakeWidget : public ExtendedPropertyInterface, public ScriptVariableOwner {
public:
    PropertyValue GetProperty(std::wstring_view name) override {
        if (name == L"x") return PropertyValue(12.5f);
        if (name == L"count") return PropertyValue(L"property count");
        if (name == L"child" && child) return PropertyValue::FromWidget(child);
        if (name == L"x_ptr") return xHandle.Value();
        return ExtendedPropertyInterface::GetProperty(name);
    }
    const VariableMap& ScriptVariables() const override { return scriptVars; }
    std::wstring ReferenceText() const override { return L"fake"; }

    float x = 1.5f;
    FieldHandle xHandle{&x};
    FakeWidget* child = nullptr;
    VariableMap scriptVars;
};

class FakeImage : public ExtendedPropertyInterface {
public:
    PropertyValue GetProperty(std::wstring_view name) override {
        if (name == L"cols") return PropertyValue(4);
        return ExtendedPropertyInterface::GetProperty(name);
    }
    std::wstring ReferenceText() const override { return L"Ball"; }
};

class FakeApp : public NullAppServices {
public:
    PropertyValue GetSystemValue(std::wstring_view name) override {
        if (name == L"screen_width") return PropertyValue(1024);
        return PropertyValue(std::wstring());
    }
    ExtendedPropertyInterface* FindImageByName(std::wstring_view name) override {
        return name == L"Ball" ? &ball : nullptr;
    }
    int FindSoundId(std::wstring_view name) override { return name == L"Button" ? 3 : -1; }
    int FindTrackId(std::wstring_view name) override { return name == L"theme" ? 7 : -1; }
    VariableMap* PlayerSymbols() override { return hasPlayer ? &symbols : nullptr; }
    void ShowFatalError(std::string_view message) override { lastError = std::string(message); }
    void ShowFatalErrorWide(std::wstring_view message) override { lastError = text::ToUtf8(message); }

    FakeImage ball;
    VariableMap symbols;
    bool hasPlayer = true;
    std::string lastError;

private:
    ScopedService<AppServices> installed_{this};
};

class ExpressionObjects : public ExpressionTest {
protected:
    void SetUp() override {
        ExpressionTest::SetUp();
        vars_[L"w"] = PropertyValue::FromWidget(&widget_);
    }
    FakeWidget widget_;
};

TEST_F(ExpressionObjects, DotReadsNamedProperties) {
    EXPECT_EQ(Eval(L"w.x").ToReal(), 12.5f);
    EXPECT_EQ(Eval(L"w .x + 1").ToReal(), 13.5f);
    EXPECT_EQ(Eval(L"w.unknown").ToString(), L"false");
    FakeWidget child;
    widget_.child = &child;
    child.scriptVars[L"n"] = PropertyValue(9);
    EXPECT_EQ(Eval(L"w.child[n]").ToInt(), 9);
    EXPECT_EQ(Eval(L"w.x.y").ToReal(), 12.5f);  // a number is no holder: ".y" ends the expression
}

TEST_F(ExpressionObjects, BracketsPreferScriptVariablesThenProperties) {
    EXPECT_EQ(Eval(L"w[count]").ToString(), L"property count");
    widget_.scriptVars[L"count"] = PropertyValue(3);
    EXPECT_EQ(Eval(L"w[count]").ToInt(), 3);
    vars_[L"key"] = PropertyValue(L"x");
    EXPECT_EQ(Eval(L"w[key]").ToReal(), 12.5f);
    EXPECT_EQ(Eval(L"w[literal(x)").ToReal(), 12.5f);  // a missing "]" is tolerated
    // Only widgets expose script variables; other holders answer by property.
    vars_[L"i"] = PropertyValue::FromPropertyInterface(&widget_);
    EXPECT_EQ(Eval(L"i[count]").ToString(), L"property count");
}

TEST_F(ExpressionObjects, ExistsTestsWidgetsAndTheirWidgetVariables) {
    FakeWidget other;
    widget_.scriptVars[L"partner"] = PropertyValue::FromWidget(&other);
    widget_.scriptVars[L"number"] = PropertyValue(1);
    EXPECT_TRUE(Eval(L"exists(w)").ToBool());
    EXPECT_TRUE(Eval(L"exists(w, partner)").ToBool());
    EXPECT_FALSE(Eval(L"exists(w, number)").ToBool());
    EXPECT_FALSE(Eval(L"exists(w, nobody)").ToBool());
    EXPECT_FALSE(Eval(L"exists(5, partner)").ToBool());
}

TEST_F(ExpressionObjects, HolderWhoseObjectIsGoneReadsNoProperties) {
    auto gone = std::make_unique<FakeWidget>();
    vars_[L"g"] = PropertyValue::FromWidget(gone.get());
    gone.reset();
    EXPECT_FALSE(Eval(L"exists(g)").ToBool());
    EXPECT_EQ(Eval(L"g.x").ToString(), L"false");
    EXPECT_EQ(Eval(L"g[count]").ToString(), L"false");
}

TEST_F(ExpressionObjects, PointerPropertiesReadLiveFieldsThroughHandles) {
    EXPECT_EQ(Eval(L"realptr(w.x_ptr)").ToReal(), 1.5f);
    widget_.x = -4.75f;
    EXPECT_EQ(Eval(L"realptr(w.x_ptr)").ToReal(), -4.75f);
    EXPECT_EQ(Eval(L"intptr(w.x_ptr)").ToInt(), -4);
    int32_t money = 250;
    FieldHandle moneyHandle(&money);
    vars_[L"money_ptr"] = moneyHandle.Value();
    EXPECT_EQ(Eval(L"intptr(money_ptr)").ToInt(), 250);
    money = 300;
    EXPECT_EQ(Eval(L"intptr(money_ptr) + 1").ToInt(), 301);
    EXPECT_EQ(Eval(L"realptr(money_ptr)").ToReal(), 300.0f);
}

TEST_F(ExpressionObjects, PointerFunctionsNeverDereferenceScriptIntegers) {
    int32_t field = 17;
    vars_[L"guess"] = PropertyValue(static_cast<int>(reinterpret_cast<intptr_t>(&field)));
    EXPECT_EQ(Eval(L"intptr(guess)").ToInt(), 0);
    EXPECT_EQ(Eval(L"intptr(123456)").ToInt(), 0);
    EXPECT_EQ(Eval(L"realptr(0 - 1)").ToReal(), 0.0f);
    EXPECT_EQ(Eval(L"intptr(w)").ToInt(), 0);
    EXPECT_EQ(Eval(L"realptr(literal(65536))").ToReal(), 0.0f);
}

TEST_F(ExpressionObjects, PointerHandleOfDestroyedOwnerReadsZero) {
    auto owner = std::make_unique<FakeWidget>();
    owner->x = 8.0f;
    PropertyValue handle = owner->GetProperty(L"x_ptr");
    vars_[L"p"] = handle;
    EXPECT_EQ(Eval(L"realptr(p)").ToReal(), 8.0f);
    owner.reset();
    EXPECT_EQ(Eval(L"realptr(p)").ToReal(), 0.0f);
    EXPECT_EQ(FieldHandle::ReadInt(handle.ToInt()), 0);
}

TEST_F(ExpressionObjects, ServicesAnswerNotFoundWithoutAnApplication) {
    ASSERT_EQ(Service<AppServices>::Installed(), nullptr);
    PropertyValue sys = Eval(L"sysvalue(screen_width)");
    EXPECT_TRUE(sys.Is(Tag::String));
    EXPECT_EQ(sys.ToString(), L"");
    EXPECT_EQ(Eval(L"sound(Button)").ToInt(), -1);
    EXPECT_EQ(Eval(L"track(theme)").ToInt(), -1);
    PropertyValue image = Eval(L"image(Ball)");
    EXPECT_TRUE(image.Is(Tag::Image));
    EXPECT_EQ(image.ToPropertyInterface(), nullptr);
    EXPECT_EQ(Eval(L"global(level)").ToInt(), 0);
    EXPECT_FALSE(Eval(L"globaldefined(level)").ToBool());
}

TEST_F(ExpressionObjects, ServicesOfTheInstalledApplication) {
    FakeApp app;
    EXPECT_EQ(Eval(L"sysvalue(screen_width)").ToInt(), 1024);
    EXPECT_EQ(Eval(L"sysvalue(nonsense)").ToString(), L"");
    EXPECT_EQ(Eval(L"sound(Button)").ToInt(), 3);
    EXPECT_EQ(Eval(L"sound(Missing)").ToInt(), -1);
    EXPECT_EQ(Eval(L"track(theme)").ToInt(), 7);
    EXPECT_EQ(Eval(L"image(Ball).cols").ToInt(), 4);
    EXPECT_EQ(Eval(L"string(image(Ball))").ToString(), L"Ball");
    vars_[L"img"] = PropertyValue::FromImage(&app.ball);
    EXPECT_EQ(Eval(L"image(img) == img").ToBool(), true);
    EXPECT_EQ(Eval(L"image(Nothing)").ToPropertyInterface(), nullptr);
    evaluator_.collectMode = true;
    EXPECT_EQ(Eval(L"image(Nothing)").ToString(), L"Nothing");
    evaluator_.collectMode = false;

    app.symbols[L"level"] = PropertyValue(3);
    EXPECT_EQ(Eval(L"global(level) + 1").ToInt(), 4);
    EXPECT_TRUE(Eval(L"globaldefined(level)").ToBool());
    EXPECT_FALSE(Eval(L"globaldefined(stars)").ToBool());
    EXPECT_EQ(Eval(L"global(stars)").ToInt(), 0);
    EXPECT_TRUE(app.symbols.contains(L"stars"));  // read through the insert-on-read access
    app.hasPlayer = false;
    EXPECT_FALSE(Eval(L"globaldefined(level)").ToBool());
    EXPECT_EQ(Eval(L"global(level)").ToInt(), 0);

    ShowFatalError("disk on fire");
    EXPECT_EQ(app.lastError, "disk on fire");
    ShowFatalErrorWide(L"w\u00e9de");
    EXPECT_EQ(app.lastError,
              "w\xc3\xa9"
              "de");
}

TEST_F(ExpressionObjects, UninstallingTheApplicationRestoresNotFound) {
    { FakeApp app; }
    EXPECT_EQ(Service<AppServices>::Installed(), nullptr);
    EXPECT_EQ(Eval(L"sound(Button)").ToInt(), -1);
}

TEST_F(ExpressionTest, DeepParenthesesYieldEmptyTextInsteadOfStackOverflow) {
    std::wstring deep(100000, L'(');
    deep += L"1";
    PropertyValue v = Eval(deep);
    EXPECT_TRUE(v.Is(Tag::String));
    EXPECT_EQ(v.ToString(), L"");
    EXPECT_EQ(Eval(std::wstring(100000, L'-') + L"1").ToString(), L"");
    EXPECT_EQ(Eval(std::wstring(50000, L'!') + L"1").ToString(), L"");
    // The evaluator stays usable afterwards.
    EXPECT_EQ(Eval(L"1 + 1").ToInt(), 2);
}

TEST_F(ExpressionTest, NestingWithinTheCapStillEvaluates) {
    std::wstring nested = std::wstring(60, L'(') + L"2" + std::wstring(60, L')') + L" * 3";
    EXPECT_EQ(Eval(nested).ToInt(), 6);
    EXPECT_EQ(Eval(std::wstring(60, L'-') + L"5").ToInt(), 5);
}

TEST_F(ExpressionTest, SelfEvaluatingVariableYieldsEmptyTextInsteadOfStackOverflow) {
    vars_[L"x"] = PropertyValue(L"eval(x)");
    PropertyValue v = Eval(L"eval(x)");
    EXPECT_TRUE(v.Is(Tag::String));
    EXPECT_EQ(v.ToString(), L"");
    vars_[L"y"] = PropertyValue(L"1 + eval(y)");
    EXPECT_EQ(Eval(L"eval(y)").ToString(), L"");
    EXPECT_EQ(Eval(L"eval(literal(eval(literal(2 * 4))))").ToInt(), 8);
}

TEST_F(ExpressionTest, DeepListsAndSplitsStayBounded) {
    std::wstring deep(100000, L'(');
    std::vector<PropertyValue> list = evaluator_.EvaluateList(deep);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].ToString(), L"");
    EXPECT_EQ(evaluator_.SplitList(deep).size(), 1u);
}

}  // namespace
