#include "widgets/screens/transition.h"

#include "widgets/screens/menu_host.h"
#include "widgets/screens/picture_widget.h"

Transition::Transition(std::wstring_view animation, Menu* menu, bool renderNow) : Menu(nullptr, false, false) {
    PlayAnimationNamed(animation);
    overlayThreshold_ = kPriority;
    priority_ = kPriority;
    // The object owns the picture: a script may move it anywhere, even out
    // of this menu, and it never shows freed pixels.
    auto* screenshot = new PictureWidget(DrawToImage(renderNow));
    screenshot_ = screenshot;
    RegisterObject(L"screenshot", screenshot);
    if (menu) {
        // Set first: a menu nobody takes is deleted, and the value then reads null.
        SetVariable(L"menu", PropertyValue::FromWidget(menu));
        Service<MenuHost>::Get().AddMenu(menu);
    }
}

Image* Transition::GetCapturedImage() const {
    DynamicWidget* screenshot = screenshot_.Get();
    return screenshot ? screenshot->GetImage() : nullptr;
}
