#pragma once
// The root of the user-interface tree and its single input and drawing
// authority. It keeps, per pointer, the widget under the pointer and the
// widget holding it; keyboard focus and the table of held keys; the stack of
// modal layers that blocks input beneath a widget; the pass flags; the
// overlays drawn above everything; the click listeners; and the mapping from
// window pixels to the logical screen.
//
// Promises: a widget that leaves the tree, or is disabled, is forgotten at
// once as pointer target, capture, focus, modal widget and pending overlay,
// so the manager never calls a widget that is no longer attached. Input entry
// points always return true (the message is consumed).
// Calls into the manager may nest (a modal loop inside a callback); widgets
// removed while no host is installed are deleted at the end of an update
// pass that no other call into the manager encloses.
// Callers must not: run DrawScreen from inside a draw callback. Main thread only.

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "foundation/values/rect.h"
#include "widgets/tree/widget_container.h"

class ClickListener;
class ImageSurface;

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

struct LocalPoint {
    float x = 0.0f;
    float y = 0.0f;
};

// Mouse buttons as bits of the held and raw button sets.
namespace mouse_button {
inline constexpr uint32_t kLeft = 1;
inline constexpr uint32_t kRight = 2;
inline constexpr uint32_t kMiddle = 4;
}  // namespace mouse_button

struct PointerRecord {
    WidgetManager* manager = nullptr;
    int id = 0;
    Widget* capture = nullptr;  // got the press; gets drags and the release
    Widget* over = nullptr;     // had MouseEnter
    uint32_t heldButtons = 0;   // presses dispatched and not yet released
    uint32_t rawButtons = 0;    // every button down, whatever it was pressed on
    int lastButton = 0;         // 1 left, -1 right, 0 middle
    int x = 0;
    int y = 0;
    bool insideWindow = false;
    bool bound = false;
};

class WidgetManager : public WidgetContainer {
public:
    static constexpr uint32_t kDefaultFlags = 47;
    static constexpr int kNoOverlay = 2147483647;

    WidgetManager();
    ~WidgetManager() override;

    // Layout: the logical screen rectangle and where its picture lies in the window.
    void SetScreenLayout(const Rect& logical, const Rect& window);
    void MapWindowToScreen(int& x, int& y) const;
    LocalPoint ScreenToLocal(const Widget* widget, float x, float y) const;
    void SetScreenImage(ImageSurface* image) { screenImage_ = image; }

    // Passes. Each returns the dirty flag (DrawScreen: whether it drew).
    bool UpdateFrame();
    // Counts the fixed updates of every manager (and the managers made): the
    // work done between two changes of it belongs to one update (main thread only).
    static uint64_t UpdateSerial();
    bool UpdateFractionFrame(float fraction);
    bool DrawScreen();
    void DrawWidgetsTo(Graphics* g);
    void MarkAllDirty() { dirty_ = true; }
    bool IsDirty() const { return dirty_; }
    uint32_t GetCurrentFlags() const;
    void SetDefaultFlags(uint32_t flags) { defaultFlags_ = flags; }
    void SetInactiveMasks(uint32_t add, uint32_t remove) {
        inactiveAdd_ = add;
        inactiveRemove_ = remove;
    }
    Graphics* GetCurrentGraphics() const { return currentGraphics_; }

    // Overlays queued during a draw pass are drawn above everything, in
    // ascending priority, or earlier by a container whose threshold is above them.
    void AddPendingOverlay(Widget* widget, int priority);
    void DrawOverlays(int threshold);
    int GetLowestOverlayPriority() const { return lowestOverlay_; }

    // Focus and keys. Key codes are virtual-key numbers (platform/window/virtual_keys.h);
    // the key table records codes below kKeyTableSize, higher codes still reach the focus widget.
    static constexpr int kKeyTableSize = 255;
    void SetFocus(Widget* widget) override;
    Widget* GetFocus() const { return focus_; }
    bool KeyDown(int key);
    bool KeyUp(int key);
    bool KeyChar(wchar_t c);
    bool IsKeyDown(int key) const;
    void ClearKeyTable();
    void ApplicationActivated();
    void ApplicationDeactivated();
    bool IsActive() const { return active_; }

    // Modal layers: beneath the layer's widget the layer's masks apply.
    void PushModalLayer(Widget* widget, uint32_t addMask, uint32_t removeMask);
    void PushModalLayerDefault(Widget* widget);
    void SetModalLayer(Widget* widget, uint32_t addMask, uint32_t removeMask);
    void PopModalLayer(Widget* widget);
    Widget* GetModalWidget() const { return modal_; }
    size_t CountModalLayers() const { return layers_.size(); }

    // Forgets the widget as pointer target and capture (releasing its held
    // buttons), as focus and as modal widget.
    void DisownWidget(Widget* widget);

    // Pointers, in logical screen coordinates.
    PointerRecord* GetPointer(int id);
    ScreenPoint GetPointerPosition(int id) const;
    PointerRecord* ResolvePointer(int x, int y, int source, Widget** widget, float* localX, float* localY);
    Widget* FindWidgetAtPoint(float x, float y, float* localX, float* localY);
    void PointerMoved(PointerRecord* record, int x, int y, Widget* hit, float localX, float localY);
    bool MouseDown(PointerRecord* record, int x, int y, int clickCode);
    bool MouseUp(PointerRecord* record, int x, int y, int clickCode);
    bool MouseWheel(PointerRecord* record, int notches);
    bool MouseLeftWindow();
    void ReleaseAllPointers();
    void RecheckAllPointers();
    // Whether a recheck could find another widget under some pointer than
    // before once `widget` moved or changed size. It could not when no
    // pointer a recheck looks at is over or held by the widget or anything
    // inside it, and none is on them by their own hit tests, before the
    // move or after: the hit walk then passes the widget's subtree by as it
    // did, and finds what it found. PointerSpotsAround answers the first
    // part and maps those pointers into the widget's parent, which the move
    // leaves as it is; MayHitAt answers the second at the mapped spots, once
    // before the move and once after.
    struct PointerSpots {
        static constexpr size_t kMost = 4;
        FRect at[kMost];
        size_t count = 0;
        // A pointer over or held in the subtree, or more pointers or a
        // deeper tree than this keeps: recheck whatever the hit tests say.
        bool met = false;
    };
    PointerSpots PointerSpotsAround(Widget& widget);
    static bool MayHitAt(Widget& widget, const PointerSpots& spots);
    void SetLeftButtonOnly(bool on) { leftButtonOnly_ = on; }

    // Window-level input as the window layer delivers it: window pixels,
    // click codes (1 left, 2 left double, -1 right, -2 right double, 0
    // middle), raw wheel deltas (120 per notch). The source names the device.
    bool WindowMouseMove(int windowX, int windowY, int source = 0);
    bool WindowMouseDown(int windowX, int windowY, int clickCode, int source = 0);
    bool WindowMouseUp(int windowX, int windowY, int clickCode, int source = 0);
    bool WindowMouseWheel(int wheelDelta, int source = 0);

    void AddClickListener(ClickListener* listener);
    void RemoveClickListener(ClickListener* listener);
    void NotifyClickPress();
    void NotifyClickRelease();

private:
    friend class WidgetContainer;
    friend class Widget;

    struct ModalLayer {
        Widget* widget;
        Widget* savedFocus;
        uint32_t addMask;
        uint32_t removeMask;
        bool widgetGone;  // the widget is not in this tree: never touch it
    };
    struct PendingOverlay {
        Widget* widget;
        int priority;
    };
    // Counts a call into the manager that may run widget callbacks: a widget
    // removed inside one of them may still be inside its own callback.
    class Entry {
    public:
        explicit Entry(WidgetManager& owner) : owner_(owner) { ++owner_.entryDepth_; }
        ~Entry() { --owner_.entryDepth_; }
        Entry(const Entry&) = delete;
        Entry& operator=(const Entry&) = delete;

    private:
        WidgetManager& owner_;
    };

    PassFlags BuildPassFlags() const;
    void DetachWidget(Widget* widget);
    void ForgetRemovedWidget(Widget* widget);
    void NoteLayerWidgetAttached(Widget* widget);
    void SendEnter(Widget* widget);
    void SendLeave(Widget* widget);
    void ClearOver(PointerRecord* record);
    void UpdatePointerOver(PointerRecord* record, Widget* hit, int x, int y, float localX, float localY);
    void UpdateOver(PointerRecord* record, int x, int y);
    void DragMove(PointerRecord* record, int x, int y, Widget* hit, float localX, float localY);
    void RecheckPointer(PointerRecord* record);
    void ReleasePointer(PointerRecord* record);
    void ReleasePointerButtons(PointerRecord* record, Widget* widget, uint32_t buttons);
    PointerRecord* FindPointer(int id) const;
    PointerRecord* BoundRecord(int source) const;
    int CursorKind() const;

    Graphics* currentGraphics_ = nullptr;
    bool dirty_ = false;
    ImageSurface* screenImage_ = nullptr;
    std::vector<PendingOverlay> pendingOverlays_;
    int lowestOverlay_ = kNoOverlay;
    bool active_ = true;
    Widget* focus_ = nullptr;
    Widget* modal_ = nullptr;
    uint32_t inactiveAdd_ = 0;
    uint32_t inactiveRemove_ = 0;
    uint32_t belowModalAdd_ = 0;
    uint32_t belowModalRemove_ = 0;
    uint32_t defaultLayerAdd_ = 0;
    uint32_t defaultLayerRemove_ = 12;
    std::vector<ModalLayer> layers_;
    Rect logicalScreen_;
    Rect windowPicture_;
    bool leftButtonOnly_ = false;
    bool recheckPending_ = false;
    bool addGuard_ = false;  // held by the outermost AddWidget in progress
    int entryDepth_ = 0;     // calls into the manager in progress (Entry)
    uint8_t keyTable_[kKeyTableSize] = {};
    uint32_t defaultFlags_ = kDefaultFlags;
    std::map<int, std::unique_ptr<PointerRecord>> pointers_;
    std::map<int, int> inputSources_;
    std::vector<ClickListener*> clickListeners_;
};
