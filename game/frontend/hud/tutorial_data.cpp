#include "game/frontend/hud/tutorial_data.h"

#include "foundation/files/parser.h"
#include "foundation/system/log.h"

namespace {

class TutorialReader : public Parser {
public:
    explicit TutorialReader(TutorialData& data) : data_(data) {}

    void ElementStart(const std::wstring& tag) override {
        if (tag == L"step") {
            ReadStep();
        } else if (tag == L"message-box" || tag == L"highlight") {
            if (data_.steps.empty()) {
                LogWrite(L"tutorial_data.xml: a " + tag + L" before any step is skipped", true);
                return;
            }
            if (tag == L"message-box")
                ReadMessageBox(*data_.steps.back());
            else
                ReadHighlight(*data_.steps.back());
        }
    }

    // Said once for the file, however many highlights went beyond the bounds.
    void ReportBounds() const {
        if (highlights_ > kMostHighlights)
            LogWrite(L"tutorial_data.xml: " + std::to_wstring(highlights_ - kMostHighlights) +
                         L" highlights past the first " + std::to_wstring(kMostHighlights) + L" are skipped",
                     true);
        if (cut_)
            LogWrite(L"tutorial_data.xml: tiles of highlights outside columns and rows 0-" +
                         std::to_wstring(kParkSideBound - 1) + L" lie in no park and are left out",
                     true);
    }

private:
    std::wstring Text(const wchar_t* name) const { return HasAttribute(name) ? GetAttribute(name) : std::wstring(); }

    void ReadStep() {
        TutorialStep::Flags flags;
        flags.paused = GetAttributeBoolOr(L"paused", true);
        flags.skippable = GetAttributeBoolOr(L"skippable", true);
        flags.pushable = GetAttributeBoolOr(L"pushable", false);
        flags.draggable = GetAttributeBoolOr(L"draggable", false);
        std::wstring name = Text(L"name");
        data_.indexByName[name] = static_cast<int32_t>(data_.steps.size());
        data_.steps.push_back(std::make_unique<TutorialStep>(std::move(name), Text(L"proceed_when"),
                                                             GetAttributeIntOr(L"wait", 0), flags));
    }

    void ReadMessageBox(TutorialStep& step) {
        TutorialMessageBox box;
        box.textLabel = HasAttribute(L"text_label") ? GetAttribute(L"text_label") : L"t_instr_" + step.Name();
        box.buttonLabel = HasAttribute(L"button_label") ? GetAttribute(L"button_label") : L"t_btn_" + step.Name();
        box.blockMouse = GetAttributeBoolOr(L"block_mouse", false);
        box.x = GetAttributeIntOr(L"x", -1);
        box.y = GetAttributeIntOr(L"y", -1);
        box.width = GetAttributeIntOr(L"width", -1);
        box.height = GetAttributeIntOr(L"height", -1);
        step.SetMessageBox(std::move(box));
    }

    void ReadHighlight(TutorialStep& step) {
        if (++highlights_ > kMostHighlights) return;
        if (!step.AddHighlight(GetAttributeIntOr(L"col", -1), GetAttributeIntOr(L"row", -1),
                               GetAttributeIntOr(L"width", 1), GetAttributeIntOr(L"height", 1)))
            cut_ = true;
    }

    TutorialData& data_;
    int64_t highlights_ = 0;  // in the file, those skipped included
    bool cut_ = false;
};

}  // namespace

TutorialStep* TutorialData::At(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= steps.size()) return nullptr;
    return steps[static_cast<size_t>(index)].get();
}

TutorialData ReadTutorialData(const std::string& file) {
    TutorialData data;
    TutorialReader reader(data);
    reader.LoadPropertiesXml(file);
    reader.ReportBounds();
    return data;
}
