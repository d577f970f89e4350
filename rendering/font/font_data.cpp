#include "rendering/font/font_data.h"

#include <algorithm>
#include <cmath>

#include "foundation/system/app_services.h"
#include "foundation/system/string_utils.h"
#include "foundation/system/text.h"

namespace {

enum class Command {
    Define,
    CreateHorzSpanRectList,
    SetDefaultPointSize,
    SetCharMap,
    CreateLayer,
    CreateLayerFrom,
    LayerRequireTags,
    LayerExcludeTags,
    LayerPointRange,
    LayerSetPointSize,
    LayerSetImage,
    LayerSetDrawMode,
    LayerSetHeight,
    LayerSetAscent,
    LayerSetAscentPadding,
    LayerSetLineSpacingOffset,
    LayerSetOffset,
    LayerSetCharWidths,
    LayerSetSpacing,
    LayerSetImageMap,
    LayerSetCharOffsets,
    LayerSetKerningPairs,
    LayerSetBaseOrder,
    LayerSetCharOrders,
};

struct CommandName {
    std::wstring_view word;
    Command command;
};

constexpr CommandName kCommands[] = {
    {L"Define", Command::Define},
    {L"CreateHorzSpanRectList", Command::CreateHorzSpanRectList},
    {L"SetDefaultPointSize", Command::SetDefaultPointSize},
    {L"SetCharMap", Command::SetCharMap},
    {L"CreateLayer", Command::CreateLayer},
    {L"CreateLayerFrom", Command::CreateLayerFrom},
    {L"LayerRequireTags", Command::LayerRequireTags},
    {L"LayerExcludeTags", Command::LayerExcludeTags},
    {L"LayerPointRange", Command::LayerPointRange},
    {L"LayerSetPointSize", Command::LayerSetPointSize},
    {L"LayerSetImage", Command::LayerSetImage},
    {L"LayerSetDrawMode", Command::LayerSetDrawMode},
    {L"LayerSetHeight", Command::LayerSetHeight},
    {L"LayerSetAscent", Command::LayerSetAscent},
    {L"LayerSetAscentPadding", Command::LayerSetAscentPadding},
    {L"LayerSetLineSpacingOffset", Command::LayerSetLineSpacingOffset},
    {L"LayerSetOffset", Command::LayerSetOffset},
    {L"LayerSetCharWidths", Command::LayerSetCharWidths},
    {L"LayerSetSpacing", Command::LayerSetSpacing},
    {L"LayerSetImageMap", Command::LayerSetImageMap},
    {L"LayerSetCharOffsets", Command::LayerSetCharOffsets},
    {L"LayerSetKerningPairs", Command::LayerSetKerningPairs},
    {L"LayerSetBaseOrder", Command::LayerSetBaseOrder},
    {L"LayerSetCharOrders", Command::LayerSetCharOrders},
};

wchar_t FoldAscii(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool EqualsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return FoldAscii(x) == FoldAscii(y); });
}

const Command* FindCommand(std::wstring_view word) {
    for (const CommandName& entry : kCommands)
        if (EqualsIgnoringAsciiCase(entry.word, word)) return &entry.command;
    return nullptr;
}

}  // namespace

namespace {
constexpr size_t kFirstKerning = 256;
bool InFirstKerning(wchar_t c) { return c >= 0 && static_cast<size_t>(c) < kFirstKerning; }
}  // namespace

float CharData::GetKerning(wchar_t next) const {
    if (InFirstKerning(next)) return firstKerning.empty() ? 0.0f : firstKerning[static_cast<size_t>(next)];
    auto found = kerning.find(next);
    return found != kerning.end() ? found->second : 0.0f;
}

void CharData::SetKerning(wchar_t next, float amount) {
    kerning[next] = amount;
    if (!InFirstKerning(next)) return;
    if (firstKerning.empty()) firstKerning.assign(kFirstKerning, 0.0f);
    firstKerning[static_cast<size_t>(next)] = amount;
}

const CharData* FontLayer::FindCharData(wchar_t c) const {
    auto found = chars_.find(c);
    return found != chars_.end() ? &found->second : nullptr;
}

void FontLayer::RecomputeGlyphHeight() {
    glyphHeight = 0;
    for (const auto& [c, data] : chars_) glyphHeight = std::max(glyphHeight, data.imageHeight + data.offsetY);
}

FontData::FontData() {
    for (size_t i = 0; i < charMap_.size(); ++i) charMap_[i] = static_cast<uint16_t>(i);
}

FontData::~FontData() = default;

int FontData::AddRef() { return ++refCount_; }

int FontData::Release() {
    int remaining = --refCount_;
    if (remaining <= 0) delete this;
    return remaining;
}

bool FontData::Load(const std::string& path, AppServices* errorWindow) {
    // A descriptor runs once: running it again over what a failed first run
    // built would double its layers.
    if (loadStarted_) return false;
    loadStarted_ = true;
    errorWindow_ = errorWindow;
    command_.clear();
    errorPrefix_ = "Font Descriptor Error in " + path + "\r\n";
    path_ = path;
    errorShown_ = false;
    loaded_ = LoadDescriptor(path);
    // The language's own failures (a file that cannot be read, bad quoting or
    // lists, an unknown define) would otherwise leave an invisible font
    // without a word: they reach the error window too.
    if (!loaded_ && !errorShown_ && HasFailed()) {
        std::wstring text = text::Widen(errorPrefix_) + GetErrorText();
        if (GetCurrentLine() > 0) text += text::WFormat(L" on Line %d", GetCurrentLine());
        ShowError(text);
    }
    return loaded_;
}

wchar_t FontData::MapChar(wchar_t c) const {
    if (c >= 0 && c < 256) return static_cast<wchar_t>(charMap_[static_cast<size_t>(c)]);
    return c;
}

FontLayer* FontData::GetLayerByName(std::wstring_view name) const {
    auto found = layerNames_.find(StringToUpper(name));
    return found != layerNames_.end() ? found->second : nullptr;
}

bool FontData::FindLayer(const DataElement& value, FontLayer*& layer) {
    layer = nullptr;
    if (value.IsList()) return false;
    layer = GetLayerByName(static_cast<const SingleDataElement&>(value).text);
    if (layer == nullptr) return Error("Undefined Layer");
    return true;
}

bool FontData::Error(std::string_view message) {
    errorShown_ = true;
    // The text is assembled at its full length: a long line is shown whole.
    std::wstring text = text::Widen(errorPrefix_) + text::Widen(message);
    if (!command_.empty()) text += text::WFormat(L" on Line %d:\r\n\r\n", GetCurrentLine()) + command_;
    ShowError(text);
    return false;
}

void FontData::ShowError(std::wstring_view text) {
    if (errorWindow_ != nullptr) errorWindow_->ShowFatalErrorWide(text);
}

bool FontData::HandleCommand(ListDataElement& params) {
    // Only a failing command's own box counts when Load decides whether the
    // language's error still needs one.
    errorShown_ = false;
    bool ok = RunCommand(params.elements);
    if (ok) errorShown_ = false;
    return ok;
}

bool FontData::RunCommand(const Params& p) {
    const Command* command = FindCommand(static_cast<const SingleDataElement&>(*p.front()).text);
    if (command == nullptr) return Error("Unknown Command");
    switch (*command) {
        case Command::Define: return CommandDefine(p);
        case Command::CreateHorzSpanRectList: return CommandCreateHorzSpanRectList(p);
        case Command::SetDefaultPointSize: return CheckCount(p, 1) && GetPointSize(*p[1], defaultPointSize_);
        case Command::SetCharMap: return CommandSetCharMap(p);
        case Command::CreateLayer: return CommandCreateLayer(p, false);
        case Command::CreateLayerFrom: return CommandCreateLayer(p, true);
        case Command::LayerRequireTags: return CommandLayerTags(p, true);
        case Command::LayerExcludeTags: return CommandLayerTags(p, false);
        case Command::LayerPointRange: return CommandLayerPointRange(p);
        case Command::LayerSetPointSize: return CommandLayerPointSize(p);
        case Command::LayerSetImage: return CommandLayerSetImage(p);
        case Command::LayerSetDrawMode: return CommandLayerInteger(p, &FontLayer::drawMode);
        case Command::LayerSetHeight: return CommandLayerNumber(p, &FontLayer::height);
        case Command::LayerSetAscent: return CommandLayerNumber(p, &FontLayer::ascent);
        case Command::LayerSetAscentPadding: return CommandLayerNumber(p, &FontLayer::ascentPadding);
        case Command::LayerSetLineSpacingOffset: return CommandLayerNumber(p, &FontLayer::lineSpacingOffset);
        case Command::LayerSetOffset: return CommandLayerSetOffset(p);
        case Command::LayerSetCharWidths: return CommandLayerCharNumbers(p, &CharData::advanceWidth);
        case Command::LayerSetSpacing: return CommandLayerNumber(p, &FontLayer::spacing);
        case Command::LayerSetImageMap: return CommandLayerSetImageMap(p);
        case Command::LayerSetCharOffsets: return CommandLayerSetCharOffsets(p);
        case Command::LayerSetKerningPairs: return CommandLayerSetKerningPairs(p);
        case Command::LayerSetBaseOrder: return CommandLayerInteger(p, &FontLayer::baseOrder);
        case Command::LayerSetCharOrders: return CommandLayerCharNumbers(p, &CharData::order);
    }
    return Error("Unknown Command");
}

// Parameter conversions: each reports "Invalid Parameter Type" when the value
// is of the wrong kind or does not convert.

bool FontData::CheckCount(const Params& p, size_t count) {
    return p.size() == count + 1 || Error("Invalid Number of Parameters");
}

bool FontData::GetLayer(const DataElement& value, FontLayer*& layer) {
    return FindLayer(value, layer) || Error("Invalid Parameter Type");
}

bool FontData::InBounds(float value) { return std::fabs(value) <= kMaxNumber; }

bool FontData::GetNumber(const DataElement& value, float& out) {
    if (value.IsList() || !WStringToFloat(static_cast<const SingleDataElement&>(value).text, out) || !InBounds(out))
        return Error("Invalid Parameter Type");
    return true;
}

bool FontData::GetPointSize(const DataElement& value, float& out) {
    float size = 0;
    if (!GetNumber(value, size)) return false;
    if (size != 0 && !(size >= kMinPointSize)) return Error("Invalid Parameter Type");
    out = size;
    return true;
}

bool FontData::GetInteger(const DataElement& value, int& out) {
    if (value.IsList() || !WStringToInt(static_cast<const SingleDataElement&>(value).text, out) ||
        !InBounds(static_cast<float>(out)))
        return Error("Invalid Parameter Type");
    return true;
}

bool FontData::GetString(const DataElement& value, std::wstring& out) {
    return DataToString(value, out) || Error("Invalid Parameter Type");
}

bool FontData::GetStrings(const DataElement& value, std::vector<std::wstring>& out) {
    return DataToStringVector(value, out) || Error("Invalid Parameter Type");
}

bool FontData::ToNumbers(const DataElement& value, std::vector<float>& out) {
    return DataToFloatVector(value, out) && std::all_of(out.begin(), out.end(), InBounds);
}

bool FontData::GetNumbers(const DataElement& value, std::vector<float>& out) {
    return ToNumbers(value, out) || Error("Invalid Parameter Type");
}

bool FontData::GetList(const DataElement& value, ListDataElement& out) {
    return DataToList(value, out) || Error("Invalid Parameter Type");
}
