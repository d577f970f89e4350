#include "widgets/controls/expression_text_widget.h"

#include "widgets/script/animation_widget.h"

ExpressionTextWidget::ExpressionTextWidget(AnimationWidget* owner, std::wstring expression, int x, int y,
                                           std::wstring_view fontName, int wrapWidth, int justification,
                                           int horizontalAnchor, int verticalAnchor)
    : TextLabel(x, y, std::wstring(), fontName, wrapWidth, justification, horizontalAnchor, verticalAnchor),
      expression_(std::move(expression)),
      owner_(PropertyValue::FromWidget(owner)) {
    if (owner) evaluator_ = std::make_unique<ExpressionEvaluator>(owner->Variables());
    std::wstring text;
    if (Evaluate(&text)) SetText(std::move(text));
}

bool ExpressionTextWidget::Evaluate(std::wstring* text) {
    if (!evaluator_ || !owner_.ToWidget<AnimationWidget>()) return false;
    *text = evaluator_->Evaluate(expression_).ToString();
    return true;
}

void ExpressionTextWidget::UpdateFraction(float x) {
    DynamicWidget::UpdateFraction(x);
    std::wstring text;
    if (Evaluate(&text) && text != GetText()) SetText(std::move(text));
}
