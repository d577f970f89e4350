#include "game/frontend/menus/frontend_host.h"

#include "game/data/progress/profile_manager.h"
#include "rendering/device/d3d_interface.h"

FrontendHost& FrontendHost::Fallback() {
    static NullFrontendHost none;
    return none;
}

double NullFrontendHost::GetTrackVolume(std::wstring_view name) const {
    auto it = tracks_.find(std::wstring(name));
    return it == tracks_.end() ? 1.0 : it->second;
}

ProfileBook* NullFrontendHost::GetProfiles() {
    profiles_.Bind(ProfileManager::Current());
    return profiles_.GetManager() ? &profiles_ : nullptr;
}

bool DeviceGameHasDesktopShape() {
    const D3DInterface* device = D3DInterface::Instance();
    if (!device) return true;
    return device->GetGameAspectRatio() == device->GetDesktopAspectRatio();
}
