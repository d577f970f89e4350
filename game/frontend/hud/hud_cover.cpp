// The display's panels, bars and cards lie over the park: where one is
// drawn, the pointer is on it and not on the park below. Most of them are
// frames and labels that take no pointer of their own, so the display
// answers for them. A piece whose mouse pass is taken away (the night's
// veil) is see-through: neither it nor anything it holds takes the pointer,
// so it keeps the pointer from nothing beneath it. While the week's review
// stands it alone takes the pointer: nothing opens over it, nothing is
// built behind it. A building's card finds a place by the same rule: where
// it lies over none of these pieces, wholly on the screen.

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <optional>
#include <vector>

#include "game/frontend/hud/display_places.h"
#include "game/frontend/hud/user_interface.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "rendering/image/image.h"
#include "widgets/tree/pass_flags.h"

namespace {

// The pass flags `widget` takes from its parent's `flags`; none while it is
// hidden or wholly see-through, when neither it nor what it holds is a piece.
std::optional<uint32_t> ShownFlags(const Widget& widget, uint32_t flags) {
    if (!widget.IsVisible()) return std::nullopt;
    if (const auto* dynamic = dynamic_cast<const DynamicWidget*>(&widget); dynamic && dynamic->opacity <= 0.0f)
        return std::nullopt;
    return ApplyFlagMasks(flags, widget.GetAddFlags(), widget.GetRemoveFlags());
}

// Whether `widget`, or something drawn inside it, lies at (x, y) of its
// parent; `flags` are the pass flags its parent hands down.
bool Covers(const Widget& widget, float x, float y, uint32_t flags) {
    const std::optional<uint32_t> shown = ShownFlags(widget, flags);
    if (!shown) return false;
    const uint32_t own = *shown;
    const FRect p = widget.MapRectFromParent({x, y, 1.0f, 1.0f});
    if ((own & pass_flag::kMouse) && widget.ContainsPoint(static_cast<int>(p.x), static_cast<int>(p.y))) return true;
    for (const Widget* child : widget.GetChildren())
        if (Covers(*child, p.x, p.y, own)) return true;
    return false;
}

// How much of `place`, in the pixels of `space`, `widget` or what is drawn
// inside it lies over (pieces inside pieces count again: only "none" and
// "less" matter).
float CoveredArea(const Widget& space, const Widget& widget, const FRect& place, uint32_t flags) {
    const std::optional<uint32_t> shown = ShownFlags(widget, flags);
    if (!shown) return 0.0f;
    const uint32_t own = *shown;
    float area = 0.0f;
    if ((own & pass_flag::kMouse) && widget.GetWidth() > 0 && widget.GetHeight() > 0)
        area += hud_places::Overlap(place, hud_places::MapBetween(widget, space,
                                                                  {0.0f, 0.0f, static_cast<float>(widget.GetWidth()),
                                                                   static_cast<float>(widget.GetHeight())}));
    for (const Widget* child : widget.GetChildren()) area += CoveredArea(space, *child, place, own);
    return area;
}

// What the card's script drew, about the card's own place.
FRect DrawnExtent(const Widget& card) {
    float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f;
    bool any = false;
    for (const Widget* child : card.GetChildren()) {
        const FRect r = hud_places::MapBetween(
            *child, card, {0.0f, 0.0f, static_cast<float>(child->GetWidth()), static_cast<float>(child->GetHeight())});
        if (r.w <= 0.0f || r.h <= 0.0f) continue;
        left = any ? std::min(left, r.x) : r.x;
        top = any ? std::min(top, r.y) : r.y;
        right = any ? std::max(right, r.x + r.w) : r.x + r.w;
        bottom = any ? std::max(bottom, r.y + r.h) : r.y + r.h;
        any = true;
    }
    return {left, top, right - left, bottom - top};
}

// A place for a building's card, in the display's pixels: the cel of its
// notch, and how far it stands from the building (0: touching).
struct CardPlace {
    FRect rect;
    int cel = 2;
    float apart = 0.0f;
};

float Apart(const FRect& a, const FRect& b) {
    const float dx = std::max({b.x - (a.x + a.w), a.x - (b.x + b.w), 0.0f});
    const float dy = std::max({b.y - (a.y + a.h), a.y - (b.y + b.h), 0.0f});
    return std::hypot(dx, dy);
}

// How far a place is from the building's picture, measured to the cross
// through its middle: a picture's corners are mostly see-through, and a card
// that meets the building only there leaves the pointer a way across the
// ground to it.
float ApartFromBuilding(const FRect& place, const FRect& body) {
    const float middleX = body.x + body.w * 0.5f, middleY = body.y + body.h * 0.5f;
    return std::min(Apart(place, {middleX, body.y, 0.0f, body.h}), Apart(place, {body.x, middleY, body.w, 0.0f}));
}

// Over the building as its script draws it (its notch at the building's
// foot); below it (the notch at its head); right, then left of it, as near
// to it as over; each of them moved along the building's side, a quarter
// of the card at a time; the building's corners. Then the same moved out
// from the building, step by step. Each wholly on the screen; those
// touching the building first, then the nearest.
std::vector<CardPlace> CardPlaces(const FRect& at, const FRect& drawn, const FRect& body, const FRect& screen) {
    const float gap = std::max(-(drawn.y + drawn.h), 0.0f);
    struct Side {
        float x, y;    // the card's top-left
        float dx, dy;  // away from the building
        bool along;    // moved along the building's side
    };
    const float middle = at.y - drawn.h * 0.5f;
    const float right = body.x + body.w - gap, left = body.x - drawn.w + gap;
    const float top = body.y - drawn.h + gap, bottom = body.y + body.h - gap;
    const std::array<Side, 8> sides{{{at.x + drawn.x, at.y + drawn.y, 0.0f, -1.0f, true},
                                     {at.x + drawn.x, at.y + gap, 0.0f, 1.0f, true},
                                     {at.x + gap, middle, 1.0f, 0.0f, true},
                                     {at.x - gap - drawn.w, middle, -1.0f, 0.0f, true},
                                     {right, bottom, 1.0f, 1.0f, false},
                                     {left, bottom, -1.0f, 1.0f, false},
                                     {right, top, 1.0f, -1.0f, false},
                                     {left, top, -1.0f, -1.0f, false}}};
    std::vector<CardPlace> places;
    for (const float out : {0.0f, 8.0f, 16.0f, 32.0f, 64.0f, 128.0f})
        for (const float step : {0.0f, 0.25f, -0.25f, 0.5f, -0.5f, 0.75f, -0.75f, 1.0f, -1.0f})
            for (size_t i = 0; i < sides.size(); ++i) {
                const Side& side = sides[i];
                if (step != 0.0f && !side.along) continue;
                // Over or below it, the card moves along across; beside it, up and down.
                const bool across = side.dx == 0.0f;
                const float x = side.x + side.dx * out + (across ? step * drawn.w : 0.0f);
                const float y = side.y + side.dy * out + (across ? 0.0f : step * drawn.h);
                CardPlace place;
                place.rect = {std::max(std::min(x, screen.x + screen.w - drawn.w), screen.x),
                              std::max(std::min(y, screen.y + screen.h - drawn.h), screen.y), drawn.w, drawn.h};
                if (out == 0.0f && step == 0.0f && i < 2) place.cel = static_cast<int>(i);
                place.apart = ApartFromBuilding(place.rect, body);
                places.push_back(place);
            }
    std::stable_sort(places.begin(), places.end(),
                     [](const CardPlace& a, const CardPlace& b) { return a.apart < b.apart; });
    return places;
}

// A clear place apart from the building, drawn in toward it a few pixels
// at a time while it stays clear and on the screen: the candidates stand
// a step apart, the pieces in the way wherever they are.
CardPlace DrawnIn(CardPlace place, const FRect& body, const FRect& screen,
                  const std::function<float(const FRect&)>& covered) {
    constexpr float kStep = 4.0f;
    const float middleX = body.x + body.w * 0.5f, middleY = body.y + body.h * 0.5f;
    for (bool moved = true; moved && place.apart > 0.0f;) {
        moved = false;
        for (const bool across : {true, false}) {
            FRect next = place.rect;
            if (across)
                next.x += next.x + next.w * 0.5f < middleX ? kStep : -kStep;
            else
                next.y += next.y + next.h * 0.5f < middleY ? kStep : -kStep;
            const float apart = ApartFromBuilding(next, body);
            if (apart >= place.apart || next.Intersection(screen) != next || covered(next) > 0.0f) continue;
            place.rect = next;
            place.apart = apart;
            moved = true;
        }
    }
    return place;
}

bool Within(const Widget* widget, const Widget* ancestor) {
    for (const WidgetContainer* node = widget; node != nullptr; node = node->GetParent())
        if (node == ancestor) return true;
    return false;
}

}  // namespace

bool UserInterface::CoveredAt(float x, float y) const {
    // A building's card stands in the display but speaks for the park: the
    // building under its rim keeps the pointer, or the card would go and
    // come back as the pointer rests there.
    const ::Widget* card = grid_->GetPopupWidget();
    for (const ::Widget* child : GetChildren())
        if (child != grid_ && child != card && Covers(*child, x, y, pass_flag::kMouse)) return true;
    return false;
}

::Widget* UserInterface::FindWidgetAt(float x, float y, uint32_t flags, float* localX, float* localY) {
    ::Widget* found = Menu::FindWidgetAt(x, y, flags, localX, localY);
    if (found == nullptr) return found;
    AnimationWidget* review = StandingReview();
    const bool held = review ? !Within(found, review) : Within(found, grid_) && CoveredAt(x, y);
    if (!held) return found;
    if (localX) *localX = x;
    if (localY) *localY = y;
    return this;
}

bool UserInterface::PlaceCard(AnimationWidget& card, const FRect& anchor, const FRect& building) {
    using namespace hud_places;
    const FRect drawn = DrawnExtent(card);
    const FRect at = MapRectFromScreen(anchor);
    if (drawn.w <= 0.0f || drawn.h <= 0.0f) return ParkDisplay::PlaceCard(card, anchor, building);
    const auto covered = [this, &card](const FRect& place) {
        float area = 0.0f;
        for (const ::Widget* child : GetChildren())
            if (child != grid_ && child != &card) area += CoveredArea(*this, *child, place, pass_flag::kMouse);
        return area;
    };
    const auto standing = [&card, &drawn] {
        return FRect{card.GetX() + drawn.x, card.GetY() + drawn.y, drawn.w, drawn.h};
    };
    // A card placed for this spot keeps its place while no piece of the
    // display comes over it there.
    if (placedCard_.Get() == &card && placedAt_ == at && placedExtent_ == drawn && covered(standing()) <= placedCover_)
        return placedApart_;
    const FRect body = ScreenRectIn(*this, building);
    const FRect screen = ScreenIn(*this);
    const std::vector<CardPlace> places = CardPlaces(at, drawn, body, screen);
    std::vector<FRect> rects;
    rects.reserve(places.size());
    for (const CardPlace& place : places) rects.push_back(place.rect);
    CardPlace chosen = places[ClearestPlace(rects, covered)];
    if (chosen.apart > 0.0f && covered(chosen.rect) == 0.0f) chosen = DrawnIn(chosen, body, screen, covered);
    placedCard_ = &card;
    placedAt_ = at;
    placedExtent_ = drawn;
    const float x = static_cast<float>(static_cast<int>(chosen.rect.x - drawn.x));
    const float y = static_cast<float>(static_cast<int>(chosen.rect.y - drawn.y));
    if (x != card.GetX() || y != card.GetY()) card.Move(x, y);
    placedCover_ = covered(standing());
    placedApart_ = chosen.apart > 0.0f;
    auto* back = card.GetLocalVariable(L"popup_back").ToWidget<AnimationWidget>();
    const Image* image = back != nullptr ? back->GetImage() : nullptr;
    if (image != nullptr && chosen.cel < image->rows * image->cols && back->GetFrame() != chosen.cel) {
        for (const wchar_t* frame : {L"up_frame", L"over_frame", L"down_frame"})
            back->SetVariable(frame, PropertyValue::FromInt(chosen.cel));
        back->SetFrame(chosen.cel);
    }
    return placedApart_;
}
