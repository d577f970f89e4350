#include <gtest/gtest.h>

#include <bit>
#include <string>
#include <vector>

#include "game/data/catalogues/characteristics.h"

namespace {

const std::vector<std::wstring> kNames = {L"noisy", L"quiet", L"bright", L"dark"};

// The names of a subset of the four bits, lowest bit first, built apart from the class.
std::vector<std::wstring> NamesOf(uint32_t bits) {
    std::vector<std::wstring> names;
    for (size_t i = 0; i < kNames.size(); ++i)
        if (bits & (1u << i)) names.push_back(kNames[i]);
    return names;
}

KivraCharacteristics FromNames(const std::vector<std::wstring>& names) {
    KivraCharacteristics set;
    for (const auto& name : names) set.AddCharacteristic(name);
    return set;
}

TEST(Characteristics, NamesReachEveryBitAndOnlyExactSpellings) {
    for (uint32_t bits = 0; bits < 16; ++bits) {
        const KivraCharacteristics set = FromNames(NamesOf(bits));
        EXPECT_EQ(set.GetBits(), bits);
        for (size_t i = 0; i < kNames.size(); ++i) EXPECT_EQ(set.HasCharacteristic(kNames[i]), (bits >> i & 1) != 0);
    }
    KivraCharacteristics set;
    set.AddCharacteristic(L"Noisy");
    set.AddCharacteristic(L"loud");
    set.AddCharacteristic(L"");
    EXPECT_EQ(set.GetBits(), 0u);
    EXPECT_FALSE(set.HasCharacteristic(L"Noisy"));

    set = FromNames({L"quiet", L"dark"});
    set.RemoveCharacteristic(L"Dark");
    EXPECT_TRUE(set.HasCharacteristic(L"dark"));
    set.RemoveCharacteristic(L"dark");
    EXPECT_EQ(set.GetBits(), KivraCharacteristics::kQuiet);
}

TEST(Characteristics, NthNameAndJoinedNamesFollowBitOrder) {
    for (uint32_t bits = 0; bits < 16; ++bits) {
        const KivraCharacteristics set(bits);
        const std::vector<std::wstring> names = NamesOf(bits);
        std::wstring joined;
        for (size_t i = 0; i < names.size(); ++i) {
            EXPECT_EQ(set.GetNameAt(static_cast<int>(i)), names[i]) << bits;
            joined += (i ? L", " : L"") + names[i];
        }
        EXPECT_EQ(set.GetNameAt(static_cast<int>(names.size())), L"none");
        EXPECT_EQ(set.FormatNames(), joined);
    }
    EXPECT_EQ(FromNames({L"quiet", L"dark"}).GetNameAt(1), L"dark");
    EXPECT_EQ(FromNames({L"quiet", L"dark"}).GetNameAt(2), L"none");
    EXPECT_EQ(KivraCharacteristics().GetNameAt(0), L"none");
}

TEST(Characteristics, SharedBitsAndMasksAgreeWithBitArithmetic) {
    for (uint32_t a = 0; a < 32; ++a) {
        for (uint32_t b = 0; b < 32; ++b) {
            EXPECT_EQ(KivraCharacteristics(a).CountShared(KivraCharacteristics(b)), std::popcount(a & b));
            EXPECT_EQ(KivraCharacteristics(a).HasAll(b), (a | b) == a);
        }
    }
    EXPECT_TRUE(KivraCharacteristics().HasAll(0));
}

TEST(Characteristics, ConflictsNameTheOpposedMembersOfThisSide) {
    const KivraCharacteristics loudDark = FromNames({L"noisy", L"dark"});
    const KivraCharacteristics quietBright = FromNames({L"quiet", L"bright"});
    std::vector<std::wstring> out = {L"left over"};
    loudDark.ListConflicts(quietBright, out);
    EXPECT_EQ(out, (std::vector<std::wstring>{L"noisy", L"dark"}));
    quietBright.ListConflicts(loudDark, out);
    EXPECT_EQ(out, (std::vector<std::wstring>{L"quiet", L"bright"}));
    // A set holding both members of a pair clashes with either side.
    KivraCharacteristics(15).ListConflicts(KivraCharacteristics(15), out);
    EXPECT_EQ(out, kNames);
    loudDark.ListConflicts(loudDark, out);
    EXPECT_TRUE(out.empty());

    std::wstring name = L"kept";
    KivraCharacteristics::BitToName(3, name);
    EXPECT_EQ(name, L"kept");
    KivraCharacteristics::BitToName(8, name);
    EXPECT_EQ(name, L"dark");
}

}  // namespace
