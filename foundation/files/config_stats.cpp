#include "foundation/files/config_stats.h"

#include "foundation/system/app_services.h"
#include "foundation/system/utilities.h"

std::map<std::wstring, HotSpot>& CursorHotspots() {
    static std::map<std::wstring, HotSpot> hotspots;
    return hotspots;
}

void ConfigStats::ElementStart(const std::wstring& name) {
    if (name == L"config") {
        if (!HasAttribute(L"version")) return;
        int version = GetAttributeInt(L"version");
        int stored = GetStoredDataVersion();
        if (version == stored) return;
        if (stored != 0 && version != 0) DeleteDirectoryTree(GetAppDataFolder());
        SetStoredDataVersion(version);
    } else if (name == L"title") {
        SetAppTitle(GetAttribute(L"name"));
    } else if (name == L"cursor") {
        CursorHotspots()[GetAttribute(L"name")] = HotSpot{GetAttributeInt(L"x"), GetAttributeInt(L"y")};
    }
}

void LoadConfigXml() {
    ConfigStats stats;
    stats.LoadPropertiesXml("config.xml");
}
