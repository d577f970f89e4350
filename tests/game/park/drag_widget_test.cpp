// Dragging and pushing through the widget manager on the park bench's
// 1024 x 768 screen: which clicks drag, the keep-on-screen bounds, the push
// from the edge margins, a dragged child pushing its parent, the hit test
// against the frame's box and the properties scripts read.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "game/park/grid/drag_widget.h"
#include "rendering/image/image_surface.h"
#include "tests/game/park/park_bench.h"

namespace {

using testsupport::ParkBench;

class DragTest : public ParkBench {
protected:
    DragWidget* Make(WidgetContainer& parent, float x, float y, int w, int h, bool keepOnScreen) {
        auto* widget = new DragWidget(0, 0, nullptr, 1.0f, keepOnScreen);
        widget->Resize(x, y, w, h);
        parent.AddWidget(widget);
        return widget;
    }
    // A grid-sized widget kept on screen, scrolled to (-500, -400).
    DragWidget* Board() { return Make(mgr, -500, -400, 2048, 1536, true); }
    void DragBy(int fromX, int fromY, int dx, int dy, int clickCode = 1) {
        PointerMove(fromX, fromY);
        PointerDown(fromX, fromY, clickCode);
        PointerMove(fromX + dx, fromY + dy);
    }
};

TEST_F(DragTest, OnlyASingleLeftClickDragsAndTheReleaseEnds) {
    struct Case {
        int clickCode;
        bool drags;
    };
    for (const Case c : {Case{1, true}, Case{2, false}, Case{-1, false}, Case{0, false}}) {
        SCOPED_TRACE(c.clickCode);
        DragWidget* piece = Make(mgr, 100, 100, 50, 50, false);
        DragBy(110, 110, 40, 60, c.clickCode);
        EXPECT_EQ(piece->IsDragging(), c.drags);
        EXPECT_EQ(piece->GetX(), c.drags ? 140.0f : 100.0f);
        EXPECT_EQ(piece->GetY(), c.drags ? 160.0f : 100.0f);
        PointerUp(150, 170, c.clickCode);
        EXPECT_FALSE(piece->IsDragging());
        piece->RemoveSelf();
        Advance();
    }
}

TEST_F(DragTest, KeptOnScreenItNeverUncoversTheScreenAndFollowsBackAtOnce) {
    DragWidget* board = Board();
    // Right by 600: the left edge stops at 0.
    DragBy(600, 400, 600, 0);
    EXPECT_EQ(board->GetX(), 0.0f);
    PointerMove(1190, 400);
    EXPECT_EQ(board->GetX(), -10.0f);
    // Far left: the right edge stops at the screen's; one pixel back follows.
    PointerMove(0, 400);
    EXPECT_EQ(board->GetX(), 1024.0f - 2048.0f);
    PointerMove(5, 400);
    EXPECT_EQ(board->GetX(), 1024.0f - 2048.0f + 5.0f);
    // Turning off dragging without ending it leaves the drag until the release.
    board->SetDraggable(false, false);
    EXPECT_TRUE(board->IsDragging());
    PointerUp(5, 400);
    EXPECT_FALSE(board->IsDragging());

    // Smaller than the screen on both axes: 0 wins, when dragged and when pushed.
    DragWidget* card = Make(mgr, 0, 0, 300, 200, true);
    card->SetPushMargins(20, 20);
    card->SetPushable(true);
    DragBy(100, 100, 50, 40);
    EXPECT_EQ(card->GetX(), 0.0f);
    EXPECT_EQ(card->GetY(), 0.0f);
    PointerUp(150, 140);
    PointerMove(5, 5);
    EXPECT_GT(card->GetPushX(), 0.0f);
    Advance(3);
    EXPECT_EQ(card->GetX(), 0.0f);
    EXPECT_EQ(card->GetY(), 0.0f);
}

TEST_F(DragTest, MarginsAreHalfTheSmallerOfWidgetAndScreenAtMost) {
    DragWidget* piece = Make(mgr, 0, 0, 100, 40, false);
    piece->SetPushMargins(-1, 10);
    EXPECT_EQ(piece->GetMarginX(), 50.0f);
    EXPECT_EQ(piece->GetMarginY(), 10.0f);
    EXPECT_EQ(piece->InnerRect(), FRect(50, 10, 0, 20));
    DragWidget* board = Board();
    board->SetPushMargins(5000, -1);
    EXPECT_EQ(board->GetMarginX(), 512.0f);
    EXPECT_EQ(board->GetMarginY(), 384.0f);
    // Kept on screen, the inner rectangle is the screen's, seen from the board.
    board->SetPushMargins(20, 30);
    EXPECT_EQ(board->InnerRect(), FRect(520, 430, 984, 708));
}

TEST_F(DragTest, PushGrowsWithTheDepthInTheMarginUpToThePushSpeed) {
    DragWidget* board = Board();
    board->SetPushMargins(20, 20);
    board->SetPushable(true);
    // The inner rectangle spans screen x 20 to 1004; a margin is 20 wide.
    struct Case {
        int screenX;
        float depth;  // into the margin, in margins; negative on the right
    };
    for (const Case c : {Case{20, 0}, Case{500, 0}, Case{1004, 0}, Case{15, 0.25f}, Case{10, 0.5f}, Case{0, 1},
                         Case{1014, -0.5f}, Case{1023, -0.95f}}) {
        SCOPED_TRACE(c.screenX);
        PointerMove(c.screenX, 300);
        EXPECT_FLOAT_EQ(board->GetPushX(), c.depth * DragWidget::kDefaultPushSpeed);
        EXPECT_EQ(board->GetPushY(), 0.0f);
    }
    // A pointer beyond the margin pushes no faster.
    board->SetPushFromPointer(-100 + 500, 300);
    EXPECT_FLOAT_EQ(board->GetPushX(), DragWidget::kDefaultPushSpeed);

    // The zones stay on the screen while the board moves away from the edge:
    // one pixel further in, the push is a twentieth less.
    PointerMove(10, 300);
    Advance(2);
    EXPECT_FLOAT_EQ(board->GetX(), -495.0f);
    PointerMove(11, 300);
    EXPECT_FLOAT_EQ(board->GetPushX(), 0.45f * DragWidget::kDefaultPushSpeed);
    board->SetPushable(false);
    EXPECT_EQ(board->GetPushX(), 0.0f);
}

TEST_F(DragTest, DraggedChildPushesItsParentAndKeepsFollowingWhileItScrolls) {
    DragWidget* board = Board();
    board->SetPushMargins(20, 20);
    DragWidget* item = Make(*board, 700, 500, 40, 40, false);
    item->SetPushesParent(true);
    // The item shows at screen (200, 100); held 10 pixels into it.
    DragBy(210, 110, -205, 190);
    EXPECT_GT(board->GetPushX(), 0.0f);
    for (int step = 0; step < 10; ++step) {
        Advance();
        const float screenX = board->GetX() + item->GetX();
        EXPECT_NEAR(screenX, 5.0f - 10.0f, 1.0f) << step;
    }
    EXPECT_GT(board->GetX(), -500.0f + 30.0f);

    PointerUp(5, 300);
    item->RemoveSelf();

    // Each of these ends the parent's push for good.
    const std::vector<std::function<void()>> stoppers = {
        [&] { PointerUp(5, 300); },
        [&] { item->SetPushesParent(false); },
        [&] { board->RemoveWidget(item); },
    };
    for (size_t i = 0; i < stoppers.size(); ++i) {
        SCOPED_TRACE(i);
        item = Make(*board, 700, 500, 40, 40, false);
        item->SetPushesParent(true);
        const int x = static_cast<int>(board->GetX() + item->GetX()) + 10;
        const int y = static_cast<int>(board->GetY() + item->GetY()) + 10;
        DragBy(x, y, 5 - x, 300 - y);
        EXPECT_GT(board->GetPushX(), 0.0f);
        stoppers[i]();
        EXPECT_EQ(board->GetPushX(), 0.0f);
        const bool stillChild = item->GetParent() == board;
        const float before = board->GetX();
        Advance();
        EXPECT_EQ(board->GetX(), before);
        PointerUp(5, 300);
        if (stillChild) item->RemoveSelf();
    }
}

// A 40 x 40 cel whose visible part is 20 x 30 at (10, 5), all of it opaque.
class BoxedImage {
public:
    BoxedImage() {
        const std::vector<uint32_t> pixels(20 * 30, 0xFF336699u);
        image.SetBits(pixels.data(), 20, 30, false);
        CelDataRecord record;
        record.name = L"boxed";
        CelRectRecord cel;
        cel.w = 20;
        cel.h = 30;
        cel.offsetX = 10;
        cel.offsetY = 5;
        cel.fullWidth = cel.fullHeight = 40;
        record.cels.push_back(cel);
        image.SetCelRects({record});
    }
    ImageSurface image;
};

TEST_F(DragTest, HitTestAndPropertiesFollowTheFramesBox) {
    BoxedImage boxed;
    auto* piece = new DragWidget(0, 0, nullptr, 1.0f, false);
    mgr.AddWidget(piece);
    piece->SetImage(&boxed.image);
    ASSERT_EQ(piece->GetWidth(), 40);
    struct Case {
        float x, y;
        bool pixelTest, hit;
    };
    for (const Case c :
         {Case{12, 10, true, true}, Case{2, 2, true, false}, Case{2, 2, false, false}, Case{10, 5, false, true},
          Case{30, 35, false, true}, Case{31, 20, false, false}, Case{20, 36, false, false}}) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << (c.pixelTest ? " pixels" : " box"));
        piece->SetPixelHitTest(c.pixelTest);
        EXPECT_EQ(piece->HitTest(c.x, c.y), c.hit);
    }
    // Scripts read the box through the expression language.
    auto read = [&](const wchar_t* text) { return piece->Evaluator().Evaluate(text).ToReal(); };
    EXPECT_EQ(read(L"self.bounding_box_offset_x"), 10.0f);
    EXPECT_EQ(read(L"self.bounding_box_offset_y"), 5.0f);
    EXPECT_EQ(read(L"self.bounding_box_width"), 20.0f);
    EXPECT_EQ(read(L"self.bounding_box_height"), 30.0f);
    EXPECT_EQ(read(L"self.bounding_box_center_x"), 20.0f);
    EXPECT_EQ(read(L"self.bounding_box_center_y"), 20.0f);
    EXPECT_TRUE(piece->Evaluator().Evaluate(L"self.draggable").ToBool());
    EXPECT_FALSE(piece->Evaluator().Evaluate(L"self.pushable").ToBool());

    // While dragging every point hits; the property says so.
    piece->BeginDrag(15, 15);
    EXPECT_TRUE(piece->HitTest(-300, 900));
    EXPECT_TRUE(piece->Evaluator().Evaluate(L"self.dragging").ToBool());
    piece->EndDrag();

    // Without an image the box is the widget.
    auto* plain = Make(mgr, 0, 0, 64, 32, false);
    EXPECT_EQ(plain->BoundingBox(), FRect(0, 0, 64, 32));
    EXPECT_EQ(plain->GetProperty(L"bounding_box_center_y").ToReal(), 16.0f);
    piece->SetImage(nullptr);
}

}  // namespace
