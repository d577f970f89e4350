// XML files as every loader reads them: the pull reader with its encoding
// detection under the loader base's element loop, and the typed attribute
// readers run over every attribute and text found.
#include <string>

#include "foundation/files/parser.h"
#include "fuzz/harness.h"

namespace {

class ReadEveryValue : public Parser {
public:
    void ElementStart(const std::wstring&) override {
        for (const std::wstring& name : element_.attributeOrder) {
            sum += GetAttributeInt(name) + GetAttributeFloat(name) + (GetAttributeBool(name) ? 1 : 0);
        }
    }
    void ElementText(const std::wstring& text) override { sum += TextToInt(text) + TextToFloat(text); }

    double sum = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReadEveryValue loader;
    loader.ParseFile(fuzz::WriteScratchFile("input.xml", data, size));
    fuzz::Keep(loader.sum);
    return 0;
}
