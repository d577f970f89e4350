#pragma once
// The pull reader of the engine's XML dialect: one node per call (start tag,
// end tag, text, processing instruction; comments are skipped). Not full XML:
// no DTD, CDATA, numeric references or namespaces; text white space is
// collapsed; attribute values may be quoted (either mark) or bare, and line
// feeds in them read as blanks; a comment opens only when white space
// follows "<!--"; elements nest at most 256 deep ("Elements Nested Too Deeply"). Error texts are fixed ("Unexpected End
// of File", "Unexpected '<'", ...) because loaders show them to the player.

#include <string>
#include <string_view>

#include "foundation/files/encoding_parser.h"
#include "foundation/files/xml_attributes.h"

struct XMLElement {
    enum Kind { kNothing = 0, kStart = 1, kEnd = 2, kText = 3, kInstruction = 4, kComment = 5 };

    int kind = kNothing;
    std::wstring section;        // path of the elements open around this node, joined by "/"
    std::wstring name;           // tag name, or the whole text of a text node
    std::wstring value;          // content of a processing instruction
    XMLAttributes attributes;    // by name; a repeated name keeps the last value
    XMLNameList attributeOrder;  // document order, repeats included
};

class XMLParser : public EncodingParser {
public:
    void Reset() override;
    // True when a node was read; false at a clean end or on an error (HasFailed).
    bool NextElement(XMLElement& element);
    static void AddAttribute(XMLElement& element, std::wstring_view name, std::wstring_view value);

private:
    bool ReadNode(XMLElement& element);
    void Flush(XMLElement& element);

    std::wstring path_;
    int depth_ = 0;  // elements open, the length of path_ in names
    // The attribute being read, kept here so their storage outlives each node.
    std::wstring attrName_, attrValue_, lastAttrName_;
};
