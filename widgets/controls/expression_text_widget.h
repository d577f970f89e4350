#pragma once
// ExpressionTextWidget: a TextLabel showing the live value of an expression
// over the variables of the script widget that made it. Each frame the
// expression is evaluated again; the label lays out again only when the
// value's text changed. Once the owner is gone the text stays as it was.

#include <memory>
#include <string>
#include <string_view>

#include "foundation/expression/expression.h"
#include "widgets/controls/text_label.h"

class AnimationWidget;

class ExpressionTextWidget : public TextLabel {
public:
    ExpressionTextWidget(AnimationWidget* owner, std::wstring expression, int x, int y, std::wstring_view fontName,
                         int wrapWidth, int justification, int horizontalAnchor, int verticalAnchor);

    void UpdateFraction(float x) override;
    // The text the expression gives now; false once the owner is gone.
    bool Evaluate(std::wstring* text);

private:
    std::wstring expression_;
    // Follows the owner's life: reads null once it is deleted.
    PropertyValue owner_;
    std::unique_ptr<ExpressionEvaluator> evaluator_;
};
