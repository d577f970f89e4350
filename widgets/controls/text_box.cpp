#include "widgets/controls/text_box.h"

#include <algorithm>
#include <cstdint>

#include "foundation/system/app_services.h"
#include "foundation/values/saturate.h"
#include "rendering/draw/graphics.h"
#include "rendering/font/font.h"
#include "rendering/image/image.h"

namespace {

constexpr wchar_t kRows[] = L"tcb";
constexpr wchar_t kColumns[] = L"lcr";

int WidthOf(const Image* image) { return image ? image->GetCelWidth() : 0; }
int HeightOf(const Image* image) { return image ? image->GetCelHeight() : 0; }

}  // namespace

TextBoxFrame::TextBoxFrame(std::wstring_view box) {
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            std::wstring name(box);
            name += L'_';
            name += kColumns[column];
            name += kRows[row];
            pieces[row][column] = dynamic_cast<Image*>(FindImageByName(name));
        }
    auto widest = [this](int column) {
        return std::max({WidthOf(pieces[0][column]), WidthOf(pieces[1][column]), WidthOf(pieces[2][column])});
    };
    left = widest(0);
    centre = widest(1);
    right = widest(2);
    top = HeightOf(pieces[0][1]);
    bottom = HeightOf(pieces[2][1]);
}

int TextBoxFrame::MinimumHeight() const {
    return std::max(HeightOf(pieces[0][0]) + 1 + HeightOf(pieces[2][0]),
                    HeightOf(pieces[0][2]) + 1 + HeightOf(pieces[2][2]));
}

void DrawTextBox(Graphics* g, std::wstring_view box, const TextBoxRequest& request, const std::wstring& text) {
    if (!g) return;
    const TextBoxFrame frame(box);
    Font* font = g->GetFont();
    int width = request.width < 1 ? 10000 : request.width;
    if (!text.empty() && !request.forceWidth && font) {
        const int64_t needed = int64_t{SaturateCast(font->StringWidth(text))} + frame.left + frame.right;
        if (needed <= width) width = static_cast<int>(needed);
    }
    int x = request.x;
    if (request.justification == 0)
        x = ClampHalfInt(int64_t{x} - width / 2);
    else if (request.justification == 1)
        x = ClampHalfInt(int64_t{x} - width);

    int innerWidth = std::max(0, ClampHalfInt(int64_t{width} - frame.left - frame.right));
    int innerHeight;
    if (request.height < 1 && !text.empty()) {
        int widest = 0;
        innerHeight = Graphics::GetWordWrappedHeight(g, innerWidth, text, &widest);
        if (!request.forceWidth) innerWidth = widest;
    } else {
        innerHeight = ClampHalfInt(int64_t{request.height} - frame.top - frame.bottom);
    }
    const int boxHeight =
        std::max(ClampHalfInt(int64_t{frame.top} + innerHeight + frame.bottom), frame.MinimumHeight());
    innerHeight = std::max(0, boxHeight - frame.top - frame.bottom);

    const int columnX[3] = {x, ClampHalfInt(int64_t{x} + frame.left),
                            ClampHalfInt(int64_t{x} + frame.left + innerWidth)};
    const int rowY[3] = {request.y, ClampHalfInt(int64_t{request.y} + frame.top),
                         ClampHalfInt(int64_t{request.y} + frame.top + innerHeight)};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            Image* piece = frame.pieces[row][column];
            if (!piece) continue;
            const float px = static_cast<float>(columnX[column]), py = static_cast<float>(rowY[row]);
            const int w = piece->GetCelWidth(), h = piece->GetCelHeight();
            if (row != 1 && column != 1)
                g->DrawImage(piece, px, py, 0, FRect(0.0f, 0.0f, static_cast<float>(w), static_cast<float>(h)));
            else
                g->DrawImageScaled(piece, px, py, static_cast<float>(column == 1 ? innerWidth : w),
                                   static_cast<float>(row == 1 ? innerHeight : h), 0);
        }
    if (text.empty()) return;
    g->SetDrawMode(0);
    g->WriteWordWrapped(Rect(columnX[1], ClampHalfInt(int64_t{rowY[1]} + request.extraTop), innerWidth, innerHeight),
                        text, -1, request.justification);
}
