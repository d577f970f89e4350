// The descriptor language over text in memory: commands split and
// tokenised into values, "Define" storing defines as font descriptors do,
// and every other command's values run through the value helpers (define
// look-up, unquoting, lists and their dereferencing, numbers).
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/files/desc_parser.h"
#include "foundation/system/text.h"
#include "fuzz/harness.h"

namespace {

class EveryHelper : public DescParser {
protected:
    bool HandleCommand(ListDataElement& params) override {
        auto& values = params.elements;
        std::wstring word;
        if (values.empty() || !DataToString(*values[0], word)) return false;
        if (word == L"Define") return Define(values);
        for (size_t i = 1; i < values.size(); ++i) Inspect(*values[i]);
        return true;
    }

private:
    bool Define(const std::vector<std::unique_ptr<DataElement>>& values) {
        if (values.size() != 3 || values[1]->IsList()) return false;
        const std::wstring& name = static_cast<const SingleDataElement&>(*values[1]).text;
        if (IsImmediate(name)) return false;
        if (!values[2]->IsList()) {
            AddDefine(name, values[2]->Duplicate());
            return true;
        }
        auto list = std::make_unique<ListDataElement>();
        if (!DereferenceList(static_cast<const ListDataElement&>(*values[2]), *list)) return false;
        AddDefine(name, std::move(list));
        return true;
    }

    void Inspect(const DataElement& value) {
        std::wstring text;
        ListDataElement list;
        std::vector<std::wstring> strings;
        std::vector<float> numbers;
        DataToString(value, text);
        DataToList(value, list);
        DataToStringVector(value, strings);
        DataToFloatVector(value, numbers);
        text = DataElementToText(value);
        if (!value.IsList()) text = Unquote(static_cast<const SingleDataElement&>(value).text);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EveryHelper parser;
    parser.LoadDescriptorText(text::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size)));
    return 0;
}
