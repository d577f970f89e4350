#pragma once
// PictureWidget: a widget showing a picture it owns, for the stand-ins of dialogs
// and transitions. The picture lives exactly as long as the widget, so no
// other holder can leave the widget drawing freed pixels. Main thread only.

#include <memory>

#include "rendering/image/image.h"
#include "widgets/dynamic/dynamic_widget.h"

class PictureWidget : public DynamicWidget {
public:
    // Null shows nothing.
    explicit PictureWidget(std::unique_ptr<Image> image);
    ~PictureWidget() override;

private:
    std::unique_ptr<Image> owned_;
};
