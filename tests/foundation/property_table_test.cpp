// The declarative property table on a small record of its own: reads and
// writes answered as two chains in declaration order would, and "_ptr"
// names answering handles that follow the record's fields and die with it.

#include <gtest/gtest.h>

#include <memory>

#include "foundation/values/property_table.h"

namespace {

using Tag = PropertyValue::Tag;

class Stall : public ExtendedPropertyInterface {
public:
    static const PropertyTable<Stall>& Properties() {
        using T = PropertyTable<Stall>;
        static const T table{
            T::Int(L"visitors", [](Stall& s) { return &s.visitors; }).WithHandle(),
            T::Float(
                L"price", [](Stall& s) { return &s.price; }, 4)
                .WithHandle(),
            T::Value(L"open", [](Stall& s) -> PropertyValue { return s.visitors < 10; }),
            // Read as a figure, written as a field: the first of each kind answers.
            T::Value(L"level", [](Stall& s) -> PropertyValue { return static_cast<int>(s.level * 10.0f); }),
            T::FloatWriteOnly(
                L"level", [](Stall& s) { return &s.level; }, 2),
            T::Float(
                L"level", [](Stall& s) { return &s.price; }, 1),
            T::FloatReadOnly(L"wear", [](Stall& s) { return &s.wear; }),
            T::FloatWriteOnly(
                L"", [](Stall& s) { return &s.wear; }, 8),
        };
        return table;
    }
    PropertyValue GetProperty(std::wstring_view name) override {
        if (auto reader = Properties().FindReader(name)) return reader.Read(*this, handles);
        return ExtendedPropertyInterface::GetProperty(name);
    }
    float* GetPropertyPtr(std::wstring_view name, uint32_t& mask) { return Properties().Field(*this, name, mask); }

    int32_t visitors = 3;
    float price = 1.5f;
    float level = 0.25f;
    float wear = 0.0f;
    FieldHandles handles;
};

TEST(PropertyTable, ReadsAndWritesFollowTheFirstDeclarationOfEachKind) {
    Stall s;
    EXPECT_TRUE(s.GetProperty(L"visitors").Is(Tag::Int));
    EXPECT_EQ(s.GetProperty(L"visitors").ToInt(), 3);
    EXPECT_TRUE(s.GetProperty(L"price").Is(Tag::Real));
    EXPECT_TRUE(s.GetProperty(L"open").ToBool());
    EXPECT_EQ(s.GetProperty(L"level").ToInt(), 2);

    uint32_t mask = 16;
    float* level = s.GetPropertyPtr(L"level", mask);
    ASSERT_EQ(level, &s.level);
    EXPECT_EQ(mask, 16u | 2u);
    *level = 0.75f;
    EXPECT_EQ(s.GetProperty(L"level").ToInt(), 7);

    // Read-only and int fields give writers nothing; neither do unknown or empty names.
    EXPECT_EQ(s.GetPropertyPtr(L"wear", mask), nullptr);
    EXPECT_EQ(s.GetPropertyPtr(L"visitors", mask), nullptr);
    EXPECT_EQ(s.GetPropertyPtr(L"", mask), nullptr);
    EXPECT_EQ(s.GetPropertyPtr(L"Price", mask), nullptr);
    EXPECT_EQ(s.GetPropertyPtr(L"price_ptr", mask), nullptr);
    EXPECT_EQ(mask, 16u | 2u);
    for (const wchar_t* unknown : {L"", L"pric", L"prices", L"wear_ptr", L"open_ptr", L"level_ptr"}) {
        const PropertyValue v = s.GetProperty(unknown);
        EXPECT_TRUE(v.Is(Tag::Bool) && !v.ToBool()) << "the base answers " << v.ToString();
    }
}

TEST(PropertyTable, PointerNamesAnswerHandlesThatFollowTheFieldUntilTheRecordDies) {
    auto s = std::make_unique<Stall>();
    const PropertyValue visitors = s->GetProperty(L"visitors_ptr");
    const PropertyValue price = s->GetProperty(L"price_ptr");
    ASSERT_TRUE(visitors.Is(Tag::Int));
    EXPECT_EQ(s->GetProperty(L"visitors_ptr").ToInt(), visitors.ToInt()) << "one handle per field";
    EXPECT_NE(visitors.ToInt(), price.ToInt());
    EXPECT_EQ(FieldHandle::ReadInt(visitors.ToInt()), 3);
    s->visitors = 41;
    s->price = -2.5f;
    EXPECT_EQ(FieldHandle::ReadInt(visitors.ToInt()), 41);
    EXPECT_EQ(FieldHandle::ReadReal(price.ToInt()), -2.5f);

    // A copy follows its own fields, under handles of its own.
    Stall copy(*s);
    copy.visitors = 7;
    const PropertyValue copied = copy.GetProperty(L"visitors_ptr");
    EXPECT_NE(copied.ToInt(), visitors.ToInt());
    EXPECT_EQ(FieldHandle::ReadInt(copied.ToInt()), 7);
    EXPECT_EQ(FieldHandle::ReadInt(visitors.ToInt()), 41);

    s.reset();
    EXPECT_EQ(FieldHandle::ReadInt(visitors.ToInt()), 0);
    EXPECT_EQ(FieldHandle::ReadReal(price.ToInt()), 0.0f);
    EXPECT_EQ(FieldHandle::ReadInt(copied.ToInt()), 7);
}

TEST(PropertyTable, KeptReadingsAnswerAsTheNameDoesAndExistOnlyForPlainReaders) {
    const auto& table = Stall::Properties();
    Stall s;
    const wchar_t* const readable[] = {L"visitors", L"price", L"open", L"level", L"wear"};
    auto expectSame = [&s](const PropertyReading& reading, const wchar_t* name) {
        const PropertyValue kept = reading.read(s, reading.entry);
        const PropertyValue found = s.GetProperty(name);
        EXPECT_TRUE(kept.Is(found.GetTag()) && kept.ToString() == found.ToString()) << name;
    };
    for (const wchar_t* name : readable) {
        const PropertyReading* reading = table.Resolve(name);
        ASSERT_NE(reading, nullptr) << name;
        expectSame(*reading, name);
        s.visitors = 12;
        s.level = 0.5f;
        s.wear = 3.0f;
        expectSame(*reading, name);
        s = Stall();
    }
    // Handles are made by the owner's handles; write-only and unknown names have no reader.
    for (const wchar_t* none : {L"visitors_ptr", L"price_ptr", L"", L"pric", L"wear_ptr"})
        EXPECT_EQ(table.Resolve(none), nullptr) << none;
}

}  // namespace
