// The lines a widget names for the update passes' fetch ahead: every
// 64-byte line a named field touches, counted from the widget's start, but
// the first two, which the walk fetches of every widget anyway.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "tests/widgets/widget_test_support.h"
#include "widgets/dynamic/dynamic_widget.h"

namespace {

using testsupport::FakeHost;

// A widget with room past its own fields to name any line of a 4 KiB object.
class Roomy : public Widget {
public:
    void Name(size_t from, size_t to, UpdatePass pass = UpdatePass::kBoth) { AddPassLines(At(from), At(to), pass); }
    const char* At(size_t offset) const { return reinterpret_cast<const char*>(this) + offset; }

private:
    [[maybe_unused]] char room_[4400] = {};
};

// Apart from the division the widget does: a line counts when the byte
// range overlaps it.
uint64_t Overlapped(size_t from, size_t to) {
    uint64_t lines = 0;
    for (size_t line = 2; line < 64; ++line) {
        const size_t begin = line * 64, end = begin + 64;
        if (from < to && from < end && begin < to) lines |= uint64_t{1} << line;
    }
    return lines;
}

struct Range {
    size_t from, to;
};

class PassLinesTest : public ::testing::TestWithParam<Range> {
protected:
    FakeHost host;
};

TEST_P(PassLinesTest, NamesTheLinesTheBytesLieOn) {
    Roomy widget;
    ASSERT_GT(sizeof(Roomy), size_t{4100});
    widget.Name(GetParam().from, GetParam().to);
    EXPECT_EQ(widget.GetPassLines(), Overlapped(GetParam().from, GetParam().to));
}

INSTANTIATE_TEST_SUITE_P(Ranges, PassLinesTest,
                         ::testing::Values(Range{300, 304},    // inside one line
                                           Range{316, 324},    // across a boundary
                                           Range{320, 384},    // exactly one line
                                           Range{0, 200},      // from the first lines on
                                           Range{100, 128},    // within the first lines only
                                           Range{500, 500},    // nothing
                                           Range{4000, 4200},  // past the last line kept
                                           Range{130, 1100}));

// Each update pass fetches only the lines named for it; naming for both
// names for each.
TEST(PassLines, EachPassKeepsItsOwnLines) {
    FakeHost host;
    using Pass = WidgetContainer::UpdatePass;
    struct Case {
        Pass named;
        bool step, frame;
    };
    for (const Case c :
         {Case{Pass::kStep, true, false}, Case{Pass::kFrame, false, true}, Case{Pass::kBoth, true, true}}) {
        Roomy widget;
        widget.Name(300, 304, c.named);
        widget.Name(1000, 1004, Pass::kBoth);
        const uint64_t own = Overlapped(300, 304), shared = Overlapped(1000, 1004);
        EXPECT_EQ(widget.GetPassLines(Pass::kStep), (c.step ? own : 0) | shared);
        EXPECT_EQ(widget.GetPassLines(Pass::kFrame), (c.frame ? own : 0) | shared);
        EXPECT_EQ(widget.GetPassLines(), own | shared);
    }
}

TEST(PassLines, ADynamicWidgetNamesWhereItsClockLies) {
    FakeHost host;
    DynamicWidget widget(0, 0, nullptr, 1.0f);
    const auto offset = static_cast<size_t>(reinterpret_cast<const char*>(&widget.clock) -
                                            reinterpret_cast<const char*>(static_cast<WidgetContainer*>(&widget)));
    EXPECT_NE(widget.GetPassLines(WidgetContainer::UpdatePass::kFrame) & (uint64_t{1} << (offset / 64)), 0u);
}

// What a widget's Draw reads of its colour and clip is fetched ahead of it:
// the constructor once named its argument's opacity, on the stack, instead.
TEST(PassLines, ADynamicWidgetNamesItsColourAndClipForTheDraw) {
    FakeHost host;
    DynamicWidget widget(0, 0, nullptr, 1.0f);
    const char* base = reinterpret_cast<const char*>(static_cast<WidgetContainer*>(&widget));
    for (const float* field : {&widget.opacity, &widget.red, &widget.alpha, &widget.abs_clip[0], &widget.abs_clip[3],
                               &widget.rel_clip[0], &widget.rel_clip[3]}) {
        const auto line = static_cast<size_t>(reinterpret_cast<const char*>(field) - base) / 64;
        EXPECT_NE(widget.GetDrawLines() & (uint64_t{1} << line), 0u) << "line " << line;
    }
}

// Lines are counted from a widget's start: they are the memory's lines only
// when every widget, however made, starts on one.
TEST(PassLines, WidgetsStartOnALineWhereverTheyAreMade) {
    FakeHost host;
    DynamicWidget onStack(0, 0, nullptr, 1.0f);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(&onStack) % 64, 0u);
    std::vector<std::unique_ptr<DynamicWidget>> made;
    for (int i = 0; i < 8; ++i) made.push_back(std::make_unique<DynamicWidget>(0, 0, nullptr, 1.0f));
    for (const auto& widget : made) EXPECT_EQ(reinterpret_cast<uintptr_t>(widget.get()) % 64, 0u);
}

}  // namespace
