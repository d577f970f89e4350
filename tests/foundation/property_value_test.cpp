#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <thread>

#include "foundation/values/property_value.h"

namespace {

using Tag = PropertyValue::Tag;

struct Named : ExtendedPropertyInterface {
    explicit Named(std::wstring n) : name(std::move(n)) {}
    std::wstring ReferenceText() const override { return name; }
    PropertyValue GetProperty(std::wstring_view key) override {
        return key == L"name" ? PropertyValue(name) : ExtendedPropertyInterface::GetProperty(key);
    }
    std::wstring name;
};

TEST(PropertyValueConversion, TextToNumberRules) {
    EXPECT_EQ(PropertyValue(L"12abc").ToInt(), 12);
    EXPECT_EQ(PropertyValue(L"  -4").ToInt(), -4);
    EXPECT_EQ(PropertyValue(L"").ToInt(), 0);
    EXPECT_EQ(PropertyValue(L"2.9").ToInt(), 2);  // the integer reader stops at the point
    EXPECT_FLOAT_EQ(PropertyValue(L"2.5e1x").ToReal(), 25.0f);
    EXPECT_FLOAT_EQ(PropertyValue(L"3e").ToReal(), 3.0f);    // a bare exponent mark is not part of it
    EXPECT_FLOAT_EQ(PropertyValue(L"0x10").ToReal(), 0.0f);  // decimal only, no hex
    EXPECT_FLOAT_EQ(PropertyValue(L"inf").ToReal(), 0.0f);
    EXPECT_FLOAT_EQ(PropertyValue(L"-.5").ToReal(), -0.5f);
    // Text that cannot be narrowed reads as 0.
    EXPECT_EQ(PropertyValue(L"12\u00e9").ToInt(), 0);
    EXPECT_EQ(PropertyValue(L"99999999999").ToInt(), std::numeric_limits<int32_t>::max());
}

TEST(PropertyValueConversion, TruthOfText) {
    EXPECT_TRUE(PropertyValue(L"true").ToBool());
    EXPECT_FALSE(PropertyValue(L"TRUE").ToBool());  // reads as the number 0
    EXPECT_TRUE(PropertyValue(L"1").ToBool());
    EXPECT_TRUE(PropertyValue(L"0.5").ToBool());
    EXPECT_FALSE(PropertyValue(L"false").ToBool());
    EXPECT_FALSE(PropertyValue(L"abc").ToBool());
    EXPECT_FALSE(PropertyValue(L"0").ToBool());
    EXPECT_FALSE(PropertyValue(L"").ToBool());
    EXPECT_TRUE(PropertyValue(2).ToBool());
    EXPECT_FALSE(PropertyValue(0.0f).ToBool());
    EXPECT_TRUE(PropertyValue(std::nanf("")).ToBool());
}

TEST(PropertyValueConversion, RealsTruncateAndSaturate) {
    EXPECT_EQ(PropertyValue(-2.7f).ToInt(), -2);
    EXPECT_EQ(PropertyValue(std::nanf("")).ToInt(), 0);
    EXPECT_EQ(PropertyValue(1e20f).ToInt(), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(PropertyValue(-1e20f).ToInt(), std::numeric_limits<int32_t>::min());
}

TEST(PropertyValueConversion, TextForms) {
    EXPECT_EQ(PropertyValue(0.5f).ToString(), L"0.5");
    EXPECT_EQ(PropertyValue(3.0f).ToString(), L"3");
    EXPECT_EQ(PropertyValue(1e20f).ToString(), L"1e+20");
    EXPECT_EQ(PropertyValue(-7).ToString(), L"-7");
    EXPECT_EQ(PropertyValue(true).ToString(), L"true");
    EXPECT_EQ(PropertyValue(L'x').ToString(), L"x");
    EXPECT_EQ(PropertyValue().GetTag(), Tag::Int);
    EXPECT_EQ(PropertyValue(2.0).GetTag(), Tag::Real);
}

TEST(PropertyValueCompare, TextAgainstNumbers) {
    EXPECT_TRUE(PropertyValue(L"10").Less(PropertyValue(L"9")));
    EXPECT_FALSE(PropertyValue(10).Less(PropertyValue(9)));
    EXPECT_TRUE(PropertyValue(10).Less(PropertyValue(L"9")));  // either side text compares as text
    EXPECT_TRUE(PropertyValue(L"ab").Less(PropertyValue(L"abc")));
    EXPECT_TRUE(PropertyValue(L"abc").Less(PropertyValue(L"b")));
    EXPECT_TRUE(PropertyValue(L"B").Less(PropertyValue(L"a")));
    EXPECT_TRUE(PropertyValue(L"a").LessEqual(PropertyValue(L"a")));
    EXPECT_TRUE(PropertyValue(1).Less(PropertyValue(1.5f)));
}

TEST(PropertyValueCompare, NaNOrdersNothingAndEqualsNothing) {
    PropertyValue nan(std::nanf(""));
    EXPECT_FALSE(nan.Less(PropertyValue(1)));
    EXPECT_FALSE(nan.GreaterEqual(PropertyValue(1)));
    EXPECT_FALSE(nan.Equals(nan));
    EXPECT_TRUE(nan.NotEquals(nan));
}

TEST(PropertyValueCompare, EqualityPrecedence) {
    EXPECT_TRUE(PropertyValue(true).Equals(PropertyValue(1)));
    EXPECT_TRUE(PropertyValue(L"1").Equals(PropertyValue(1)));
    EXPECT_FALSE(PropertyValue(L"1.0").Equals(PropertyValue(1)));  // text compare: "1.0" vs "1"
    EXPECT_TRUE(PropertyValue(1.0f).Equals(PropertyValue(1)));
    EXPECT_TRUE(PropertyValue(L"abc").EqualsCString(L"abc"));
    EXPECT_FALSE(PropertyValue(L"abc").EqualsCString(L"ABC"));
    Color plain = Color::FromRGB(1, 2, 3);
    Color flagged = Color::FromRGBAFlag(1, 2, 3, 255, true);
    EXPECT_FALSE(PropertyValue(plain).Equals(PropertyValue(flagged)));
    EXPECT_TRUE(PropertyValue(plain).Equals(PropertyValue(plain)));
    EXPECT_FALSE(PropertyValue(plain).Equals(PropertyValue(1)));
}

TEST(PropertyValueArithmetic, MixedOperands) {
    PropertyValue sum = PropertyValue(1).Add(PropertyValue(2.5f));
    EXPECT_EQ(sum.GetTag(), Tag::Real);
    EXPECT_FLOAT_EQ(sum.ToReal(), 3.5f);
    EXPECT_EQ(PropertyValue(L"x").Add(PropertyValue(2.5f)).ToString(), L"x2.5");
    EXPECT_EQ(PropertyValue(1).Add(PropertyValue(L"a")).ToString(), L"1a");
    EXPECT_EQ(PropertyValue(L"2").Add(PropertyValue(3)).ToString(), L"23");
    EXPECT_EQ(PropertyValue(L"7").Subtract(PropertyValue(2)).ToInt(), 5);
    EXPECT_EQ(PropertyValue(L"2.5").Subtract(PropertyValue(1)).ToInt(), 1);
    PropertyValue q = PropertyValue(7).Divide(PropertyValue(2));
    EXPECT_EQ(q.GetTag(), Tag::Int);
    EXPECT_EQ(q.ToInt(), 3);
    EXPECT_EQ(PropertyValue(-7).Divide(PropertyValue(2)).ToInt(), -3);
    EXPECT_FLOAT_EQ(PropertyValue(7.0f).Divide(PropertyValue(2)).ToReal(), 3.5f);
    EXPECT_EQ(PropertyValue(L"3").Negate().ToInt(), -3);
    EXPECT_EQ(PropertyValue(true).Negate().ToInt(), -1);
    EXPECT_EQ(PropertyValue(1.5f).Negate().GetTag(), Tag::Real);
}

TEST(PropertyValueArithmetic, IntegerOverflowWrapsWithoutTrapping) {
    const int32_t lo = std::numeric_limits<int32_t>::min();
    const int32_t hi = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(PropertyValue(hi).Add(PropertyValue(1)).ToInt(), lo);
    EXPECT_EQ(PropertyValue(lo).Subtract(PropertyValue(1)).ToInt(), hi);
    EXPECT_EQ(PropertyValue(65536).Multiply(PropertyValue(65536)).ToInt(), 0);
    EXPECT_EQ(PropertyValue(lo).Negate().ToInt(), lo);
    EXPECT_EQ(PropertyValue(lo).Divide(PropertyValue(-1)).ToInt(), lo);
    EXPECT_EQ(PropertyValue(5).Divide(PropertyValue(0)).ToInt(), 0);
}

TEST(PropertyValueLifecycle, CopiesAreDeepAndMovesEmptyTheSource) {
    PropertyValue a(std::wstring(L"hello"));
    PropertyValue b = a;
    b = b.Add(PropertyValue(L"!"));
    EXPECT_EQ(a.ToString(), L"hello");
    PropertyValue c = std::move(a);
    EXPECT_EQ(c.ToString(), L"hello");
    EXPECT_EQ(a.GetTag(), Tag::Int);  // NOLINT(bugprone-use-after-move): the rule under test
    EXPECT_EQ(a.ToInt(), 0);
    PropertyValue& self = c;
    c = self;
    EXPECT_EQ(c.ToString(), L"hello");
    c.MoveAssign(std::move(self));
    EXPECT_EQ(c.ToString(), L"hello");
}

TEST(PropertyValueLifecycle, CStrRingHoldsSixteenResults) {
    PropertyValue first(L"first");
    const wchar_t* kept = first.CStr();
    for (int i = 0; i < 15; ++i) PropertyValue(i).CStr();
    EXPECT_STREQ(kept, L"first");  // 15 later calls leave it alone
    // The 17th call reuses the first slot: same length keeps the same storage.
    const wchar_t* reused = PropertyValue(L"again").CStr();
    EXPECT_EQ(reused, kept);
    EXPECT_STREQ(reused, L"again");
}

TEST(PropertyValueLifecycle, CStrRingIsPerThread) {
    PropertyValue mine(L"main");
    const wchar_t* kept = mine.CStr();
    std::thread other([] {
        for (int i = 0; i < 40; ++i) PropertyValue(i).CStr();
    });
    other.join();
    EXPECT_STREQ(kept, L"main");
}

TEST(PropertyValueReferences, DeletedObjectReadsAsNull) {
    auto object = std::make_unique<Named>(L"hero");
    PropertyValue v = PropertyValue::FromPropertyInterface(object.get());
    PropertyValue copy = v;
    EXPECT_TRUE(v.IsPropertyHolder());
    EXPECT_EQ(v.ToPropertyInterface(), object.get());
    EXPECT_EQ(v.ToString(), L"hero");
    EXPECT_EQ(v.ToPropertyInterface()->GetProperty(L"name").ToString(), L"hero");
    int32_t id = v.ToInt();
    object.reset();
    EXPECT_EQ(copy.ToPropertyInterface(), nullptr);
    EXPECT_FALSE(copy.ToBool());
    EXPECT_EQ(copy.ToString(), L"");
    EXPECT_EQ(copy.ToInt(), id);  // identity survives, so two stale copies still compare equal
    EXPECT_TRUE(copy.Equals(v));
}

TEST(PropertyValueReferences, IdentityAndTags) {
    Named a(L"a"), b(L"b");
    EXPECT_TRUE(PropertyValue::FromWidget(&a).Equals(PropertyValue::FromWidget(&a)));
    EXPECT_FALSE(PropertyValue::FromWidget(&a).Equals(PropertyValue::FromWidget(&b)));
    EXPECT_TRUE(PropertyValue::FromImage(&a).Equals(PropertyValue::FromImage(&a)));
    EXPECT_EQ(PropertyValue::FromImage(&a).ToWidget<Named>(), nullptr);  // wrong tag
    EXPECT_EQ(PropertyValue::FromWidget(&a).ToWidget<Named>(), &a);
    EXPECT_EQ(PropertyValue::FromWidget(nullptr).ToWidget<Named>(), nullptr);
    EXPECT_FALSE(PropertyValue(3).IsPropertyHolder());
    // A copied object is a different object.
    Named copy = a;
    EXPECT_NE(copy.LiveId(), a.LiveId());
    std::set<uint32_t> ids{a.LiveId(), b.LiveId(), copy.LiveId()};
    EXPECT_EQ(ids.size(), 3u);
    EXPECT_EQ(PropertyValue::FromWidget(&a).RawPayload(), a.LiveId());
    EXPECT_FALSE(ExtendedPropertyInterface().GetProperty(L"anything").ToBool());
}

}  // namespace
