#pragma once
// What the foundation asks of the application: system values, images,
// sounds and tracks registered by name, the current player's symbols, the
// fatal-error box, the loading-step counter and the screen's resolution.
//
// The application object derives from AppServices; its constructor installs
// it as the one process-wide instance and its destructor removes it. Tests
// install a double the same way. Code in this layer calls the free functions
// below, which answer "not found" (empty String, null, -1, no symbols) while
// nothing is installed, and print fatal errors to stderr.
// The registries' own locks make the lookups safe from the loading thread;
// the player's symbols belong to the main thread.

#include <string_view>

#include "foundation/expression/variables.h"

class ExtendedPropertyInterface;

class AppServices {
public:
    AppServices();
    virtual ~AppServices();
    AppServices(const AppServices&) = delete;
    AppServices& operator=(const AppServices&) = delete;

    // The installed instance, or null.
    static AppServices* Installed();

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
    virtual int GetStoredDataVersion() { return 0; }
    virtual void SetStoredDataVersion(int) {}
    virtual void SetAppTitle(std::wstring_view) {}
    // Counts one finished step of resource loading (the loading screen shows
    // the progress); each font and alias of fonts.xml is one step.
    virtual void AdvanceLoadingStep() {}
    // The vertical dots per inch of the screen the main window is on, which
    // turns point sizes of system fonts into pixels.
    virtual int GetScreenDpi() { return 96; }
};

PropertyValue GetSystemValue(std::wstring_view name);
ExtendedPropertyInterface* FindImageByName(std::wstring_view name);
int FindSoundId(std::wstring_view name);
int FindTrackId(std::wstring_view name);
VariableMap* CurrentPlayerSymbols();
void ShowFatalError(std::string_view message);
void ShowFatalErrorWide(std::wstring_view message);
int GetStoredDataVersion();
void SetStoredDataVersion(int version);
void SetAppTitle(std::wstring_view title);
void AdvanceLoadingStep();
