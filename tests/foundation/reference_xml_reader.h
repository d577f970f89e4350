#pragma once
// The XML reader as it was before the block-scanning rewrite, kept only as the
// reference the equivalence tests compare the production reader against. It
// reads through the same EncodingParser, one character at a time, into a map.

#include <map>
#include <string>
#include <vector>

#include "foundation/files/encoding_parser.h"

namespace testsupport {

struct ReferenceXMLNode {
    int kind = 0;
    std::wstring section;
    std::wstring name;
    std::wstring value;
    std::map<std::wstring, std::wstring> attributes;
    std::vector<std::wstring> attributeOrder;
};

class ReferenceXMLReader : public EncodingParser {
public:
    void Reset() override;
    bool NextElement(ReferenceXMLNode& element);

private:
    bool ReadNode(ReferenceXMLNode& element);
    std::wstring path_;
    int depth_ = 0;
};

}  // namespace testsupport
