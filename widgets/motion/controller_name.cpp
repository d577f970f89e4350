// The process-wide numbering of controller names asked about often.

#include "widgets/motion/controller_name.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

std::vector<std::wstring>& Numbered() {
    static std::vector<std::wstring> names;
    return names;
}

}  // namespace

ControllerName::ControllerName(std::wstring text) : text_(std::move(text)), number_(NumberOf(text_)) {
    std::vector<std::wstring>& names = Numbered();
    if (number_ >= 0 || names.size() >= kMostNumbers) return;
    number_ = static_cast<int>(names.size());
    names.push_back(text_);
}

int ControllerName::NumberOf(const std::wstring& text) {
    const std::vector<std::wstring>& names = Numbered();
    const auto it = std::find(names.begin(), names.end(), text);
    return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}
