#include "app/settings/settings_file.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "foundation/files/path_utils.h"
#include "foundation/files/xml_parser.h"
#include "foundation/system/text.h"

namespace {

bool ReadBool(const std::wstring& value) { return value == L"1" || value == L"true"; }

bool ReadInt(const std::wstring& value, int& out) {
    try {
        size_t used = 0;
        long parsed = std::stol(value, &used, 10);
        if (parsed < INT32_MIN || parsed > INT32_MAX) return false;
        out = static_cast<int>(parsed);
        return true;
    } catch (...) {
        return false;
    }
}

// Volumes are whole percentages; the mouse speed is the system's 1-20, or 0
// for not chosen yet. A value outside is taken at the nearest end, so every
// save writes back what the reader can hold.
constexpr int kMaxPercent = 100;
constexpr int kMaxMouseSpeed = 20;

bool ReadClamped(const std::wstring& value, int low, int high, int& out) {
    if (!ReadInt(value, out)) return false;
    out = std::clamp(out, low, high);
    return true;
}

bool IsNameStart(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_' || c == L':' || c >= 0x80;
}

}  // namespace

int VolumeToPercent(double volume) {
    if (!std::isfinite(volume)) return 0;
    double scaled = std::trunc(volume * 100.0 + 1e-6);
    if (scaled > INT32_MAX) return INT32_MAX;
    if (scaled < INT32_MIN) return INT32_MIN;
    return static_cast<int>(scaled);
}

double PercentToVolume(int percent) { return percent / 100.0; }

bool IsSettingsTrackName(std::wstring_view name) {
    if (name.empty()) return false;
    // The name follows "vol-", so it only has to avoid what ends an
    // attribute name in the reader; a leading digit is fine there.
    for (wchar_t c : name) {
        bool ok = IsNameStart(c) || (c >= L'0' && c <= L'9') || c == L'-' || c == L'.';
        if (!ok) return false;
    }
    return true;
}

std::wstring BuildSettingsAttributes(const AppSettings& settings, std::set<std::wstring>& reported,
                                     const std::function<void(std::wstring_view)>& report) {
    std::wstring tracks;
    for (const auto& [name, volume] : settings.trackVolumes) {
        if (!IsSettingsTrackName(name)) {
            if (reported.insert(name).second && report)
                report(L"settings.xml: track volume for \"" + name + L"\" not saved; the name is no attribute name");
            continue;
        }
        tracks += L"vol-" + name + L"=\"" + std::to_wstring(VolumeToPercent(volume)) + L"\" ";
    }
    return text::WFormat(
        L"version=\"%d\" sfx=\"%d\" mouse-speed=\"%d\" \n%ls\nwindowed=\"%d\" "
        L"stretch-screen=\"%d\" preferred-x=\"%d\" preferred-y=\"%d\" \nwait-for-vsync=\"%d\" "
        L"in-progress=\"%d\" custom-cursors=\"%d\"",
        settings.version, VolumeToPercent(settings.sfxVolume), settings.mouseSpeed, tracks.c_str(),
        settings.windowed ? 1 : 0, settings.stretchScreen ? 1 : 0, settings.preferredX, settings.preferredY,
        settings.waitForVsync ? 1 : 0, settings.inProgress ? 1 : 0, settings.customCursors ? 1 : 0);
}

std::wstring SettingsFileText(std::wstring_view attributes) {
    return L"<settings " + std::wstring(attributes) + L"/>\n";
}

void ApplySettingsElement(const XMLElement& element, AppSettings& settings, const SettingsSinks& sinks) {
    for (const auto& [name, value] : element.attributes) {
        int number = 0;
        if (name == L"version") {
            if (ReadInt(value, number)) settings.version = number;
        } else if (name == L"sfx") {
            if (ReadClamped(value, 0, kMaxPercent, number)) settings.sfxVolume = PercentToVolume(number);
        } else if (name == L"mouse-speed") {
            if (ReadClamped(value, 0, kMaxMouseSpeed, number)) settings.mouseSpeed = number;
        } else if (name == L"preferred-x") {
            if (ReadInt(value, number)) settings.preferredX = number;
        } else if (name == L"preferred-y") {
            if (ReadInt(value, number)) settings.preferredY = number;
        } else if (name == L"windowed") {
            settings.windowed = ReadBool(value);
        } else if (name == L"stretch-screen") {
            settings.stretchScreen = ReadBool(value);
        } else if (name == L"wait-for-vsync") {
            settings.waitForVsync = ReadBool(value);
        } else if (name == L"in-progress") {
            settings.inProgress = ReadBool(value);
        } else if (name == L"custom-cursors") {
            settings.customCursors = ReadBool(value);
            if (sinks.customCursors) sinks.customCursors(settings.customCursors);
        } else if (name.size() > 4 && name.compare(0, 4, L"vol-") == 0) {
            if (!ReadClamped(value, 0, kMaxPercent, number)) continue;
            std::wstring track = name.substr(4);
            settings.trackVolumes[track] = PercentToVolume(number);
            if (sinks.trackVolume) sinks.trackVolume(track, PercentToVolume(number));
        }
    }
}

bool ReadSettingsFile(const std::string& path, const std::function<void(const XMLElement&)>& handler) {
    XMLParser parser;
    if (!parser.OpenFile(path)) return false;
    std::vector<XMLElement> found;
    XMLElement element;
    while (parser.NextElement(element)) {
        if (element.kind == XMLElement::kStart && element.name == L"settings") found.push_back(element);
    }
    if (parser.HasFailed() || found.empty()) return false;
    for (const XMLElement& settings : found) handler(settings);
    return true;
}

bool WriteSettingsFile(const std::string& path, std::wstring_view attributes) {
    return WriteWStringToFile(path, SettingsFileText(attributes));
}
