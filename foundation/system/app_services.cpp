#include "foundation/system/app_services.h"

#include <cstdio>
#include <string>

#include "foundation/system/text.h"

namespace {

AppServices* g_installed = nullptr;

}  // namespace

AppServices::AppServices() { g_installed = this; }

AppServices::~AppServices() {
    if (g_installed == this) g_installed = nullptr;
}

AppServices* AppServices::Installed() { return g_installed; }

PropertyValue GetSystemValue(std::wstring_view name) {
    return g_installed ? g_installed->GetSystemValue(name) : PropertyValue(std::wstring());
}

ExtendedPropertyInterface* FindImageByName(std::wstring_view name) {
    return g_installed ? g_installed->FindImageByName(name) : nullptr;
}

int FindSoundId(std::wstring_view name) { return g_installed ? g_installed->FindSoundId(name) : -1; }

int FindTrackId(std::wstring_view name) { return g_installed ? g_installed->FindTrackId(name) : -1; }

VariableMap* CurrentPlayerSymbols() { return g_installed ? g_installed->PlayerSymbols() : nullptr; }

void ShowFatalError(std::string_view message) {
    if (g_installed) {
        g_installed->ShowFatalError(message);
        return;
    }
    std::fprintf(stderr, "FATAL ERROR: %.*s\n", static_cast<int>(message.size()), message.data());
}

void ShowFatalErrorWide(std::wstring_view message) {
    if (g_installed) {
        g_installed->ShowFatalErrorWide(message);
        return;
    }
    std::string utf8 = text::ToUtf8(message);
    std::fprintf(stderr, "FATAL ERROR: %s\n", utf8.c_str());
}

int GetStoredDataVersion() { return g_installed ? g_installed->GetStoredDataVersion() : 0; }

void SetStoredDataVersion(int version) {
    if (g_installed) g_installed->SetStoredDataVersion(version);
}

void SetAppTitle(std::wstring_view title) {
    if (g_installed) g_installed->SetAppTitle(title);
}

void AdvanceLoadingStep() {
    if (g_installed) g_installed->AdvanceLoadingStep();
}
