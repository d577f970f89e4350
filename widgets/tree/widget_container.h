#pragma once
// The node type of the user-interface tree: an ordered list of child widgets,
// the links to the parent and the manager, position, size, the pass-flag
// masks and the three recursive passes (fixed-step update, per-frame update,
// draw) with the hit-test walk. Widget and WidgetManager derive from it.
//
// Promises: children stay ordered by ascending priority (equal priorities in
// the order the insertion hints give); a child may remove itself or any
// sibling, be re-positioned or re-sort the children while a pass is visiting
// the container, and the walk still visits every remaining child once. Adding
// a widget to itself or into its own subtree is refused.
//
// Callers must not: delete a child that is still in the tree (remove it;
// deletion is deferred), or expect the container to own its children.
// Main thread only.

#include <bit>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

#include "foundation/values/rect.h"
#include "widgets/tree/child_array.h"
#include "widgets/tree/pass_flags.h"

class Graphics;
class Widget;
class WidgetManager;

// On a line's boundary: the walks fetch a widget's lines ahead of their
// visits by their offset from its start (pass lines, draw lines, the first
// two), and only then are those the memory's own lines; from a 16-byte
// boundary each named line's last bytes lay on a line nobody asked for.
class alignas(64) WidgetContainer {
public:
    using ChildList = ChildArray;

    WidgetContainer();
    WidgetContainer(const WidgetContainer&) = delete;
    WidgetContainer& operator=(const WidgetContainer&) = delete;

    // Rectangles and points are four floats; a point is (x, y, 1, 1). The
    // third member is a depth: the root projects anything not at depth 1.
    virtual Widget* FindWidgetAt(float x, float y, uint32_t flags, float* localX, float* localY);
    virtual ~WidgetContainer();
    virtual void AddWidget(Widget* widget);
    virtual void RemoveWidget(Widget* widget);
    virtual void SetFocus(Widget* widget);
    // By the widget's offset; inline so that a caller that knows no
    // transform applies can ask this mapping without a call.
    virtual FRect MapRectToParent(const FRect& r) const { return {r.x + x_, r.y + y_, r.w, r.h}; }
    virtual FRect MapRectFromParent(const FRect& r) const;
    virtual void MarkDirty();
    virtual void Update();
    virtual void UpdateAll(PassFlags& flags);
    virtual void UpdateFraction(float fraction);
    virtual void UpdateFractionAll(PassFlags& flags, float fraction);
    virtual void Draw(Graphics* g);
    virtual void DrawAll(PassFlags& flags, Graphics* g);
    virtual bool IsPaused() const;

    void RemoveAllWidgets(bool setDeleteFlag, bool recursive);
    void BringToFront(Widget* widget);
    void BringToBack(Widget* widget);
    void PutBehind(Widget* widget, Widget* other);
    void PutInFront(Widget* widget, Widget* other);
    // Stable; used after a child's priority changed.
    void SortChildren();

    FRect MapRectToScreen(const FRect& r) const;
    FRect MapRectFromScreen(const FRect& r) const;
    // Pre-order walk of root's subtree: true when a is met before b; false
    // when b comes first or neither is found.
    static bool ComesBefore(const WidgetContainer* root, const Widget* a, const Widget* b);

    const ChildList& GetChildren() const { return children_; }
    WidgetManager* GetManager() const { return manager_; }
    WidgetContainer* GetParent() const { return parent_; }
    WidgetContainer* GetPauseOwner() const { return pauseOwner_; }
    void SetPauseOwner(WidgetContainer* owner);

    float GetX() const { return x_; }
    float GetY() const { return y_; }
    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }
    int GetPriority() const { return priority_; }
    // Does not move the container among its siblings: call the parent's SortChildren.
    void SetPriority(int priority) { priority_ = priority; }
    bool GetClipChildren() const { return clipChildren_; }
    void SetClipChildren(bool clip) { clipChildren_ = clip; }
    uint32_t GetAddFlags() const { return addFlags_; }
    uint32_t GetRemoveFlags() const { return removeFlags_; }
    void SetFlagMasks(uint32_t add, uint32_t remove) {
        addFlags_ = add;
        removeFlags_ = remove;
    }
    int GetOverlayThreshold() const { return overlayThreshold_; }
    void SetOverlayThreshold(int threshold) { overlayThreshold_ = threshold; }
    // The two update passes: the fixed step's and the per-frame one.
    enum class UpdatePass : uint8_t { kStep = 1, kFrame = 2, kBoth = 3 };
    // The 64-byte lines of this object, counted from its start, that the
    // update pass reads of it beyond its first two: bit n for line n (both:
    // the lines either reads).
    uint64_t GetPassLines(UpdatePass pass = UpdatePass::kBoth) const {
        return (HasPass(pass, UpdatePass::kStep) ? stepLines_ : 0) |
               (HasPass(pass, UpdatePass::kFrame) ? frameLines_ : 0);
    }
    // The same for the draw pass (its first three lines included).
    uint64_t GetDrawLines() const { return drawLines_; }

protected:
    ChildList children_;

private:
    struct ChildCursor;
    // The walks in progress over the children, innermost first: read as a
    // walk begins, beside the children it walks.
    ChildCursor* cursors_ = nullptr;

protected:
    WidgetManager* manager_ = nullptr;
    WidgetContainer* parent_ = nullptr;
    WidgetContainer* pauseOwner_ = nullptr;
    float x_ = 0.0f;
    float y_ = 0.0f;
    int width_ = 0;
    int height_ = 0;
    bool clipChildren_ = false;
    // Whether the widget's own drawing, its children aside, would draw
    // nothing, as the class that draws it keeps it: here, because the draw
    // walk asks it of thousands of tasks it passes by, and these lines are
    // fetched ahead of every visit while the class's own fields are not.
    // The walk then fetches none of a blank widget's other lines.
    bool blank_ = false;
    // Which update pass reads the pass target: the fixed step's or the frame's.
    bool stepTarget_ : 1 = false;
    // Whether the class answers IsPaused itself (AnswersOwnPause); in the
    // byte of the flag above, as the first two lines have no other room.
    bool answersPause_ : 1 = false;
    // A further line of the pass target that pass reads, counted in lines
    // from the target's (0: none, the line after the target's is fetched
    // instead); in what was padding.
    int8_t targetAlso_ = 0;
    uint32_t addFlags_ = 0;
    uint32_t removeFlags_ = 0;
    int overlayThreshold_ = 0;
    int priority_ = 0;

    // Whether this is `widget` or lies inside it.
    bool IsInSubtreeOf(const Widget* widget) const;
    // Where AddWidget puts `widget` among the children: after the last one
    // whose priority is not above its own. A container that knows its
    // children split at that priority finds the place without the walk.
    virtual size_t AddPosition(const Widget& widget) const;
    // A class that overrides IsPaused calls this as it is made: the walks
    // ask every widget they visit, and ask through the table only those
    // that said so, the rest by the answer here, without a call.
    void AnswersOwnPause() { answersPause_ = true; }

    // Adds the lines that the bytes from `first` up to `end` lie on to the
    // pass lines of `pass`. Subclasses name the fields an update pass reads
    // of every widget, so that the walk asks the memory for all of them at
    // once and ahead of the visit instead of waiting on each in turn; each
    // pass fetches only its own, for the walks wait on the memory's
    // throughput and a line fetched for nothing delays the others.
    void AddPassLines(const void* first, const void* end, UpdatePass pass = UpdatePass::kBoth);
    // Whether the fixed step fetches the line `field` of this object lies
    // on, as every field of the first two lines. The lines named only grow:
    // a field only ever set along with naming its line is untouched while
    // the line is not named.
    bool StepFetches(const void* field) const {
        const auto line =
            static_cast<uint64_t>(static_cast<const char*>(field) - reinterpret_cast<const char*>(this)) / 64;
        return line < 2 || line >= 64 || ((stepLines_ >> line) & 1) != 0;
    }
    // The same for the draw pass, one line for each field Draw and DrawAll
    // read; a widget's first three lines are named for every widget.
    void AddDrawLines(std::initializer_list<const void*> fields);
    // Names the object one of the update passes reads first through this
    // widget (null: none), as a dynamic widget's first controller in the
    // per-frame pass or a task sequence's current task in the fixed step:
    // the walk asks for its first two lines with this widget's pass lines
    // (the first and the `also` line when one is named),
    // a visit ahead. A hint only, kept where the walk reads it first: an
    // object too far from this one for it is not named, and a stale one
    // does no harm. `also`: a field of the same object on a line of its own
    // that the pass reads as soon, fetched with the target's line in place
    // of the one after it (null: none, and the line after is fetched).
    void NamePassTarget(const void* target, bool fixedStep, const void* also = nullptr);
    // Whether this widget's Draw and DrawAll, its children aside, draw
    // nothing and leave the context's batch, transform, shader and target as
    // they found them: the draw walk then passes by a subtree of such widgets.
    virtual bool DrawsNothing() const { return false; }

private:
    friend class WidgetManager;

    // Which of a child's lines a walk asks for ahead of its visit.
    enum class PassLines { kDraw, kUpdate, kFrame };

    // What a walk must remember once a re-ordering carried children across
    // its cursor: their place then no longer tells whether it visited them.
    struct CursorMoves {
        std::vector<Widget*> visitedAhead;  // visited, now ahead: skipped
        std::vector<Widget*> missedBehind;  // not visited, now behind: visited at the end
        std::vector<Widget*> sortVisited;   // scratch of SortChildren
    };
    // One per walk in progress over this container's children, innermost
    // first: the index of the child it visits or visits next. Unlinking or
    // moving the child under a cursor steps the cursor on. A child's place
    // tells whether the walk has visited it (behind the cursor: yes) except
    // for the children the moves name; most walks never need them.
    struct ChildCursor {
        size_t pos = 0;
        bool advanced = false;
        bool movingVisited = false;  // scratch of Reposition
        ChildCursor* outer = nullptr;
        std::unique_ptr<CursorMoves> moves;

        CursorMoves& Moves();
    };
    // Walks the children first to last through a cursor that removals and
    // re-positionings step on, so the walk survives them and visits every
    // child that stays in the container once.
    class ChildWalk {
    public:
        // Inline: every container's visit in every pass opens one. The
        // owner holding a stack cursor looks like a dangling pointer to
        // GCC once inlined, though the destructor always takes it back.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdangling-pointer"
#endif
        explicit ChildWalk(WidgetContainer& owner) : owner_(owner) {
            cursor_.outer = owner.cursors_;
            owner.cursors_ = &cursor_;
        }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
        ~ChildWalk() { owner_.cursors_ = cursor_.outer; }
        ChildWalk(const ChildWalk&) = delete;
        ChildWalk& operator=(const ChildWalk&) = delete;

        // Inline for the common walk, where nothing was carried across the
        // cursor; CurrentAfterMoves handles the rest.
        Widget* Current() {
            if (cursor_.moves) return CurrentAfterMoves();
            cursor_.advanced = false;
            return cursor_.pos < owner_.children_.size() ? owner_.children_[cursor_.pos] : nullptr;
        }
        void Next() {
            if (!cursor_.advanced && cursor_.pos < owner_.children_.size()) ++cursor_.pos;
        }
        // Whether Current would find no child: the cursor is past the last
        // and nothing was carried behind it.
        bool Finished() const { return !cursor_.moves && cursor_.pos >= owner_.children_.size(); }
        // Asks the memory for the children ahead of the cursor: the first
        // lines of the child two on, and what the pass reads of the next
        // child (and, at the first step, of this one). The update passes
        // look a child further, and ask for what they read of the next
        // child's only child too. One function for each pass: it runs at
        // every child of every walk, and asked which pass it served at
        // each line it named.
        template <PassLines lines>
        void PrefetchAhead() const {
            // Nothing lies ahead of a lone child in the update passes: its
            // lines were asked for as the owner's visit began
            // (PrefetchChildren). Inline, so that the walks down every
            // visitor's chain of lone children make no call to learn it.
            if (lines != PassLines::kDraw && owner_.children_.Lone() != nullptr) return;
            PrefetchAheadOfSeveral<lines>();
        }

    private:
        Widget* CurrentAfterMoves();
        template <PassLines lines>
        void PrefetchAheadOfSeveral() const;

        WidgetContainer& owner_;
        ChildCursor cursor_;
    };

    // Whether drawing this widget and its subtree, as a child in a walk
    // whose flags are `flags`, changes nothing: neither pixels nor the
    // context's batching or target, nor the pass. The context's batching
    // and off-screen switches are those of `outer` when `outerSet`.
    bool DrawChangesNothing(const PassFlags& flags, uint32_t outer, bool outerSet) const;
    size_t InsertPosition(size_t hint, int priority) const;
    // Insert and erase a child at a place, keeping the cursors on their children.
    void InsertAt(size_t at, Widget* child);
    void EraseAt(size_t at);
    size_t IndexOf(const Widget* child) const;
    // Orders the children by priority, keeping equal ones in their order.
    void SortByPriority();
    // Whether the child lies behind the cursor (or is the one being visited).
    bool IsBehind(const ChildCursor& cursor, const Widget* child) const;
    bool HasVisited(const ChildCursor& cursor, Widget* child) const;
    template <typename Place>
    void ForEachPlace(const ChildCursor& cursor, Place place) const;
    void ForgetInCursors(const Widget* child);
    enum class Hint { End, Begin, Before, After };
    void Reposition(Widget* widget, Hint hint, Widget* other);
    void TakePauseOwner(WidgetContainer* owner);
    void ClearPauseOwnerOfSubtree();

    // NamePassTarget's object from this one's start, in bytes; on the
    // second line beside the pass lines, in what was padding.
    int32_t passTarget_ = 0;
    uint64_t stepLines_ = 0;
    uint64_t frameLines_ = 0;
    uint64_t drawLines_ = 0b111;

    static constexpr bool HasPass(UpdatePass pass, UpdatePass which) {
        return (static_cast<uint8_t>(pass) & static_cast<uint8_t>(which)) != 0;
    }

    // The lines from `first` up to `end` of this object beyond its first two.
    uint64_t LinesOf(const void* first, const void* end) const;

    // The first two lines of a widget, which every pass reads.
    [[gnu::always_inline]] static void PrefetchHeader(const void* widget) {
        const char* at = static_cast<const char*>(widget);
        __builtin_prefetch(at);
        __builtin_prefetch(at + 64);
    }
    // What the pass reads of the widget beyond them, with the first lines of
    // its only child; reads its first lines. Always inline: a call to a
    // function that only asks the memory for lines has no effect the
    // compiler sees, and the optimiser drops such calls.
    [[gnu::always_inline]] static void PrefetchLines(const WidgetContainer& widget, PassLines lines) {
        const char* at = reinterpret_cast<const char*>(&widget);
        const uint64_t drawn = widget.blank_ ? 0 : widget.drawLines_;
        const uint64_t passed = lines == PassLines::kUpdate ? widget.stepLines_ : widget.frameLines_;
        for (uint64_t named = lines == PassLines::kDraw ? drawn : passed; named != 0; named &= named - 1)
            __builtin_prefetch(at + (static_cast<size_t>(std::countr_zero(named)) << 6));
        const bool targetRead = lines == (widget.stepTarget_ ? PassLines::kUpdate : PassLines::kFrame);
        if (targetRead && widget.passTarget_ != 0) {
            // Another object: its address is formed as a number, not by
            // pointer arithmetic over this one.
            const auto target = reinterpret_cast<const char*>(reinterpret_cast<uintptr_t>(at) +
                                                              static_cast<uintptr_t>(intptr_t{widget.passTarget_}));
            __builtin_prefetch(target);
            // The line after the target's, or the further line named in
            // its place: a sequence reads its task's done flag and then its
            // wait, nothing on the line after the flag's.
            __builtin_prefetch(target + (widget.targetAlso_ != 0 ? intptr_t{widget.targetAlso_} : 1) * 64);
        }
        if (const Widget* lone = widget.children_.Lone()) PrefetchHeader(lone);
    }
    // As an update pass begins this widget's visit: what the pass reads of
    // its children first (container_passes.cpp).
    void PrefetchChildren(PassLines lines) const;
    // A visit of the fixed step (frame false) or of the per-frame pass
    // within the masks (container_passes.cpp).
    template <bool frame>
    void VisitForUpdate(PassFlags& flags, float fraction);
    // IsPaused as this class answers it, and as a walk asks it of the
    // widget it visits (container_passes.cpp).
    bool PausedByOwner() const;
    bool PausedInWalk() const;
};
