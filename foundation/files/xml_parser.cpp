#include "foundation/files/xml_parser.h"

#include <algorithm>
#include <cwctype>

#include "foundation/system/string_utils.h"

using namespace std::string_view_literals;

namespace {

bool IsTagSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r'; }

// Bytes that, once a name, value or text has begun, only extend it: no quote,
// bracket, equals sign, white space or control character.
struct PlainBytes {
    bool table[256] = {};
    constexpr PlainBytes() {
        for (int b = 0x21; b < 0x100; ++b) table[b] = b != '"' && b != '<' && b != '>' && b != '=' && b != 0x7F;
    }
};
constexpr PlainBytes kPlain;

// Inside a value quoted with apostrophes the closing apostrophe ends a run too.
struct PlainInApostrophes : PlainBytes {
    constexpr PlainInApostrophes() { table[static_cast<unsigned char>('\'')] = false; }
};
constexpr PlainInApostrophes kPlainInApostrophes;

// Far deeper than any file of the game; a nest deeper than this is damage, and
// every node copies its path, so reading it on would take minutes.
constexpr int kMaxDepth = 256;

// Most names and values hold no entity: skip the copy for them. They are
// short, so an inline search beats the library call std::wstring::find makes.
void DecodeInPlace(std::wstring& s) {
    if (std::find(s.begin(), s.end(), L'&') != s.end()) DecodeXmlEntitiesInPlace(s);
}

// A line feed a quoted value holds reads as a blank; "&cr;" still gives one,
// since it is decoded afterwards, and the writers store one so. Tabs and
// carriage returns stay: saved names hold them, and no entity could.
void NormaliseAndDecodeValue(std::wstring& s) {
    bool entity = false;
    for (wchar_t& c : s) {
        if (c == L'&') entity = true;
        if (c == L'\n') c = L' ';
    }
    if (entity) DecodeXmlEntitiesInPlace(s);
}

bool EndsWith(const std::wstring& s, std::wstring_view tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

void XMLParser::Reset() {
    EncodingParser::Reset();
    path_.clear();
    depth_ = 0;
}

void XMLParser::AddAttribute(XMLElement& element, std::wstring_view name, std::wstring_view value) {
    element.attributes[name].assign(value);
    if (name != L"/"sv) element.attributeOrder.push_back(name);
}

void XMLParser::Flush(XMLElement& e) {
    DecodeInPlace(attrName_);
    NormaliseAndDecodeValue(attrValue_);
    AddAttribute(e, attrName_, attrValue_);
    lastAttrName_.swap(attrName_);  // both keep their storage
    attrName_.clear();
    attrValue_.clear();
}

bool XMLParser::NextElement(XMLElement& element) {
    for (;;) {
        if (!ReadNode(element)) return false;
        if (element.kind != XMLElement::kComment) return true;
    }
}

// One node. Follows the dialect's character rules exactly: loaders and data
// files depend on its quirks (bare values, self-closing tags, comment spacing).
bool XMLParser::ReadNode(XMLElement& e) {
    e.kind = XMLElement::kNothing;
    e.section = path_;
    e.name.clear();
    e.attributes.clear();
    e.attributeOrder.clear();
    e.value.clear();

    wchar_t quote = 0;  // the mark that opened the quote being read
    bool pendingSpace = false, inQuotes = false, quoteClosed = false, inAttributes = false, seenEquals = false;
    std::wstring& attrName = attrName_;
    std::wstring& attrValue = attrValue_;
    std::wstring& lastAttrName = lastAttrName_;
    attrName.clear();
    attrValue.clear();
    lastAttrName.clear();

    auto flush = [&] { Flush(e); };
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
            if (c == L'>' && EndsWith(e.value, L"-->"sv)) {
                e.value.resize(e.value.size() - 3);
                return finish();
            }
            continue;
        }
        if (e.kind == XMLElement::kInstruction) {
            std::wstring& target = (!e.value.empty() || std::iswspace(static_cast<wint_t>(c))) ? e.value : e.name;
            target += c;
            if (c == L'>' && EndsWith(target, L"?>"sv)) {
                target.resize(target.size() - 2);
                return finish();
            }
            continue;
        }

        const bool inText = e.kind == XMLElement::kNothing || e.kind == XMLElement::kText;
        // An apostrophe opens a quote only where a value begins: elsewhere, as
        // in a bare value or in text, it is a letter.
        const bool opensQuote = c == L'"' || (c == L'\'' && e.kind == XMLElement::kStart && seenEquals &&
                                              attrValue.empty() && !quoteClosed);
        bool ordinary = false;
        if (inQuotes ? c == quote : opensQuote) {
            inQuotes = !inQuotes;
            quote = c;
            if (!inQuotes) quoteClosed = true;
            if (inText)
                ordinary = true;
            else
                continue;  // quotes in a tag only delimit
        } else if (inQuotes) {
            ordinary = true;
        } else if (c == L'>' && inText) {
            ordinary = true;  // a plain character of text, as in any XML
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
                    if (attrName == L"/"sv) {
                        selfClosing = true;
                        attrName.clear();  // the close mark, not an attribute
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
                    if (++depth_ > kMaxDepth) {
                        Fail(L"Elements Nested Too Deeply");
                        return false;
                    }
                    if (!path_.empty()) path_ += L'/';
                    path_ += e.name;
                    return finish();
                }
                case XMLElement::kEnd: {
                    size_t slash = path_.rfind(L'/');
                    if (slash == std::wstring::npos && path_.empty()) {
                        Fail(L"Unexpected End");
                        return false;
                    }
                    std::wstring_view component(path_);
                    if (slash != std::wstring::npos) component.remove_prefix(slash + 1);
                    if (component != e.name) {
                        Fail(L"End '" + e.name + L"' Doesn't Match Start '" + std::wstring(component) + L"'");
                        return false;
                    }
                    path_.resize(slash == std::wstring::npos ? 0 : slash);
                    --depth_;
                    return finish();
                }
                default: Fail(L"Unexpected '>'"); return false;  // not reached: text takes it
            }
        } else if (c == L'/' && e.kind == XMLElement::kStart && e.name.empty()) {
            e.kind = XMLElement::kEnd;
            continue;
        } else if (c == L'?' && e.kind == XMLElement::kStart && e.name.empty()) {
            e.kind = XMLElement::kInstruction;
            continue;
        } else if (IsTagSpace(c)) {
            if (!e.name.empty()) pendingSpace = true;
            if (e.kind == XMLElement::kStart && e.name == L"!--"sv) {
                e.kind = XMLElement::kComment;
            } else {
                SkipTagSpaces();  // each would only set pendingSpace again
            }
            continue;
        } else if (static_cast<uint32_t>(c) < 0x20) {
            Fail(L"Illegal Character");
            return false;
        } else {
            ordinary = true;
        }
        if (!ordinary) continue;

        std::wstring* grown = nullptr;  // what `c` went into, when more plain bytes may follow
        switch (e.kind) {
            case XMLElement::kNothing:
            case XMLElement::kText:
                e.kind = XMLElement::kText;
                if (pendingSpace) {
                    e.name += L' ';
                    pendingSpace = false;
                }
                e.name += c;
                grown = &e.name;
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
                    grown = &e.name;
                } else if (c == L'=' && !seenEquals) {
                    seenEquals = true;
                    quoteClosed = false;
                } else if (seenEquals) {
                    attrValue += c;
                    grown = &attrValue;
                } else {
                    attrName += c;
                    grown = &attrName;
                }
                break;
            default:  // end tag: everything between "</" and ">"
                e.name += c;
                grown = &e.name;
                break;
        }
        // The bytes that would each take the branch just taken, at once.
        if (grown) TakePlainRun(*grown, inQuotes && quote == L'\'' ? kPlainInApostrophes.table : kPlain.table);
    }
}
