// settings.xml as the application reads it. What it reads must survive being
// saved and read again unchanged, or a setting would drift on every start;
// a difference stops the run.
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "app/settings/settings_file.h"
#include "foundation/files/xml_parser.h"
#include "foundation/system/text.h"
#include "fuzz/harness.h"

namespace {

// The attributes a save writes for what `path` holds; empty when it does not read.
std::wstring ReadAndBuild(const std::string& path) {
    AppSettings settings;
    std::set<std::wstring> reported;
    if (!ReadSettingsFile(path, [&](const XMLElement& element) { ApplySettingsElement(element, settings, {}); }))
        return {};
    return BuildSettingsAttributes(settings, reported, [](std::wstring_view) {});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::wstring first = ReadAndBuild(fuzz::WriteScratchFile("settings.xml", data, size));
    if (first.empty()) return 0;
    const std::string saved = fuzz::ScratchFolder() + "/saved.xml";
    if (!WriteSettingsFile(saved, first)) {
        std::fprintf(stderr, "halvaro fuzz: the settings could not be saved\n");
        std::abort();
    }
    if (ReadAndBuild(saved) != first) {
        std::fprintf(stderr, "halvaro fuzz: saved settings read back differently:\n%s\n", text::ToUtf8(first).c_str());
        std::abort();
    }
    return 0;
}
