#include "foundation/files/desc_parser.h"

#include <algorithm>

#include "foundation/system/string_utils.h"
#include "foundation/system/text.h"

namespace {

// Deeper nesting than any descriptor needs; stops a hostile file from
// exhausting the stack.
constexpr int kMaxListDepth = 256;
// More values than any one descriptor list needs. Defines copied into defines
// could otherwise double a list with every line of a hostile file.
constexpr size_t kMaxListElements = size_t{1} << 16;

// A value's element count (lists and scalars below it) and its list depth.
void Measure(const DataElement& value, size_t& elements, int& depth) {
    elements = 0;
    depth = 0;
    if (!value.IsList()) return;
    for (const auto& element : static_cast<const ListDataElement&>(value).elements) {
        size_t innerElements;
        int innerDepth;
        Measure(*element, innerElements, innerDepth);
        elements += 1 + innerElements;
        depth = std::max(depth, innerDepth);
    }
    depth += 1;
}

bool IsSeparator(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L','; }

}  // namespace

bool DescParser::LoadDescriptor(const std::string& path) {
    if (!OpenFile(path)) return false;
    return RunCommands();
}

bool DescParser::LoadDescriptorText(std::wstring_view text) {
    // The text is the whole input: nothing of a file read before follows it.
    CloseFile();
    Reset();
    // Pushed characters come back last first, and count their line feeds as file characters do.
    for (size_t i = text.size(); i-- > 0;) PushBack(text[i]);
    return RunCommands();
}

bool DescParser::RunCommands() {
    command_.clear();
    bool inSingle = false;
    bool inDouble = false;
    bool escapePending = false;
    bool atLineStart = true;
    bool inComment = false;
    wchar_t c = 0;
    while (GetChar(c)) {
        if (c == L'\r') continue;
        if (inComment) {
            if (c == L'\n') {
                inComment = false;
                atLineStart = true;
            }
            continue;
        }
        if (atLineStart) {
            if (c == L' ' || c == L'\t' || c == L'\n') continue;
            atLineStart = false;
            if (c == L'#') {
                inComment = true;
                continue;
            }
        }
        if (escapePending) {
            // The backslash stays with the character it escapes; the
            // tokeniser resolves it.
            command_ += L'\\';
            command_ += c;
            escapePending = false;
            if (c == L'\n') atLineStart = true;
            continue;
        }
        if (c == L'\n') {
            command_ += c;
            atLineStart = true;
            continue;
        }
        bool inQuotes = inSingle || inDouble;
        if (c == L'\\' && inQuotes) {
            escapePending = true;
            continue;
        }
        if (c == L'\'' && !inDouble) {
            inSingle = !inSingle;
        } else if (c == L'"' && !inSingle) {
            inDouble = !inDouble;
        } else if (c == L';' && !inQuotes) {
            if (!EndCommand()) return false;
            inSingle = inDouble = escapePending = false;
            atLineStart = true;
            inComment = false;
            continue;
        }
        command_ += c;
    }
    // A decoding failure is not the end of the file: the command it cut short is not run.
    if (HasFailed()) {
        command_.clear();
        return false;
    }
    if (escapePending) command_ += L'\\';
    return EndCommand();
}

bool DescParser::EndCommand() {
    if (command_.empty()) return true;
    bool handled = HandleLine(command_);
    command_.clear();
    return handled;
}

bool DescParser::HandleLine(const std::wstring& command) {
    ListDataElement tokens;
    size_t position = 0;
    if (!TokenizeLine(command, tokens, false, position)) return false;
    if (tokens.elements.empty()) return true;
    if (tokens.elements.front()->IsList()) {
        Fail(L"Missing Command");
        return false;
    }
    return HandleCommand(tokens);
}

bool DescParser::TokenizeLine(const std::wstring& text, ListDataElement& destination, bool inList, size_t& position) {
    return TokenizeList(text, destination, inList, position, inList ? 1 : 0);
}

bool DescParser::TokenizeList(const std::wstring& text, ListDataElement& destination, bool inList, size_t& position,
                              int depth) {
    bool inSingle = false;
    bool inDouble = false;
    SingleDataElement* token = nullptr;
    auto append = [&](wchar_t c) {
        if (token == nullptr) token = &destination.AddSingle();
        token->text += c;
    };
    while (position < text.size()) {
        wchar_t c = text[position++];
        if (c == L'\\') {
            if (position < text.size()) append(text[position++]);
            continue;
        }
        if (c == L'\'' && !inDouble) {
            inSingle = !inSingle;
            append(c);
            continue;
        }
        if (c == L'"' && !inSingle) {
            inDouble = !inDouble;
            append(c);
            continue;
        }
        if (inSingle || inDouble) {
            append(c);
            continue;
        }
        if (c == L')') {
            if (inList) return true;
            Fail(L"Unexpected List End");
            return false;
        }
        if (c == L'(') {
            if (token != nullptr) {
                Fail(L"Unexpected List Start");
                return false;
            }
            if (depth >= kMaxListDepth) {
                Fail(L"Lists Nested Too Deeply");
                return false;
            }
            if (!TokenizeList(text, destination.AddList(), true, position, depth + 1)) return false;
            continue;
        }
        if (IsSeparator(c)) {
            token = nullptr;
            continue;
        }
        append(c);
    }
    if (inSingle) {
        Fail(L"Unterminated Single Quotes");
        return false;
    }
    if (inDouble) {
        Fail(L"Unterminated Double Quotes");
        return false;
    }
    if (inList) {
        Fail(L"Unterminated List");
        return false;
    }
    return true;
}

DataElement* DescParser::FindDefine(const std::wstring& name) {
    auto found = defines_.find(StringToUpper(name));
    return found != defines_.end() ? found->second.get() : nullptr;
}

void DescParser::AddDefine(const std::wstring& name, std::unique_ptr<DataElement> value) {
    if (value == nullptr) return;
    defines_[StringToUpper(name)] = std::move(value);
}

bool DescParser::IsImmediate(std::wstring_view token) {
    if (token.empty()) return false;
    wchar_t first = token.front();
    return (first >= L'0' && first <= L'9') || first == L'-' || first == L'+' || first == L'\'' || first == L'"';
}

std::wstring DescParser::DataElementToText(const DataElement& value) {
    if (!value.IsList()) return static_cast<const SingleDataElement&>(value).text;
    std::wstring out = L"(";
    const auto& elements = static_cast<const ListDataElement&>(value).elements;
    for (size_t i = 0; i < elements.size(); ++i) {
        if (i > 0) out += L", ";
        out += DataElementToText(*elements[i]);
    }
    out += L")";
    return out;
}

std::wstring DescParser::Unquote(std::wstring_view token) {
    if (token.empty() || (token.front() != L'\'' && token.front() != L'"')) return std::wstring(token);
    wchar_t quote = token.front();
    std::wstring out;
    out.reserve(token.size());
    // Past the opening quote, a doubled quote is one quote character and a
    // single one is dropped, so '' is the empty text and 'it''s' is it's.
    for (size_t i = 1; i < token.size(); ++i) {
        if (token[i] != quote) {
            out += token[i];
        } else if (i + 1 < token.size() && token[i + 1] == quote) {
            out += quote;
            ++i;
        }
    }
    return out;
}

bool DescParser::DataToString(const DataElement& value, std::wstring& out) {
    out.clear();
    if (value.IsList()) return false;
    const auto* scalar = static_cast<const SingleDataElement*>(&value);
    if (const DataElement* define = FindDefine(scalar->text)) {
        if (define->IsList()) return false;
        scalar = static_cast<const SingleDataElement*>(define);
    }
    out = Unquote(scalar->text);
    return true;
}

bool DescParser::DataToList(const DataElement& value, ListDataElement& out) {
    out.elements.clear();
    if (value.IsList()) return DereferenceList(static_cast<const ListDataElement&>(value), out);
    const DataElement* define = FindDefine(static_cast<const SingleDataElement&>(value).text);
    if (define == nullptr || !define->IsList()) return false;
    out = static_cast<const ListDataElement&>(*define);
    return true;
}

bool DescParser::DereferenceList(const ListDataElement& source, ListDataElement& destination) {
    size_t elements = 0;
    return DereferenceInto(source, destination, 1, elements);
}

// `depth` is the nesting of `destination`; `elements` counts every value the
// whole dereference has appended so far.
bool DescParser::DereferenceInto(const ListDataElement& source, ListDataElement& destination, int depth,
                                 size_t& elements) {
    if (depth > kMaxListDepth) {
        Fail(L"Lists Nested Too Deeply");
        return false;
    }
    for (const auto& element : source.elements) {
        if (++elements > kMaxListElements) {
            Fail(L"List Too Long");
            return false;
        }
        if (element->IsList()) {
            if (!DereferenceInto(static_cast<const ListDataElement&>(*element), destination.AddList(), depth + 1,
                                 elements)) {
                return false;
            }
            continue;
        }
        const std::wstring& text = static_cast<const SingleDataElement&>(*element).text;
        if (text.empty() || text.front() == L'\'' || text.front() == L'"') {
            destination.AddSingle(Unquote(text));
        } else if (IsImmediate(text)) {
            destination.AddSingle(text);
        } else {
            const DataElement* define = FindDefine(text);
            if (define == nullptr) {
                Fail(L"Unable to Dereference \"" + text + L"\"");
                return false;
            }
            size_t defineElements;
            int defineDepth;
            Measure(*define, defineElements, defineDepth);
            if (depth + defineDepth > kMaxListDepth) {
                Fail(L"Lists Nested Too Deeply");
                return false;
            }
            elements += defineElements;
            if (elements > kMaxListElements) {
                Fail(L"List Too Long");
                return false;
            }
            destination.elements.push_back(define->Duplicate());
        }
    }
    return true;
}

bool DescParser::DataToStringVector(const DataElement& value, std::vector<std::wstring>& out) {
    out.clear();
    ListDataElement dereferenced;
    const ListDataElement* list = nullptr;
    if (value.IsList()) {
        if (!DereferenceList(static_cast<const ListDataElement&>(value), dereferenced)) return false;
        list = &dereferenced;
    } else {
        const std::wstring& name = static_cast<const SingleDataElement&>(value).text;
        const DataElement* define = FindDefine(name);
        if (define == nullptr) {
            Fail(L"Unable to Dereference \"" + name + L"\"");
            return false;
        }
        if (!define->IsList()) return false;
        list = static_cast<const ListDataElement*>(define);
    }
    for (const auto& element : list->elements) {
        if (element->IsList()) {
            out.clear();
            return false;
        }
        out.push_back(static_cast<const SingleDataElement&>(*element).text);
    }
    return true;
}

bool DescParser::DataToFloatVector(const DataElement& value, std::vector<float>& out) {
    out.clear();
    std::vector<std::wstring> texts;
    if (!DataToStringVector(value, texts)) return false;
    out.reserve(texts.size());
    for (const std::wstring& text : texts) {
        float number = 0.0f;
        if (!WStringToFloat(text, number)) {
            out.clear();
            return false;
        }
        out.push_back(number);
    }
    return true;
}
