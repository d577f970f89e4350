#pragma once
// The base of every XML loader. A subclass overrides the three handlers and
// calls LoadPropertiesXml or ParseFile; the handlers read the current
// element's attributes through the typed readers. A syntax error, or an error
// text a handler sets, is reported once through the application's fatal-error
// service with " on Line %d" and " in File '%s'" appended; the program goes
// on and the loader keeps what it stored before the error. A file that cannot
// be opened reads as empty, silently.

#include <string>

#include "foundation/files/xml_parser.h"

class Parser {
public:
    Parser() = default;
    virtual ~Parser() = default;

    virtual void ElementStart(const std::wstring& name);
    virtual void ElementEnd(const std::wstring& name);
    virtual void ElementText(const std::wstring& text);

    void LoadPropertiesXml(const std::string& name);
    void ParseFile(const std::string& path);
    void RunElementLoop(XMLParser& reader);

    bool HasAttribute(const std::wstring& name) const;
    const std::wstring& GetAttribute(const std::wstring& name) const;
    int GetAttributeInt(const std::wstring& name) const;
    int GetAttributeIntOr(const std::wstring& name, int fallback) const;
    float GetAttributeFloat(const std::wstring& name) const;
    float GetAttributeFloatOr(const std::wstring& name, float fallback) const;
    bool GetAttributeBool(const std::wstring& name) const;
    bool GetAttributeBoolOr(const std::wstring& name, bool fallback) const;

    const XMLElement& Element() const { return element_; }

protected:
    XMLElement element_;
    bool stop_ = false;       // a handler sets it to end the loop early
    std::wstring errorText_;  // a handler sets it to report its own failure
};

int TextToInt(const std::wstring& text);
float TextToFloat(const std::wstring& text);
