#include <cctype>
#include <cstdio>

#include "platform/system/registry.h"

// The file form, and nothing else, is accepted back:
//   <?xml version="1.0" encoding="UTF-8"?>
//   <registry>
//    <value key="..." name="...">data</value>
//   </registry>
// Bytes outside printable ASCII other than UTF-8 lead/continuation bytes, and
// the five XML specials, are written as character references so that line
// ends and control characters survive a round trip exactly.

namespace plat {
namespace {

constexpr std::string_view kProlog = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

void Escape(std::string& out, std::string_view text) {
    for (unsigned char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "&#x%02X;", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
}

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    void SkipSpace() {
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
    }
    bool Literal(std::string_view s) {
        if (text_.substr(pos_, s.size()) != s) return false;
        pos_ += s.size();
        return true;
    }
    bool AtEnd() const { return pos_ == text_.size(); }

    // Unescapes up to (not including) `stop`, which must follow.
    bool TextUntil(char stop, std::string& out) {
        out.clear();
        while (pos_ < text_.size()) {
            char c = text_[pos_];
            if (c == stop) return true;
            if (c == '<' || c == '>' || (stop == '"' && c == '"')) return false;
            if (c != '&') {
                out += c;
                ++pos_;
                continue;
            }
            size_t semi = text_.find(';', pos_);
            if (semi == std::string_view::npos || semi - pos_ > 8) return false;
            std::string_view ref = text_.substr(pos_ + 1, semi - pos_ - 1);
            if (ref == "amp")
                out += '&';
            else if (ref == "lt")
                out += '<';
            else if (ref == "gt")
                out += '>';
            else if (ref == "quot")
                out += '"';
            else if (ref == "apos")
                out += '\'';
            else if (!Reference(ref, out))
                return false;
            pos_ = semi + 1;
        }
        return false;
    }

    bool Attribute(std::string_view name, std::string& out) {
        SkipSpace();
        if (!Literal(name) || !Literal("=\"")) return false;
        if (!TextUntil('"', out)) return false;
        ++pos_;
        return true;
    }

private:
    // Only the byte-sized references the writer makes.
    static bool Reference(std::string_view ref, std::string& out) {
        if (ref.size() < 3 || ref.size() > 4 || ref[0] != '#' || ref[1] != 'x') return false;
        unsigned value = 0;
        for (char c : ref.substr(2)) {
            if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
            value = value * 16 + static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(c))
                                                           ? c - '0'
                                                           : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
        }
        out += static_cast<char>(value);
        return true;
    }

    std::string_view text_;
    size_t pos_ = 0;
};

}  // namespace

std::string RegistryLookupKey(std::string_view key, std::string_view name) {
    std::string out;
    out.reserve(key.size() + name.size() + 1);
    for (char c : key) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    out += '\n';
    for (char c : name) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string WriteRegistryText(const std::map<std::string, RegistryValue>& entries) {
    std::string out(kProlog);
    out += "<registry>\n";
    for (const auto& [lookup, value] : entries) {
        out += " <value key=\"";
        Escape(out, value.key);
        out += "\" name=\"";
        Escape(out, value.name);
        out += "\">";
        Escape(out, value.data);
        out += "</value>\n";
    }
    out += "</registry>\n";
    return out;
}

bool ReadRegistryText(std::string_view text, std::map<std::string, RegistryValue>& out) {
    out.clear();
    std::map<std::string, RegistryValue> values;
    Reader in(text);
    in.SkipSpace();
    if (!in.Literal(kProlog.substr(0, kProlog.size() - 1))) return false;
    in.SkipSpace();
    if (!in.Literal("<registry>")) return false;
    for (;;) {
        in.SkipSpace();
        if (in.Literal("</registry>")) break;
        RegistryValue value;
        if (!in.Literal("<value")) return false;
        if (!in.Attribute("key", value.key) || !in.Attribute("name", value.name)) return false;
        in.SkipSpace();
        if (!in.Literal(">") || !in.TextUntil('<', value.data) || !in.Literal("</value>")) return false;
        std::string lookup = RegistryLookupKey(value.key, value.name);
        values.insert_or_assign(std::move(lookup), std::move(value));
    }
    in.SkipSpace();
    if (!in.AtEnd()) return false;
    out = std::move(values);
    return true;
}

}  // namespace plat
