// A grid item's look: its image by type and action, the image row of its
// orientation, and turning in quarter turns.
#include <cstdio>

#include "foundation/system/app_services.h"
#include "foundation/system/text.h"
#include "game/data/catalogues/item_types.h"
#include "game/park/grid/grid.h"
#include "game/park/grid/grid_footprint.h"
#include "game/park/grid/grid_item.h"
#include "rendering/image/image.h"
#include "widgets/script/animation_stats.h"

namespace {

std::wstring Joined(std::wstring_view a, std::wstring_view b) {
    std::wstring name(a);
    name += L'_';
    name += b;
    return name;
}

Image* NamedImage(std::wstring_view name) { return dynamic_cast<Image*>(FindImageByName(name)); }

// Update steps each frame of an action's cycle shows.
constexpr float kCyclePeriod = 10.0f;

bool IsRowAxis(int32_t orientation) { return orientation == 0 || orientation == 2; }

}  // namespace

RotationPlan PlanRotation(int32_t degrees, int32_t orientation, int32_t rows, bool autoFlip) {
    RotationPlan plan;
    int32_t angle = degrees % 360;
    if (angle < 0) angle += 360;
    if (angle == 0) return plan;
    const bool rowAxis = IsRowAxis(orientation);
    if (rows == 0 || rows == 4 || (rows == 1 && !autoFlip)) {
        plan.first = RotationPlan::kAboutCentre;
        plan.firstAngle = angle;
    } else if ((rows == 1 || rows == 2) && autoFlip) {
        int32_t a = angle;
        if (angle < 181) {
            a = 90;
            plan.first = rowAxis ? RotationPlan::kAboutCentre : RotationPlan::kPlain;
            plan.firstAngle = a;
        }
        if (angle >= 180) {
            plan.second = rowAxis ? RotationPlan::kPlain : RotationPlan::kAboutCentre;
            plan.secondAngle = a;
        }
    } else if (rows == 2) {
        plan.target = (angle / 90 + orientation) % 4;
        if (angle != 180) {
            plan.first = RotationPlan::kAboutCentre;
            plan.firstAngle = rowAxis ? 270 : 90;
        }
    }
    return plan;
}

FrameRow RowForOrientation(int32_t orientation, int32_t rows, bool autoFlip) {
    switch (rows) {
        case 1: return {0, IsRowAxis(orientation)};
        case 2:
            if (!autoFlip) return {IsRowAxis(orientation) ? 1 : 0, false};
            switch (orientation) {
                case 0: return {0, false};
                case 1: return {1, false};
                case 2: return {1, true};
                default: return {0, true};
            }
        case 4: return {orientation, false};
        default: return {0, false};
    }
}

bool GridItem::SetRotation(int32_t degrees) {
    if (!footprint_) return false;
    const RotationPlan plan = PlanRotation(degrees, GetOrientation(), image_ ? image_->rows : 0, autoFlip_);
    bool changed = false;
    const auto run = [&](RotationPlan::Op op, int32_t angle) {
        if (op == RotationPlan::kAboutCentre) changed = RotateFootprintAboutCentre(angle) || changed;
        if (op == RotationPlan::kPlain) changed = RotateFootprint(angle) || changed;
    };
    run(plan.first, plan.firstAngle);
    run(plan.second, plan.secondAngle);
    // A planned 0 is left to the footprint operation's own result.
    if (plan.target > 0) footprint_->SetOrientation(plan.target);
    return changed;
}

bool GridItem::RotateFootprintAboutCentre(int32_t degrees) {
    return footprint_ && footprint_->RotateAboutCentre(degrees);
}

bool GridItem::RotateFootprint(int32_t degrees) { return footprint_ && footprint_->Rotate(degrees); }

void GridItem::SetOrientation(int32_t orientation) {
    const int32_t current = GetOrientation();
    if (footprint_ && orientation != current) {
        int32_t quarter = (orientation - current) % 4;
        if (quarter < 0) quarter += 4;
        if (SetRotation(quarter * 90)) {
            MarkGridDirty();
            MoveTo(GetGridPosition());
        }
    }
    UpdateFrame();
}

void GridItem::UpdateFrame() {
    if (flipX_ < 0) Flip(false);
    SetFrameChanged(true);
    if (image_ != nullptr && image_->cols > 0) {
        const FrameRow look = RowForOrientation(GetOrientation(), image_->rows, autoFlip_);
        firstFrame_ = look.row * image_->cols;
        if (look.mirrored) Flip(false);
        SetFrame(firstFrame_ + GetFrame() % image_->cols);
    }
    if (AnimationDefinition* definition = GetDefinition()) PlayAnimation(definition);
}

void GridItem::SetImage(Image* image) {
    const Image* old = image_;
    const int32_t oldRows = old ? old->rows : 0, oldCols = old ? old->cols : 0;
    const int oldFrame = GetFrame();
    DynamicWidget::SetImage(image);
    if (image == nullptr || old == nullptr || oldRows == 0) return;
    if (GetFrame() != oldFrame || image->rows != oldRows || image->cols != oldCols ||
        image->rows * image->cols != oldRows * oldCols)
        UpdateFrame();
}

Image* GridItem::LoadTypeImage() {
    if (!action_.empty()) return NamedImage(Joined(type_, action_));
    const ITEM_TYPE* record = TypeRecord();
    const std::wstring& name = record && !record->image.empty() ? record->image : type_;
    return NamedImage(name);
}

void GridItem::SetAction(std::wstring_view action) {
    action_ = action;
    const std::wstring imageKey = action_.empty() ? type_ : Joined(type_, action_);
    const std::wstring animationKey = action_.empty() ? category_ : Joined(category_, action_);
    if (image_ == nullptr || image_->name != imageKey) {
        const int oldWidth = width_;
        SetImage(LoadTypeImage());
        if (width_ != oldWidth) MoveTo(GetGridPosition());
    }
    std::wstring_view animation;
    if (AnimationExists(imageKey))
        animation = imageKey;
    else if (AnimationExists(animationKey))
        animation = animationKey;
    else if (!action_.empty())
        animation = action_;
    if (animation.empty()) return;
    // The row of the present orientation, forward, without end.
    if (image_ != nullptr && image_->cols > 0)
        CycleFrames(0, kCyclePeriod, 0, 0.0f, firstFrame_, firstFrame_ + image_->cols - 1, 0.0f, 1);
    PlayAnimationNamed(animation);
}
