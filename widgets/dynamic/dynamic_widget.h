#pragma once
// DynamicWidget: the widget every script-driven object is made of. It owns
// an image with frames and two frame animators, a transform about its middle,
// colour factors and opacity, two clips, a mask, an optional shader, a subtree
// cache, and the named float properties that motion writes (GetPropertyPtr).
//
// Promises: a write through a property pointer followed by PropertiesChanged
// with the collected change bits (1 position, 2 transform, 4 colour, 8 clip)
// is all a writer needs; the transform is composed only when dirty and its
// inverse only when asked for. Values referring to the widget read null once
// it is deleted (ExtendedPropertyInterface), and its "..._ptr" values are
// field handles that read 0 from then on. Deleting it stops and frees
// every controller, oscillation (offsets undone) and clamp it holds.
// Callers must not keep property pointers past the widget's life, or delete
// it while it is in a tree (remove it). Main thread only.

#include <array>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "foundation/values/field_handle.h"
#include "foundation/values/function_ref.h"
#include "foundation/values/property_interface.h"
#include "foundation/values/property_value.h"
#include "foundation/values/transform.h"
#include "widgets/dynamic/button_listener.h"
#include "widgets/dynamic/motion.h"
#include "widgets/motion/controller_name.h"
#include "widgets/script/animation_listener.h"
#include "widgets/tree/removal_listener.h"
#include "widgets/tree/widget.h"

class Image;
class ImageSurface;
class ShaderProgram;
template <class Owner>
class PropertyTable;

// Change bits of the animatable properties.
namespace change_bit {
inline constexpr uint32_t kPosition = 1;
inline constexpr uint32_t kTransform = 2;
inline constexpr uint32_t kColour = 4;
inline constexpr uint32_t kClip = 8;
}  // namespace change_bit

// One frame animator (image frames or mask frames).
// The two fields every update reads come first.
struct FrameAnimator {
    float period = 0.0f;  // update units per frame; 0 stops
    int cyclesLeft = 0;   // 0: no limit
    int frame = 0;
    int step = 1;
    int mode = 0;  // 0 back and forth, 1 forward, -1 backward, 2 random
    int lowest = 0;
    int highest = 0;
    float timer = 0.0f;
    float crossFadeTime = 0.0f;
};

// A subtree rendered into an image and drawn in its place while still.
struct WidgetCache {
    Image* image = nullptr;
    bool imageOwned = false;
    int x = 0, y = 0, width = 0, height = 0;
    bool followPosition = false;
    bool drawn = false;  // the image holds a rendering
};

// Draws one cel of the image at (x, y), stretched to the cel's size.
void DrawImageAtCelSize(Graphics* g, Image* image, float x, float y, int cel);

// "Not given" for SetCenter's components and similar script defaults.
inline constexpr float kNotGiven = 268435456.0f;

class DynamicWidget : public Widget,
                      public ButtonListener,
                      public AnimationListener,
                      public RemovalWidget,
                      public ExtendedPropertyInterface {
public:
    DynamicWidget(int x, int y, Image* image, float opacity);
    ~DynamicWidget() override;

    // Tree and input.
    Widget* FindWidgetAt(float x, float y, uint32_t flags, float* localX, float* localY) override;
    FRect MapRectToParent(const FRect& r) const override;
    FRect MapRectFromParent(const FRect& r) const override;
    void MarkDirty() override;
    void Update() override;
    void UpdateFraction(float x) override;
    void Draw(Graphics* g) override;
    void DrawAll(PassFlags& flags, Graphics* g) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseMove(int x, int y) override;
    void MouseDown(int x, int y, int clickCode) override;
    void MouseUpAt(int x, int y) override;
    bool HitTest(float x, float y) override;
    void AddedToParent(WidgetContainer* parent) override;
    void RemovedFromParent(WidgetContainer* parent) override;
    bool ContainsPoint(int x, int y) const override;
    virtual bool IsAnimating() const;
    virtual ImageSurface* GetWritableImage();
    // The float field of a writable property, its change bits ORed into
    // `mask`; null (mask untouched) for an unknown name.
    virtual float* GetPropertyPtr(std::wstring_view name, uint32_t& mask);
    // Who hears this widget's presses, releases, holds and pointer moves.
    // Joining a parent picks the parent when none is set; leaving one
    // clears it. Null: nobody.
    void SetButtonListener(ButtonListener* listener) { buttonListener_ = listener; }
    ButtonListener* GetButtonListener() const { return buttonListener_; }
    // The field behind a "..._ptr" handle that GetProperty gave; null for
    // anything else, another widget's handles included.
    float* FieldFromHandle(int handle) { return fieldHandles_.RealField(handle); }

    void AnimationSignal(int widgetId, std::wstring_view signal) override;
    PropertyValue GetProperty(std::wstring_view name) override;
    std::wstring ReferenceText() const override { return idText_; }

    // Image and frames.
    void SetImage(Image* image);
    void MakeImagePrivate(Image* image = nullptr);
    // Sets an image the widget is to own from now on (freed with it).
    void AdoptImage(std::unique_ptr<Image> image);
    Image* GetImage() const { return image_; }
    bool IsImagePrivate() const { return privateImage_; }
    void SetFrame(int frame);
    void SetMaskFrame(int frame);
    int GetFrame() const { return animators_[0].frame; }
    int GetMaskFrame() const { return animators_[1].frame; }
    // animator: 0 image, 1 mask. A negative highest counts from the image's cel count.
    void CycleFrames(int animator, float period, int cycles, float timerStart, int lowest, int highest,
                     float crossFadeTime, int mode);
    const FrameAnimator& GetAnimator(int animator) const { return animators_[animator == 1 ? 1 : 0]; }
    // The cross-fade weight of `previous` (1 down to 0); driven by the fade machinery.
    void SetFade(int previous, float fraction) {
        previousFrame_ = previous;
        fadeFraction_ = fraction;
    }
    float GetFadeFraction() const { return fadeFraction_; }
    // Shows `frame`, cross-fading from the present one over `time` along the
    // curve (linear when null). A new fade replaces one still running.
    void FadeToFrame(int frame, float time, std::unique_ptr<EasingCurve> curve = nullptr);
    void Flash(int period, int count, int phase);

    // Transform.
    void SetRotationAxis(float x, float y, float z);
    void SetCenter(float cx, float cy, float cz);
    void Flip(bool vertical);
    const Transform& ComposeTransform();
    const Matrix4& GetInverseMatrix();
    bool HasTransform() { return ComposeTransform(), hasTransform_; }
    void SetTransformChildren(bool on) {
        transformChildren_ = on;
        NoteBlank();
    }
    void SetClipping(bool on) { clipSubtree_ = on; }
    void SetPostRender(int mode) {
        postRender_ = mode;
        NoteBlank();
    }
    void Tesselate(int columns, int rows);

    // Appearance.
    void SetMask(Image* mask) { maskImage_ = mask; }
    // `enabled` false keeps the rectangle but draws and tests with the whole mask cel.
    void SetMaskRect(float x, float y, float w, float h, bool enabled = true);
    void SetDrawMode(int mode) { drawMode_ = mode; }
    void SetCulling(uint8_t cull) { culling_ = cull; }
    void SetPixelHitTest(bool on) { pixelHitTest_ = on; }
    void SetShader(ShaderProgram* shader);
    ShaderProgram* GetShader() const { return shader_.get(); }
    // Binds a constant to a field handle (a "..._ptr" value, possibly of
    // another widget); each draw sends its current value, 0 once it is gone.
    void SetShaderConstant(const std::string& name, int32_t fieldHandle) { shaderConstants_[name] = fieldHandle; }
    void SetCache(bool on, bool immediate, WidgetCache* cache = nullptr);
    const WidgetCache* GetCache() const { return cache_.get(); }
    int GetCacheCountdown() const { return cacheCountdown_; }
    void SetId(std::wstring id) { idText_ = std::move(id); }
    const std::wstring& GetIdText() const { return idText_; }
    // The clip rectangle in the widget's own coordinates (x, y, w, h).
    FRect ClipRectangle() const;
    // Whether Draw puts the current cel of the image down at the widget's
    // origin as the context stands: no colour, fade, mask, shader, draw
    // mode, culling, tesselation or transform of the widget's own (its clip
    // rectangle aside). A caller may then know the pixels it will give.
    bool DrawsImagePlainly();

    // When-done actions.
    void RemoveWhenDone(bool on);
    void HideWhenDone(bool on);
    void ClearFlagWhenDone(bool on);
    void ResetModesWhenDone(bool on);

    // Refresh after property writes.
    void PropertiesChanged(uint32_t mask);

    // Direct writes of base values: offsets off, write (or add, when
    // relative), offsets on, refresh. Unknown names write nothing.
    void SetFloatProperty(std::wstring_view name, float value, bool relative);
    void SetPosition(std::wstring_view nameX, std::wstring_view nameY, float vx, float vy, bool relative);

    // Timed changes. An unknown property name adds no target; a change with
    // no target at all adds no controller. A null curve is linear.
    void TweenProperty(const std::wstring& controller, std::wstring_view property, float end, float time,
                       std::unique_ptr<EasingCurve> curve, bool relative);
    void TweenPropertyPair(const std::wstring& controller, std::wstring_view nameX, std::wstring_view nameY, float endX,
                           float endY, float time, std::unique_ptr<EasingCurve> curve, bool relative);
    // The same by curve name (empty: linear; see MakeEasingCurve). The pair
    // holds its fields for `delay` update units before it moves them. A null
    // curve argument still means the curve object above.
    template <class Name>
    requires(std::is_convertible_v<Name, std::wstring_view> &&
             !std::is_null_pointer_v<Name>) void TweenProperty(const std::wstring& controller,
                                                               std::wstring_view property, float end, float time,
                                                               const Name& curve, bool relative) {
        TweenPropertyByName(controller, property, end, time, std::wstring_view(curve), relative);
    }
    template <class Name>
    requires(std::is_convertible_v<Name, std::wstring_view> &&
             !std::is_null_pointer_v<Name>) void TweenPropertyPair(const std::wstring& controller,
                                                                   std::wstring_view nameX, std::wstring_view nameY,
                                                                   float endX, float endY, float time,
                                                                   const Name& curve, float delay = 0.0f) {
        TweenPropertyPairByName(controller, nameX, nameY, endX, endY, time, std::wstring_view(curve), delay);
    }
    void TweenPropertyByName(const std::wstring& controller, std::wstring_view property, float end, float time,
                             std::wstring_view curve, bool relative);
    // Starts a tween this widget ran before and kept (KeepEnded) again
    // under its name, as TweenPropertyPair would make it anew over the
    // same two fields: from their base values to (endX, endY) over `time`.
    void TweenAgain(std::unique_ptr<Tweener> tween, float endX, float endY, float time);
    void TweenPropertyPairByName(const std::wstring& controller, std::wstring_view nameX, std::wstring_view nameY,
                                 float endX, float endY, float time, std::wstring_view curve, float delay);
    // Timed changes are controllers named uniquely, so a name counts 0 or 1.
    void StopTweens(const std::wstring& name);
    int CountTweens(const std::wstring& name) const;
    // The same answered from a bit the widget keeps, once the name has a number.
    int CountTweens(const ControllerName& name) const;
    // `start`: a number is the phase; "top", "bottom" and "random" pick one.
    // A null wave is a sine.
    void Oscillate(const std::wstring& name, std::wstring_view property, float amplitude, float rate,
                   const PropertyValue& start, std::unique_ptr<OscillatingCurve> wave);
    // A jump along a parabola to (endX, endY) whose apex rises at least
    // minDy and at most maxDy (negative values dip below instead).
    void Arc(int endX, int endY, int minDy, int maxDy, int time);
    void Circle(const std::wstring& controller, float time, float angle, int x, int y,
                std::unique_ptr<EasingCurve> curve);
    void Shear(const std::wstring& controller, float targetX, float targetY, float offsetX, float offsetY, float speed,
               float acceleration, float decay);

    // Motion held by the widget (owned), keyed by the object's name: adding
    // under a name in use destroys the earlier one. Safe to call from inside
    // a controller's Update: what is stopped then dies after the pass.
    void AddController(std::unique_ptr<Controller> controller);
    void StopController(const std::wstring& name);
    void StopChanges();
    void AddOscillation(std::unique_ptr<Oscillation> oscillation);
    // undo: take the offset out of the field; else the displaced value stays.
    void StopOscillation(const std::wstring& name, bool undo);
    void StopOscillations(bool undo);
    void AddClamp(std::unique_ptr<Clamp> clamp);
    void StopClamp(const std::wstring& name, bool undo);
    void StopClamps(bool undo);
    void RemoveOffsets();
    void ApplyOffsets(float x);
    // Controllers that count as animating call this when made and destroyed.
    void AddControllerCount(int delta) { controllerCount_ += delta; }
    int GetControllerCount() const { return controllerCount_; }
    const std::map<std::wstring, std::unique_ptr<Controller>>& GetControllers() const { return controllers_; }
    const std::map<std::wstring, std::unique_ptr<Oscillation>>& GetOscillations() const { return oscillations_; }
    const std::map<std::wstring, std::unique_ptr<Clamp>>& GetClamps() const { return clamps_; }
    int GetPreviousFrame() const { return previousFrame_; }

    // Scales the time every update hands to motion and frame animators; 0
    // freezes them (the elapsed "clock" stops too).
    void SetClockRate(float rate) { clockRate_ = std::isfinite(rate) ? rate : 1.0f; }
    float GetClockRate() const { return clockRate_; }
    // Set whenever the shown image frame changes; whoever reads it clears it.
    bool IsFrameChanged() const { return frameChanged_; }
    void SetFrameChanged(bool on) { frameChanged_ = on; }

    // Plain fields scripts read and write. The first three open the block
    // every update pass reads of every widget (below).
    float clock = 0.0f;
    float last_x = 0.0f, last_y = 0.0f;

protected:
    // Whether the transform applies to the children too: every point or
    // rectangle mapped through the widget asks it, as each walking person's
    // step does for the tile under its feet, so it lies on the block's first
    // line with the rest that step reads (the draw pass reads this line too).
    bool transformChildren_ = false;
    // The rest of what both update passes read of a widget with nothing to
    // animate, kept together and first: a pass over thousands of widgets
    // then reads a few lines of each instead of a dozen scattered ones.
    float clockRate_ = 1.0f;
    int controllerCount_ = 0;
    // Bit n: a tween named by ControllerName number n is held; worth
    // believing only where tweenBitsKnown_ has bit n (learnt from the map
    // at the first question, kept by every change of an entry after).
    mutable uint32_t tweenBits_ = 0, tweenBitsKnown_ = 0;
    // The count too: IsAnimating asks it at every update.
    int flashPeriod_ = 0, flashCount_ = 0;
    // Whether the oscillation and clamp offsets are laid on the fields now.
    bool offsetsOn_ : 1 = true;
    bool updatingControllers_ : 1 = false;
    // Whether a controller went to retired_ in the pass under way: the
    // vector lies on a line of its own that the passes do not read, and a
    // pass that retires nothing, as most do, need not look at it.
    bool retiredInPass_ : 1 = false;
    // Bits of the same byte, so that the opacity finds room on this line.
    bool removeWhenDone_ : 1 = false;
    bool hideWhenDone_ : 1 = false;
    bool clearFlagWhenDone_ : 1 = false;
    bool resetModesWhenDone_ : 1 = false;
    bool frameChanged_ = false;
    // Whether any oscillation or clamp is held: the passes ask this, not
    // the two maps, which lie outside the lines they read.
    bool hasOffsets_ = false;

public:
    // Asked by every position change, as a walking visitor's per-frame
    // update makes, and drawn: here, on the second line of the block, which
    // both of those read, and not on the first, which a walking person's
    // fixed step reads alone.
    float opacity = 1.0f;

protected:
    // Read by a widget's update whenever it has nothing left to animate.
    std::unique_ptr<ShaderProgram> shader_;
    // The first entry's controller (null: none, or emptied), kept by every
    // change of the map: a pass over a widget with one controller, as a
    // walking visitor's, reaches it without reading the map's node, and
    // the per-frame update of a widget with none learns it here, not from
    // the map.
    Controller* firstController_ = nullptr;
    // On the line of the flags above, both periods with it: the per-frame
    // update of a widget with nothing to animate, as every visitor's task
    // sequence and task, then reads two lines of this block, not three.
    std::array<FrameAnimator, 2> animators_{};
    // Read only while the widget flashes (a period is set): out of the
    // block above, where the opacity took its place.
    int flashPhase_ = 0;

public:
    // Not drawn either, beside the flash's phase: the two fill what the
    // animators leave of their line, so that the map's first entry and
    // size lie on one line with the cache below.
    float timer = 0.0f;

protected:
    std::map<std::wstring, std::unique_ptr<Controller>> controllers_;
    // Asked of every widget whose position a controller changes, and again
    // by MarkDirty: beside the map's words a widget with a controller reads
    // at every frame, not among the other fields of the cache.
    std::unique_ptr<WidgetCache> cache_;
    std::map<std::wstring, std::unique_ptr<Oscillation>> oscillations_;
    std::map<std::wstring, std::unique_ptr<Clamp>> clamps_;

public:
    float alpha = 1.0f, red = 1.0f, green = 1.0f, blue = 1.0f;
    float z = 0.0f, angle = 0.0f;
    float scale_x = 1.0f, scale_y = 1.0f;
    float shear_x = 0.0f, shear_y = 0.0f, shear_x_offset = 0.0f, shear_y_offset = 0.0f;
    std::array<float, 4> abs_clip{-1000000.0f, -1000000.0f, 1000000.0f, 1000000.0f};
    std::array<float, 4> rel_clip{-1000000.0f, -1000000.0f, 1000000.0f, 1000000.0f};

protected:
    // The names scripts read and writers animate. Subclasses keep a table
    // (and field handles) of their own and fall back on these.
    static const PropertyTable<DynamicWidget>& Properties();
    void MarkTransformDirty() { transformDirty_ = true; }
    // The image drawn with the colour loop (step 7 of a draw), at the origin.
    // Runs `draw` once with the colour (r, gr, b, a), and again for each
    // whole unit a factor lies above 1, adding only that part; 255 draws at
    // most, as no 8-bit channel can show more.
    static void ColourLoop(Graphics* g, float r, float gr, float b, float a, FunctionRef<void()> draw);
    // The same passes for draws that take their colour themselves (fills,
    // text): each pass hands `draw` the colour of that pass.
    static void ColourPasses(Graphics* g, float r, float gr, float b, float a, FunctionRef<void(const Color&)> draw);
    // Both run on this: `pass` gets each pass's factors.
    static void ColourFactorPasses(Graphics* g, float r, float gr, float b, float a,
                                   FunctionRef<void(float r, float gr, float b, float a)> pass);
    void DrawOneImage(Graphics* g, Image* image, int frame, const FRect& cel);
    void AdvanceAnimator(FrameAnimator& a, bool isMask);
    // The frame animators' part of the per-frame update, for a widget with
    // one running.
    void StepAnimators(float x);
    void RunWhenDone();
    // Whether RunWhenDone has anything to do.
    bool HasWhenDone() const {
        return (shader_ && visible_) || removeWhenDone_ || hideWhenDone_ || clearFlagWhenDone_ || resetModesWhenDone_;
    }
    void DrawSubtreeInto(PassFlags& flags, Graphics* source, ImageSurface* target, float dx, float dy);
    // `rendered`: the subtree already drawn into an image; null renders it now.
    void DrawPostRender(PassFlags& flags, Graphics* g, ImageSurface* rendered);
    void DrawCached(PassFlags& flags, Graphics* g);
    void ApplyClip(Graphics* g) const;
    // For classes that draw only through this class's Draw and DrawAll:
    // nothing of the widget itself is drawn, and nothing of the context
    // changed but what the walk sets back.
    bool HasNothingToDraw() const {
        assert(blank_ == IsBlank());
        return blank_;
    }
    bool IsBlank() const { return !image_ && !cache_ && postRender_ == 0 && !transformChildren_; }
    // After any change of the image, the cache, the post-render mode or the children's transform.
    void NoteBlank() { blank_ = IsBlank(); }
    void RetireController(std::map<std::wstring, std::unique_ptr<Controller>>::iterator it);
    // Keeps a controller stopped while the controllers are advanced until the pass is over.
    void KeepRetired(std::unique_ptr<Controller> controller) {
        retired_.push_back(std::move(controller));
        retiredInPass_ = true;
    }
    // The entry of the name numbered `number` (-1: none) now holds `c` (null: nothing).
    void NoteEntry(int number, const Controller* c);
    // Each controller that ended or was stopped during a pass over the
    // controllers, as the pass ends, before it dies: a class that starts
    // such a controller again and again may take it from `ended` (resting
    // it, SetResting) rather than make a new one each time.
    virtual void KeepEnded(std::unique_ptr<Controller>& ended) { (void)ended; }
    // For a KeepEnded: moves `ended` into an empty `kept`, resting, where it
    // is a plain tween named `name` moving just (x, y) by `changeBits`, one
    // TweenAgain can start again (a script may name a tween of its own so).
    static void KeepPairTween(std::unique_ptr<Controller>& ended, std::unique_ptr<Tweener>& kept,
                              const ControllerName& name, const float* x, const float* y, uint32_t changeBits);
    void UpdateControllers(float x);
    void NoteFirstController() {
        firstController_ = controllers_.empty() ? nullptr : controllers_.begin()->second.get();
        // The controller's first lines are the first the per-frame update
        // waits on; the line of the map's words and the cache comes next.
        NamePassTarget(firstController_, false);
        if (firstController_ != nullptr) AddPassLines(&cache_, &cache_ + 1, UpdatePass::kFrame);
    }
    void NoteOffsets() { hasOffsets_ = !oscillations_.empty() || !clamps_.empty(); }
    // Names the block the per-frame update reads of every widget, from the
    // clock to the frame animators' periods, for `pass`: a class whose fixed
    // step asks after its motion, as a walking person's does, names it there too.
    void NameMotionLines(UpdatePass pass) { AddPassLines(&clock, &animators_[1].period + 1, pass); }
    // Names for the fixed step what a moving widget's step asks of that
    // block, as a walking person's does, all on its first line: whether the
    // transform applies to the children, which its mapping of a point
    // asks, the clock's rate, the controller count, the tweens held and the
    // flash. Not the frame animators, which only a widget without a
    // controller is asked after.
    void NameStepMotionLines() { AddPassLines(&clock, &flashCount_ + 1, UpdatePass::kStep); }
    void StartArc(int endX, int endY, int minDy, int maxDy, int time);
    // Offsets off, `write`, offsets on, when there are any offsets.
    template <typename Write>
    void WriteBase(Write write);

    Image* image_ = nullptr;
    std::array<float, 3> rotationAxis_{0.0f, 0.0f, 1.0f};
    int flipX_ = 1, flipY_ = 1;
    ButtonListener* buttonListener_ = nullptr;
    Image* maskImage_ = nullptr;
    FRect maskRect_;
    bool maskRectSet_ = false;
    int drawMode_ = 0;
    uint8_t culling_ = 0;
    std::map<std::string, int32_t> shaderConstants_;  // name to field handle
    std::array<float, 3> pivot_{0.0f, 0.0f, 0.0f};
    bool pixelHitTest_ = true;
    std::wstring idText_;
    // While the controllers are advanced (updatingControllers_), stopped
    // ones wait here (their map entries left empty) until the pass is over.
    std::vector<std::unique_ptr<Controller>> retired_;
    std::wstring fadeController_;
    int previousFrame_ = 0;
    float fadeFraction_ = 0.0f;
    bool transformDirty_ = true;
    bool inverseDirty_ = true;
    bool hasTransform_ = false;
    bool privateImage_ = false;
    bool tesselated_ = false;
    int tessColumns_ = 0, tessRows_ = 0;
    bool clipSubtree_ = false;
    int postRender_ = 0;
    Transform transform_;
    Matrix4 inverse_;
    int cacheCountdown_ = 0;
    float cacheLastX_ = 0.0f, cacheLastY_ = 0.0f;
    // Last, so the handles are withdrawn before any field they follow goes.
    FieldHandles fieldHandles_;
};
