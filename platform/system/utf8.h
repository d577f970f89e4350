#pragma once
// UTF-8 at the boundary between the engine's wide text and the byte strings
// of files, SDL and the system. One implementation for every layer.
// Malformed input never fails: each bad sequence becomes one U+FFFD and
// decoding resumes at the first byte that did not belong to it. A UTF-16
// surrogate pair held as two wide characters (typed text from a UTF-16
// source) encodes as the one code point it stands for.

#include <cstddef>
#include <string>
#include <string_view>

namespace plat {

// The code point at text[i], advancing i past it (two characters for a
// surrogate pair); lone surrogates and values past U+10FFFF read as U+FFFD.
char32_t NextCodePoint(std::wstring_view text, size_t& i);

std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view bytes);

}  // namespace plat
