#pragma once
// settings.xml: the player's technical choices in one empty "settings"
// element, written as UTF-16LE text with a byte-order mark.
//
// Promises: the text has one fixed attribute order; booleans are written as
// digits and read as "1" or "true"; volumes are whole percentages that read
// back to the value they were written from, read within 0-100 (the mouse speed
// within 0-20); a file that is missing or does not
// parse leaves every value as it was; a save goes through a temporary file and
// a rename, so a crash leaves either the old file or the new one. A track name
// that could not be read back as an attribute name is left out of the file.
// Threads: the caller's; one settings object belongs to one thread.

#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>

struct XMLElement;

struct AppSettings {
    int version = 0;
    double sfxVolume = 0.85;
    int mouseSpeed = 0;  // 0: the player has not chosen one
    std::map<std::wstring, double> trackVolumes;
    bool windowed = true;
    bool stretchScreen = false;
    int preferredX = -1;  // -1: centred
    int preferredY = -1;
    bool waitForVsync = false;
    bool inProgress = false;
    bool customCursors = false;
};

// Whole percent of a volume; the small bias keeps 0.57 (stored as 0.5699...)
// at 57, while 0.855 still gives 85.
int VolumeToPercent(double volume);
double PercentToVolume(int percent);

// True when `name` can follow "vol-" in an attribute name and be read back.
bool IsSettingsTrackName(std::wstring_view name);

// The attribute text of the base settings. Track names that cannot be written
// are skipped and reported through `report` once per name in `reported`.
std::wstring BuildSettingsAttributes(const AppSettings& settings, std::set<std::wstring>& reported,
                                     const std::function<void(std::wstring_view)>& report);

// "<settings ATTRIBUTES/>\n"
std::wstring SettingsFileText(std::wstring_view attributes);

// Callbacks for attributes whose effect lives outside the plain values.
struct SettingsSinks {
    std::function<void(const std::wstring& track, double volume)> trackVolume;
    std::function<void(bool enabled)> customCursors;
};

// Applies the attributes present on a "settings" element.
void ApplySettingsElement(const XMLElement& element, AppSettings& settings, const SettingsSinks& sinks);

// Reads the whole file, then hands every "settings" element to `handler`.
// False, with `handler` never called, when the file is missing, holds no
// "settings" element or does not parse to its end: a damaged file changes
// nothing.
bool ReadSettingsFile(const std::string& path, const std::function<void(const XMLElement&)>& handler);

// Writes the whole file atomically; false (old file untouched) on failure.
bool WriteSettingsFile(const std::string& path, std::wstring_view attributes);
