#include "foundation/files/parser.h"

#include "foundation/system/app_services.h"
#include "foundation/system/string_utils.h"
#include "foundation/system/text.h"

void Parser::ElementStart(const std::wstring&) {}
void Parser::ElementEnd(const std::wstring&) {}
void Parser::ElementText(const std::wstring&) {}

void Parser::LoadPropertiesXml(const std::string& name) { ParseFile("properties/" + name); }

void Parser::ParseFile(const std::string& path) {
    XMLParser reader;
    reader.OpenFile(path);
    RunElementLoop(reader);
}

void Parser::RunElementLoop(XMLParser& reader) {
    if (reader.HasFailed()) return;  // a missing file is silently empty
    stop_ = false;
    while (!stop_ && reader.NextElement(element_)) {
        switch (element_.kind) {
            case XMLElement::kStart: ElementStart(element_.name); break;
            case XMLElement::kEnd: ElementEnd(element_.name); break;
            case XMLElement::kText: ElementText(element_.name); break;
            default: break;
        }
    }
    if (!reader.HasFailed() && errorText_.empty()) return;
    std::wstring message = errorText_.empty() ? reader.GetErrorText() : errorText_;
    if (reader.GetCurrentLine() > 0) message += text::WFormat(L" on Line %d", reader.GetCurrentLine());
    if (!reader.GetFileName().empty()) message += L" in File '" + text::Widen(reader.GetFileName()) + L"'";
    // Reported once: the loader's next file starts without it.
    errorText_.clear();
    ShowFatalErrorWide(message);
}

bool Parser::HasAttribute(const std::wstring& name) const {
    return element_.attributes.find(name) != element_.attributes.end();
}

const std::wstring& Parser::GetAttribute(const std::wstring& name) const {
    static const std::wstring empty;
    auto it = element_.attributes.find(name);
    return it == element_.attributes.end() ? empty : it->second;
}

int Parser::GetAttributeInt(const std::wstring& name) const { return TextToInt(GetAttribute(name)); }

int Parser::GetAttributeIntOr(const std::wstring& name, int fallback) const {
    return HasAttribute(name) ? GetAttributeInt(name) : fallback;
}

float Parser::GetAttributeFloat(const std::wstring& name) const { return TextToFloat(GetAttribute(name)); }

float Parser::GetAttributeFloatOr(const std::wstring& name, float fallback) const {
    return HasAttribute(name) ? GetAttributeFloat(name) : fallback;
}

bool Parser::GetAttributeBool(const std::wstring& name) const {
    const std::wstring& v = GetAttribute(name);
    return v == L"true" || v == L"1";
}

bool Parser::GetAttributeBoolOr(const std::wstring& name, bool fallback) const {
    return HasAttribute(name) ? GetAttributeBool(name) : fallback;
}

int TextToInt(const std::wstring& text) {
    int value = 0;
    WStringToInt(text, value);
    return value;
}

float TextToFloat(const std::wstring& text) {
    double value = 0;
    WStringToDouble(text, value);
    return static_cast<float>(value);
}
