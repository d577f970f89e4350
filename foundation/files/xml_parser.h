#pragma once
// The pull reader of the engine's XML dialect: one node per call (start tag,
// end tag, text, processing instruction; comments are skipped). Not full XML:
// no DTD, CDATA, numeric references or namespaces; text white space is
// collapsed; attribute values may be quoted or bare; a comment opens only when
// white space follows "<!--". Error texts are fixed ("Unexpected End of File",
// "Unexpected '<'", ...) because loaders show them to the player.

#include <map>
#include <string>
#include <vector>

#include "foundation/files/encoding_parser.h"

struct XMLElement {
    enum Kind { kNothing = 0, kStart = 1, kEnd = 2, kText = 3, kInstruction = 4, kComment = 5 };

    int kind = kNothing;
    std::wstring section;  // path of the elements open around this node, joined by "/"
    std::wstring name;     // tag name, or the whole text of a text node
    std::wstring value;    // content of a processing instruction
    std::map<std::wstring, std::wstring> attributes;
    std::vector<std::wstring> attributeOrder;  // document order, repeats included
};

class XMLParser : public EncodingParser {
public:
    void Reset() override;
    // True when a node was read; false at a clean end or on an error (HasFailed).
    bool NextElement(XMLElement& element);
    static void AddAttribute(XMLElement& element, const std::wstring& name, const std::wstring& value);

private:
    bool ReadNode(XMLElement& element);
    std::wstring path_;
};
