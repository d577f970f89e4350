#include "reference_xml_reader.h"

#include "foundation/files/xml_parser.h"

#include <cwctype>

#include "foundation/system/string_utils.h"

namespace testsupport {

namespace {

bool IsTagSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r'; }

// Most names and values hold no entity: skip the copy for them.
void DecodeInPlace(std::wstring& s) {
    if (s.find(L'&') != std::wstring::npos) s = DecodeXmlEntities(s);
}

bool EndsWith(const std::wstring& s, std::wstring_view tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

void ReferenceXMLReader::Reset() {
    EncodingParser::Reset();
    path_.clear();
    depth_ = 0;
}

bool ReferenceXMLReader::NextElement(ReferenceXMLNode& element) {
    for (;;) {
        if (!ReadNode(element)) return false;
        if (element.kind != XMLElement::kComment) return true;
    }
}

// One node. Follows the dialect's character rules exactly: loaders and data
// files depend on its quirks (bare values, self-closing tags, comment spacing).
bool ReferenceXMLReader::ReadNode(ReferenceXMLNode& e) {
    e.kind = XMLElement::kNothing;
    e.section = path_;
    e.name.clear();
    e.attributes.clear();
    e.attributeOrder.clear();
    e.value.clear();

    wchar_t quote = 0;
    bool pendingSpace = false, inQuotes = false, quoteClosed = false, inAttributes = false, seenEquals = false;
    std::wstring attrName, attrValue, lastAttrName;

    auto flush = [&] {
        DecodeInPlace(attrName);
        // Line feeds read as blanks.
        for (wchar_t& ch : attrValue)
            if (ch == L'\n') ch = L' ';
        DecodeInPlace(attrValue);
        e.attributes[attrName] = attrValue;
        if (attrName != L"/") e.attributeOrder.push_back(attrName);
        lastAttrName = attrName;
        attrName.clear();
        attrValue.clear();
    };
    auto finish = [&] {
        if (!attrName.empty() || !attrValue.empty()) flush();
        DecodeInPlace(e.name);
        return true;
    };

    for (;;) {
        wchar_t c;
        if (!GetChar(c)) {
            if (e.kind != XMLElement::kNothing) {
                Fail(L"Unexpected End of File");
            } else if (!HasFailed() && !path_.empty()) {
                // Elements still open at the end: the file was cut short.
                Fail(L"Unexpected End of File");
            }
            return false;
        }

        if (e.kind == XMLElement::kComment) {
            e.value += c;
            if (c == L'>' && EndsWith(e.value, L"-->")) {
                e.value.resize(e.value.size() - 3);
                return finish();
            }
            continue;
        }
        if (e.kind == XMLElement::kInstruction) {
            std::wstring& target = (!e.value.empty() || std::iswspace(static_cast<wint_t>(c))) ? e.value : e.name;
            target += c;
            if (c == L'>' && EndsWith(target, L"?>")) {
                target.resize(target.size() - 2);
                return finish();
            }
            continue;
        }

        bool ordinary = false;
        const bool inText = e.kind == XMLElement::kNothing || e.kind == XMLElement::kText;
        const bool valueStarts = e.kind == XMLElement::kStart && seenEquals && attrValue.empty() && !quoteClosed;
        if (inQuotes ? c == quote : (c == L'"' || (c == L'\'' && valueStarts))) {
            inQuotes = !inQuotes;
            quote = c;
            if (!inQuotes) quoteClosed = true;
            if (inText)
                ordinary = true;
            else
                continue;  // quotes in a tag only delimit
        } else if (inQuotes || (c == L'>' && inText)) {
            ordinary = true;
        } else if (c == L'<') {
            if (e.kind == XMLElement::kText) {
                PushBack(c);
                return finish();
            }
            if (e.kind != XMLElement::kNothing) {
                Fail(L"Unexpected '<'");
                return false;
            }
            e.kind = XMLElement::kStart;
            continue;
        } else if (c == L'>') {
            switch (e.kind) {
                case XMLElement::kStart: {
                    quoteClosed = false;
                    bool selfClosing = false;
                    if (attrName == L"/") {
                        selfClosing = true;
                        attrName.clear();
                    } else {
                        if (!attrName.empty() || !attrValue.empty()) flush();
                        if (!lastAttrName.empty()) {
                            std::wstring& v = e.attributes[lastAttrName];
                            if (!v.empty() && v.back() == L'/') {
                                v.pop_back();
                                selfClosing = true;
                            }
                        } else if (e.attributes.empty() && !e.name.empty() && e.name.back() == L'/') {
                            e.name.pop_back();
                            selfClosing = true;
                        }
                    }
                    if (selfClosing) {
                        // The next call reads the matching end tag.
                        PushBack(L'>');
                        for (auto it = e.name.rbegin(); it != e.name.rend(); ++it) PushBack(*it);
                        PushBack(L'/');
                        PushBack(L'<');
                    }
                    if (++depth_ > 256) {
                        Fail(L"Elements Nested Too Deeply");
                        return false;
                    }
                    path_ += path_.empty() ? e.name : L"/" + e.name;
                    return finish();
                }
                case XMLElement::kEnd: {
                    size_t slash = path_.rfind(L'/');
                    if (slash == std::wstring::npos && path_.empty()) {
                        Fail(L"Unexpected End");
                        return false;
                    }
                    std::wstring component = slash == std::wstring::npos ? path_ : path_.substr(slash + 1);
                    if (component != e.name) {
                        Fail(L"End '" + e.name + L"' Doesn't Match Start '" + component + L"'");
                        return false;
                    }
                    path_.resize(slash == std::wstring::npos ? 0 : slash);
                    --depth_;
                    return finish();
                }
                default: Fail(L"Unexpected '>'"); return false;
            }
        } else if (c == L'/' && e.kind == XMLElement::kStart && e.name.empty()) {
            e.kind = XMLElement::kEnd;
            continue;
        } else if (c == L'?' && e.kind == XMLElement::kStart && e.name.empty()) {
            e.kind = XMLElement::kInstruction;
            continue;
        } else if (IsTagSpace(c)) {
            if (!e.name.empty()) pendingSpace = true;
            if (e.kind == XMLElement::kStart && e.name == L"!--") e.kind = XMLElement::kComment;
            continue;
        } else if (static_cast<uint32_t>(c) < 0x20) {
            Fail(L"Illegal Character");
            return false;
        } else {
            ordinary = true;
        }
        if (!ordinary) continue;

        switch (e.kind) {
            case XMLElement::kNothing:
            case XMLElement::kText:
                e.kind = XMLElement::kText;
                if (pendingSpace) {
                    e.name += L' ';
                    pendingSpace = false;
                }
                e.name += c;
                break;
            case XMLElement::kStart:
                if (pendingSpace) {
                    if (!inAttributes) {
                        inAttributes = true;
                        seenEquals = false;
                    } else if (!seenEquals && c != L'=') {
                        flush();
                        seenEquals = false;
                    } else if (seenEquals && (!attrValue.empty() || quoteClosed)) {
                        flush();
                        seenEquals = false;
                    }
                    pendingSpace = false;
                }
                if (!inAttributes) {
                    e.name += c;
                } else if (c == L'=' && !seenEquals) {
                    seenEquals = true;
                    quoteClosed = false;
                } else if (seenEquals) {
                    attrValue += c;
                } else {
                    attrName += c;
                }
                break;
            default:  // end tag: everything between "</" and ">"
                e.name += c;
                break;
        }
    }
}

}  // namespace testsupport
