#pragma once
// The string-table loader that fills LocalizationMap: "id" elements (tag,
// value), "pair" elements (tag, title, text -> tag_title, tag_text), and any
// other element whose first piece of text becomes the entry under its own
// name. "[br]" in a text becomes a line feed. Loading-time only.

#include <string>

#include "foundation/files/parser.h"

class Localization : public Parser {
public:
    void ElementStart(const std::wstring& name) override;
    void ElementText(const std::wstring& text) override;

protected:
    std::wstring pendingKey;
};

std::wstring ConvertLineBreakTags(const std::wstring& text);
