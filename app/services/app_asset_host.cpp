#include "app/services/app_asset_host.h"

#include "app/shell/vorn_app_base.h"

void AppAssetHost::RegisterTrackVolume(std::wstring_view volumeName) { app_.RegisterTrackVolume(volumeName); }
