#include "widgets/screens/transition.h"

#include "widgets/screens/menu_host.h"

Transition::Transition(std::wstring_view animation, Menu* menu, bool renderNow) : Menu(nullptr, false, false) {
    PlayAnimationNamed(animation);
    overlayThreshold_ = kPriority;
    priority_ = kPriority;
    DrawToImage(renderNow);
    // The picture stays the menu's; the widget only shows it.
    RegisterObject(L"screenshot", new DynamicWidget(0, 0, GetCapturedImage(), 1.0f));
    if (menu) {
        // Set first: a menu nobody takes is deleted, and the value then reads null.
        SetVariable(L"menu", PropertyValue::FromWidget(menu));
        Service<MenuHost>::Get().AddMenu(menu);
    }
}
