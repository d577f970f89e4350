#pragma once
// Splits shader source into tokens with line numbers. Internal to the
// shader compiler.

#include <string>
#include <string_view>
#include <vector>

namespace plat::shader {

enum class TokenKind { Identifier, Number, Punct, End };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;
    float number = 0.0f;
    int line = 1;
};

// Fills tokens (ending with an End token) or returns false with error set to
// "line N: ...".
bool Tokenize(std::string_view source, std::vector<Token>& tokens, std::string& error);

}  // namespace plat::shader
