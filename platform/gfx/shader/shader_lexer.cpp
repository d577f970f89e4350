#include "platform/gfx/shader/shader_lexer.h"

#include <cctype>
#include <cstdlib>

namespace plat::shader {

namespace {

bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

std::string LinePrefix(int line) { return "line " + std::to_string(line) + ": "; }

// Two-character operators first, so "+=" is not read as "+" and "=".
constexpr std::string_view kPairs[] = {
    "+=", "-=", "*=", "/=", "==", "!=", "<=", ">=", "&&", "||", "++", "--", "<<", ">>", "::"};
constexpr std::string_view kSingles = "{}()[];,.:=+-*/<>!?&|%^~";

}  // namespace

bool Tokenize(std::string_view src, std::vector<Token>& tokens, std::string& error) {
    tokens.clear();
    int line = 1;
    std::size_t i = 0;
    const std::size_t n = src.size();
    while (i < n) {
        const char c = src[i];
        if (c == '\n') {
            ++line;
            ++i;
            continue;
        }
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
            continue;
        }
        if (c == '/' && i + 1 < n && src[i + 1] == '/') {
            while (i < n && src[i] != '\n') ++i;
            continue;
        }
        if (c == '/' && i + 1 < n && src[i + 1] == '*') {
            const int start = line;
            i += 2;
            while (i < n && !(src[i] == '*' && i + 1 < n && src[i + 1] == '/')) {
                if (src[i] == '\n') ++line;
                ++i;
            }
            if (i >= n) {
                error = LinePrefix(start) + "comment is not closed";
                return false;
            }
            i += 2;
            continue;
        }
        Token t;
        t.line = line;
        if (c == '#') {
            error = LinePrefix(line) + "preprocessor directives are not supported";
            return false;
        }
        if (IsIdentStart(c)) {
            const std::size_t start = i;
            while (i < n && IsIdentChar(src[i])) ++i;
            t.kind = TokenKind::Identifier;
            t.text = std::string(src.substr(start, i - start));
        } else if (IsDigit(c) || (c == '.' && i + 1 < n && IsDigit(src[i + 1]))) {
            const std::size_t start = i;
            while (i < n && IsDigit(src[i])) ++i;
            if (i < n && src[i] == '.') {
                ++i;
                while (i < n && IsDigit(src[i])) ++i;
            }
            if (i < n && (src[i] == 'e' || src[i] == 'E')) {
                std::size_t j = i + 1;
                if (j < n && (src[j] == '+' || src[j] == '-')) ++j;
                if (j < n && IsDigit(src[j])) {
                    i = j;
                    while (i < n && IsDigit(src[i])) ++i;
                }
            }
            t.kind = TokenKind::Number;
            t.text = std::string(src.substr(start, i - start));
            t.number = std::strtof(t.text.c_str(), nullptr);
            if (i < n && (src[i] == 'f' || src[i] == 'F')) ++i;
            if (i < n && IsIdentChar(src[i])) {
                std::string shown = t.text;
                shown.push_back(src[i]);
                error = LinePrefix(line) + "malformed number '" + shown + "'";
                return false;
            }
        } else {
            t.kind = TokenKind::Punct;
            bool paired = false;
            for (std::string_view p : kPairs) {
                if (src.substr(i, 2) == p) {
                    t.text = std::string(p);
                    i += 2;
                    paired = true;
                    break;
                }
            }
            if (!paired) {
                if (kSingles.find(c) == std::string_view::npos) {
                    const auto code = static_cast<unsigned char>(c);
                    std::string shown;
                    if (std::isprint(code)) {
                        shown.push_back('\'');
                        shown.push_back(c);
                        shown.push_back('\'');
                    } else {
                        shown = "code " + std::to_string(code);
                    }
                    error = LinePrefix(line);
                    error += "unexpected character ";
                    error += shown;
                    return false;
                }
                t.text = std::string(1, c);
                ++i;
            }
        }
        tokens.push_back(std::move(t));
    }
    Token end;
    end.line = line;
    tokens.push_back(std::move(end));
    return true;
}

}  // namespace plat::shader
