#include "rendering/font/font.h"

float Font::StringWidth(const std::wstring&) { return 0; }

float Font::CharWidth(wchar_t c) { return StringWidth(std::wstring(1, c)); }

float Font::CharWidthKern(wchar_t c, wchar_t) { return CharWidth(c); }

void Font::DrawString(Graphics&, float, float, const std::wstring&, const Color&, const FRect&) {}
