#include "foundation/files/pak_interface.h"
#include "platform/system/file_system.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Compares ignoring ASCII case, with '\\' and '/' equal.
bool SamePathText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (IsSeparator(a[i]) && IsSeparator(b[i])) continue;
        if (Upper(a[i]) != Upper(b[i])) return false;
    }
    return true;
}

bool IsAbsolute(std::string_view name) {
    return (!name.empty() && IsSeparator(name[0])) || (name.size() > 1 && name[1] == ':');
}

}  // namespace

std::string PakInterface::NormalizeName(std::string_view name) {
    // An absolute name inside the current directory is looked up relative to it,
    // as the pack's names are relative to the program folder.
    if (IsAbsolute(name)) {
        std::string cwd = plat::CurrentDirectory();
        if (!cwd.empty() && !IsSeparator(cwd.back())) cwd += '/';
        if (name.size() >= cwd.size() && SamePathText(name.substr(0, cwd.size()), cwd)) name.remove_prefix(cwd.size());
    }

    std::string out;
    out.reserve(name.size());
    size_t i = 0;
    while (i < name.size()) {
        char c = name[i];
        if (IsSeparator(c)) {
            if (out.empty() || out.back() != '\\') out += '\\';
            ++i;
            continue;
        }
        bool parent = c == '.' && i > 0 && IsSeparator(name[i - 1]) && i + 1 < name.size() && name[i + 1] == '.' &&
                      (i + 2 == name.size() || IsSeparator(name[i + 2]));
        if (parent) {
            // Drop the last component copied, never the leading separator.
            size_t cut = out.size() >= 2 ? out.rfind('\\', out.size() - 2) : std::string::npos;
            if (cut != std::string::npos)
                out.resize(cut + 1);
            else if (out != "\\")
                out.clear();
            for (i += 2; i < name.size() && IsSeparator(name[i]); ++i) {}
            continue;
        }
        out += Upper(c);
        ++i;
    }
    return out;
}
