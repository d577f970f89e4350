#include "widgets/screens/picture_widget.h"

PictureWidget::PictureWidget(std::unique_ptr<Image> image)
    : DynamicWidget(0, 0, image.get(), 1.0f), owned_(std::move(image)) {}

// The base must not look at the image while it is freed.
PictureWidget::~PictureWidget() { SetImage(nullptr); }
