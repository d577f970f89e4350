#include "foundation/expression/localization.h"

#include "foundation/expression/constants.h"
#include "foundation/expression/localization_map.h"

std::wstring ConvertLineBreakTags(const std::wstring& text) { return StringReplaceAll(text, L"[br]", L"\n"); }

void Localization::ElementStart(const std::wstring& name) {
    if (name == L"id") {
        LocalizationMap()[GetAttribute(L"tag")] = ConvertLineBreakTags(GetAttribute(L"value"));
    } else if (name == L"pair") {
        const std::wstring& tag = GetAttribute(L"tag");
        LocalizationMap()[tag + L"_title"] = ConvertLineBreakTags(GetAttribute(L"title"));
        LocalizationMap()[tag + L"_text"] = ConvertLineBreakTags(GetAttribute(L"text"));
    } else {
        pendingKey = name;
    }
}

void Localization::ElementText(const std::wstring& text) {
    LocalizationMap()[pendingKey] = ConvertLineBreakTags(text);
    pendingKey.clear();
}
