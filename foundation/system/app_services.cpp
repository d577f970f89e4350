#include "foundation/system/app_services.h"

#include <cstdio>
#include <string>

#include "foundation/system/text.h"

AppServices& AppServices::Fallback() {
    static NullAppServices none;
    return none;
}

PropertyValue NullAppServices::GetSystemValue(std::wstring_view) { return PropertyValue(std::wstring()); }

void NullAppServices::ShowFatalError(std::string_view message) {
    std::fprintf(stderr, "FATAL ERROR: %.*s\n", static_cast<int>(message.size()), message.data());
}

void NullAppServices::ShowFatalErrorWide(std::wstring_view message) {
    std::string utf8 = text::ToUtf8(message);
    std::fprintf(stderr, "FATAL ERROR: %s\n", utf8.c_str());
}

namespace {

AppServices& App() { return Service<AppServices>::Get(); }

}  // namespace

PropertyValue GetSystemValue(std::wstring_view name) { return App().GetSystemValue(name); }

ExtendedPropertyInterface* FindImageByName(std::wstring_view name) { return App().FindImageByName(name); }

int FindSoundId(std::wstring_view name) { return App().FindSoundId(name); }

int FindTrackId(std::wstring_view name) { return App().FindTrackId(name); }

VariableMap* CurrentPlayerSymbols() { return App().PlayerSymbols(); }

void ShowFatalError(std::string_view message) { App().ShowFatalError(message); }

void ShowFatalErrorWide(std::wstring_view message) { App().ShowFatalErrorWide(message); }

int GetStoredDataVersion() { return App().GetStoredDataVersion(); }

void SetStoredDataVersion(int version) { App().SetStoredDataVersion(version); }

void SetAppTitle(std::wstring_view title) { App().SetAppTitle(title); }

void AdvanceLoadingStep() { App().AdvanceLoadingStep(); }
void PlaySoundEffect(int soundId, int replayGap, double volume) { App().PlaySoundEffect(soundId, replayGap, volume); }
