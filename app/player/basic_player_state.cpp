#include "app/player/basic_player_state.h"

BasicPlayerState::~BasicPlayerState() {
    if (current_ == this) current_ = nullptr;
}

std::wstring BasicPlayerState::FormatPlayTime() const {
    return L"started=\"" + std::to_wstring(started_ ? 1 : 0) + L"\" hours=\"" + std::to_wstring(hours_) +
           L"\" minutes=\"" + std::to_wstring(minutes_) + L"\" centiseconds=\"" + std::to_wstring(centiseconds_) +
           L"\"";
}

std::wstring BasicPlayerState::WriteSymbols() const {
    std::wstring out;
    for (const auto& [name, value] : symbols_) {
        // Unescaped, a quote or '<' in a name or value made the saved profile unreadable.
        out += L"<symbol name=\"" + EscapeXmlAttribute(name) + L"\" value=\"" +
               EscapeXmlAttribute(SymbolValueText(value)) + L"\"/>";
    }
    return out;
}

std::wstring SymbolValueText(const PropertyValue& value) { return value.CStr(); }

std::wstring EscapeXmlAttribute(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        switch (c) {
            case L'&': out += L"&amp;"; break;
            case L'<': out += L"&lt;"; break;
            case L'>': out += L"&gt;"; break;
            case L'"': out += L"&quot;"; break;
            default: out += c;
        }
    }
    return out;
}
