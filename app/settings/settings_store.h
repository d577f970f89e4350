#pragma once
// The settings of one run as the application keeps them: read once at
// start-up, saved at once with the in-progress mark, and saved again without
// it at a normal end, so a file that still says in-progress="1" tells that
// the previous run did not end normally.
//
// Owns: the values, the file's path and the names already reported as
// unwritable.
// Promises: a damaged file leaves the defaults, is moved aside to
// settings.xml.bad (.bad2 ... when taken; the oldest of a full set
// replaced) and logged, and the first save writes the file whole; one that
// cannot be moved is never replaced; a failed save keeps the old file and is
// logged; nothing is saved in screensaver mode at load; saves reach the
// file in the order they were asked for, a background one included.
// Threads: the main thread; a save begun in the background writes the text
// it was given on a thread of its own.

#include <functional>
#include <future>
#include <set>
#include <string>

#include "app/settings/settings_file.h"

class SettingsStore {
public:
    explicit SettingsStore(std::string path) : path_(std::move(path)) {}
    ~SettingsStore() { FinishSave(); }
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    AppSettings& Values() { return values_; }
    const AppSettings& Values() const { return values_; }
    const std::string& Path() const { return path_; }
    bool Loaded() const { return loaded_; }
    // Where the load moved an unreadable file; empty when it did not.
    const std::string& MovedAsideTo() const { return movedAsideTo_; }

    // Reads the file; `handler` sees each "settings" element (the game reads
    // its own attributes there). Outside screensaver mode the run is then
    // marked in progress and saved. False when the file was missing or damaged.
    bool Load(bool screensaverMode, const std::function<void(const XMLElement&)>& handler);

    // Marks the run in progress and saves (what Load does outside
    // screensaver mode, for a caller that saves later).
    void BeginRun();
    // BeginRun, with the file written (and flushed to disk) on a thread of its
    // own: the start-up goes on meanwhile. Every later save waits for it, and
    // so does FinishSave.
    void BeginRunInBackground();
    // Waits for a save begun in the background: true when it was written or
    // there was none; a failure is logged as Save logs one.
    bool FinishSave();

    // Writes the base attributes followed by `extraAttributes`.
    bool Save(std::wstring_view extraAttributes = {});
    std::wstring BuildAttributes();

    // The run ended normally: clear the mark and save, when loaded.
    void EndRun(std::wstring_view extraAttributes = {});

private:
    void KeepUnreadableAside();
    // The text a save writes; false when the file must not be replaced.
    bool SaveText(std::wstring_view extraAttributes, std::wstring& attributes);
    bool Written(bool written);

    std::string path_;
    std::string movedAsideTo_;
    bool unreadableInTheWay_ = false;
    AppSettings values_;
    std::set<std::wstring> reportedTracks_;
    bool loaded_ = false;
    std::future<bool> pendingSave_;
};
