#pragma once
// An application double for tests: finds nothing by name and records every
// fatal-error box instead of showing it. Installed while it lives.
#include <string>
#include <string_view>
#include <vector>

#include "foundation/system/app_services.h"
#include "foundation/system/text.h"

namespace testsupport {

class ErrorBoxRecorder : public NullAppServices {
public:
    void ShowFatalError(std::string_view m) override { boxes.push_back(text::Widen(m)); }
    void ShowFatalErrorWide(std::wstring_view m) override { boxes.emplace_back(m); }

    std::vector<std::wstring> boxes;

private:
    ScopedService<AppServices> installed_{this};
};

}  // namespace testsupport
