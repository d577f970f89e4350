// The register of open menus by id: showing one closes an open menu of the
// same id first; a modal menu gets a modal layer of the widget manager.

#include <algorithm>

#include "app/shell/vorn_app_base.h"
#include "widgets/screens/menu.h"

Menu* VornAppBase::FindMenu(int id) const {
    auto found = openMenus_.find(id);
    return found == openMenus_.end() ? nullptr : found->second;
}

void VornAppBase::AddMenu(Menu* menu) {
    if (menu) AddMenuWithId(menu->GetId(), menu);
}

void VornAppBase::AddMenuWithId(int id, Menu* menu) {
    if (!menu) return;
    RemoveMenuById(id);
    openMenus_[id] = menu;
    menuOrder_.push_back(menu);
    widgetManager_->AddWidget(menu);
    // A menu asked to close before it arrived leaves again at once.
    if (menu->IsModal() && menu->GetManager() == widgetManager_.get()) {
        widgetManager_->PushModalLayerDefault(menu);
        OnModalMenuAdded(menu);
    }
    if (FindMenu(id) == menu) menu->MenuOpened();
}

bool VornAppBase::DetachMenu(int id, bool removeWidget, bool deleteIt) {
    Menu* menu = FindMenu(id);
    if (!menu) return false;
    openMenus_.erase(id);
    menuOrder_.erase(std::remove(menuOrder_.begin(), menuOrder_.end(), menu), menuOrder_.end());
    const bool modal = menu->IsModal();
    if (deleteIt) {
        if (menu->GetParent())
            menu->SetDeleteOnRemoval(true);
        else
            DeferDelete(menu);  // never reached the tree: nothing else would free it
    }
    if ((removeWidget || deleteIt) && menu->GetParent()) menu->GetParent()->RemoveWidget(menu);
    if (modal) {
        OnModalMenuRemoved(menu);
        widgetManager_->PopModalLayer(menu);
    }
    return true;
}

void VornAppBase::RemoveMenuById(int id) { DetachMenu(id, true, true); }

void VornAppBase::RemoveMenu(Menu* menu) {
    // By the id it was opened under, which need not be its own: a menu
    // shown with AddMenuWithId must still be able to close itself.
    for (const auto& [id, open] : openMenus_) {
        if (open == menu) {
            RemoveMenuById(id);
            return;
        }
    }
}

void VornAppBase::CloseAllMenus() {
    while (!menuOrder_.empty()) RemoveMenu(menuOrder_.back());
}
