#include "widgets/script/script_text.h"

#include <string_view>

#include "foundation/expression/localization_map.h"
#include "widgets/script/script_host.h"

std::wstring ScriptDisplayText(std::wstring text, bool lookup) {
    if (!text.empty() && lookup) text = LocalizeLookup(text);
    static constexpr std::wstring_view kPlayer = L"[player]";
    size_t at = text.find(kPlayer);
    if (at == std::wstring::npos) return text;
    const std::wstring name = Service<ScriptHost>::Get().PlayerName();
    for (; at != std::wstring::npos; at = text.find(kPlayer, at + name.size())) text.replace(at, kPlayer.size(), name);
    return text;
}
