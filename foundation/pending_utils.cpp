#include "foundation/pending_utils.h"
bool WStringToInt(const std::wstring& t, int& out) {
    out = 0;
    if (t.empty()) return false;
    size_t i = 0;
    bool neg = false;
    if (t[0] == L'-') { neg = true; i = 1; }
    unsigned v = 0; int base = 10;
    for (; i < t.size(); ++i) {
        wchar_t c = t[i];
        if ((c == L'x' || c == L'X') && i == 1 && v == 0) { base = 16; continue; }
        int d = -1;
        if (c >= L'0' && c <= L'9') d = c - L'0';
        else if (base == 16 && c >= L'a' && c <= L'f') d = c - L'a' + 10;
        else if (base == 16 && c >= L'A' && c <= L'F') d = c - L'A' + 10;
        if (d < 0) break;
        v = v * static_cast<unsigned>(base) + static_cast<unsigned>(d);
    }
    out = static_cast<int>(neg ? 0u - v : v);
    return true;
}
bool WStringToDouble(const std::wstring& t, double& out) {
    out = 0;
    if (t.empty()) return false;
    size_t i = 0; bool neg = false;
    if (t[0] == L'-') { neg = true; i = 1; }
    double v = 0, f = 0.1; bool frac = false;
    for (; i < t.size(); ++i) {
        wchar_t c = t[i];
        if (c == L'.' && !frac) { frac = true; continue; }
        if (c < L'0' || c > L'9') { out = 0; return false; }
        if (frac) { v += (c - L'0') * f; f /= 10; } else v = v * 10 + (c - L'0');
    }
    out = neg ? -v : v;
    return true;
}
std::wstring DecodeXmlEntities(const std::wstring& s) {
    std::wstring out;
    size_t i = 0;
    while (i < s.size()) {
        if (s[i] != L'&') { out += s[i++]; continue; }
        size_t semi = s.find(L';', i + 1);
        if (semi == std::wstring::npos) { out += s.substr(i); break; }
        std::wstring name = s.substr(i + 1, semi - i - 1);
        if (name == L"lt") out += L'<';
        else if (name == L"amp") out += L'&';
        else if (name == L"gt") out += L'>';
        else if (name == L"quot") out += L'"';
        else if (name == L"apos") out += L'\'';
        else if (name == L"nbsp") out += L' ';
        else if (name == L"cr") out += L'\n';
        else out += L'&';
        i = semi + 1;
    }
    return out;
}
