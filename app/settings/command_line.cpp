#include "app/settings/command_line.h"

#include <cctype>
#include <cstdlib>

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

}  // namespace

std::string_view CommandLineArguments(std::string_view commandLine) {
    size_t end;
    if (!commandLine.empty() && commandLine.front() == '"') {
        size_t close = commandLine.find('"', 1);
        end = close == std::string_view::npos ? commandLine.size() : close + 1;
    } else {
        end = commandLine.find(' ');
        if (end == std::string_view::npos) end = commandLine.size();
    }
    size_t space = commandLine.find(' ', end);
    if (space == std::string_view::npos) return {};
    return commandLine.substr(space + 1);
}

std::string JoinCommandLine(const std::vector<std::string>& arguments) {
    std::string line;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) line += ' ';
        const std::string& arg = arguments[i];
        if (arg.find(' ') != std::string::npos)
            line += '"' + arg + '"';
        else
            line += arg;
    }
    return line;
}

void SplitCommandLineOptions(std::string_view arguments, bool screensaverMode, const CommandLineOptionSink& sink) {
    std::string name;
    std::string value;
    bool inValue = false;
    bool quoted = false;
    auto finish = [&] {
        if (!name.empty()) sink(name, value);
        name.clear();
        value.clear();
        inValue = false;
    };
    for (char c : arguments) {
        if (c == '"') {
            quoted = !quoted;
            if (!quoted) finish();
        } else if (c == '=' || c == ':') {
            inValue = true;
        } else if (c == ' ' && !quoted) {
            if (screensaverMode && !inValue && EqualsNoCase(name, "/p"))
                inValue = true;
            else
                finish();
        } else {
            (inValue ? value : name) += c;
        }
    }
    finish();
}

bool IsScreensaverProgramName(std::string_view path) {
    const size_t slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    return dot != std::string_view::npos && EqualsNoCase(std::string(name.substr(dot + 1)), "scr");
}

bool IsHelpOption(std::string_view name) { return name == "--help" || name == "-help" || name == "-h" || name == "/?"; }

std::string CommandLineUsage(std::string_view program) {
    const size_t slash = program.find_last_of("/\\");
    std::string name(slash == std::string_view::npos ? program : program.substr(slash + 1));
    if (name.empty()) name = "halvaro";
    return "Usage: " + name +
           " [-changedir=FOLDER] [-crash] [-screensaver]\n"
           "  -changedir=FOLDER  start in FOLDER, where main.pak and the game's data are read\n"
           "  -crash             crash at once, to show what a crash report looks like\n"
           "  -screensaver       run as a screen saver (with /p WINDOW for its preview, /c to configure)\n";
}

CommandLineOptionResult ApplyStandardCommandLineOption(const std::string& name, const std::string& value,
                                                       CommandLineState& state) {
    if (name == "-crash") {
        state.crashRequested = true;
    } else if (name == "-screensaver") {
        state.screensaverMode = true;
    } else if (name == "-changedir") {
        state.startFolder = value;
        state.startFolderChanged = true;
    } else if (state.screensaverMode && EqualsNoCase(name, "/p")) {
        state.previewParent = std::strtoll(value.c_str(), nullptr, 10);
    } else if (state.screensaverMode && EqualsNoCase(name, "/c")) {
        state.configureRequested = true;
    } else if (state.screensaverMode) {
        return CommandLineOptionResult::kIgnored;
    } else {
        return CommandLineOptionResult::kInvalid;
    }
    return CommandLineOptionResult::kApplied;
}
