#pragma once
// What the foundation asks of the application: system values, images,
// sounds and tracks registered by name, the current player's symbols, the
// fatal-error box, the stored data version, the window title, the
// loading-step counter and the screen's resolution.
//
// Reached through Service<AppServices> (service.h): the application installs
// its implementation; while nothing is installed NullAppServices answers
// "not found" (empty String, null, -1, no symbols, data version 0, 96 dots
// per inch) and prints fatal errors to stderr. Tests derive their doubles
// from NullAppServices and override only what they record. Code in this
// layer calls the free functions below, which ask Service<AppServices>::Get().
// The registries' own locks make the lookups safe from the loading thread;
// the player's symbols belong to the main thread.

#include <string_view>

#include "foundation/expression/variables.h"
#include "foundation/system/service.h"

class ExtendedPropertyInterface;

class AppServices {
public:
    AppServices() = default;
    virtual ~AppServices() = default;
    AppServices(const AppServices&) = delete;
    AppServices& operator=(const AppServices&) = delete;

    // What answers while nothing is installed: a NullAppServices.
    static AppServices& Fallback();

    // The value of the expression function sysvalue; any unknown name the empty String.
    virtual PropertyValue GetSystemValue(std::wstring_view name) = 0;
    // The registered image (its property interface), or null.
    virtual ExtendedPropertyInterface* FindImageByName(std::wstring_view name) = 0;
    // Registered ids, -1 when none.
    virtual int FindSoundId(std::wstring_view name) = 0;
    virtual int FindTrackId(std::wstring_view name) = 0;
    // The current player state's symbol map, or null when no player is current.
    virtual VariableMap* PlayerSymbols() = 0;
    // The "FATAL ERROR" box; returns when dismissed, and the caller goes on.
    virtual void ShowFatalError(std::string_view message) = 0;
    virtual void ShowFatalErrorWide(std::wstring_view message) = 0;
    // The data version settings.xml stored (0 without settings), which the
    // start-up configuration compares and overwrites, and the window title.
    virtual int GetStoredDataVersion() = 0;
    virtual void SetStoredDataVersion(int version) = 0;
    virtual void SetAppTitle(std::wstring_view title) = 0;
    // Counts one finished step of resource loading (the loading screen shows
    // the progress); each font and alias of fonts.xml is one step.
    virtual void AdvanceLoadingStep() = 0;
    // Plays a registered sound effect (its id from FindSoundId) scaled by
    // `volume`, unless the same sound was played no more than `replayGap`
    // updates ago.
    virtual void PlaySoundEffect(int soundId, int replayGap, double volume) = 0;
    // The vertical dots per inch of the screen the main window is on, which
    // turns point sizes of system fonts into pixels.
    virtual int GetScreenDpi() = 0;
};

// No application: nothing is found, nothing is stored, and a fatal error is
// printed as "FATAL ERROR: <message>" on stderr.
class NullAppServices : public AppServices {
public:
    PropertyValue GetSystemValue(std::wstring_view name) override;
    ExtendedPropertyInterface* FindImageByName(std::wstring_view) override { return nullptr; }
    int FindSoundId(std::wstring_view) override { return -1; }
    int FindTrackId(std::wstring_view) override { return -1; }
    VariableMap* PlayerSymbols() override { return nullptr; }
    void ShowFatalError(std::string_view message) override;
    void ShowFatalErrorWide(std::wstring_view message) override;
    int GetStoredDataVersion() override { return 0; }
    void SetStoredDataVersion(int) override {}
    void SetAppTitle(std::wstring_view) override {}
    void AdvanceLoadingStep() override {}
    void PlaySoundEffect(int, int, double) override {}
    int GetScreenDpi() override { return 96; }
};

PropertyValue GetSystemValue(std::wstring_view name);
ExtendedPropertyInterface* FindImageByName(std::wstring_view name);
int FindSoundId(std::wstring_view name);
int FindTrackId(std::wstring_view name);
void PlaySoundEffect(int soundId, int replayGap = 0, double volume = 1.0);
VariableMap* CurrentPlayerSymbols();
void ShowFatalError(std::string_view message);
void ShowFatalErrorWide(std::wstring_view message);
int GetStoredDataVersion();
void SetStoredDataVersion(int version);
void SetAppTitle(std::wstring_view title);
void AdvanceLoadingStep();
