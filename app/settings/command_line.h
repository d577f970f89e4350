#pragma once
// The start-up command line: splitting it into options and what the
// framework's own options mean.
//
// Promises: "=" and ":" switch from an option's name to its value and are
// never kept; double quotes group spaces into one option; in screensaver mode
// "/p 1234" is one option with a value. Nothing here ends the process: an
// option the framework does not know comes back as kInvalid for the caller.
// Threads: any; nothing is shared.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// A program file named "*.scr" (any letter case) runs as a screen saver.
bool IsScreensaverProgramName(std::string_view path);

// The text after the program name; empty when nothing follows it.
std::string_view CommandLineArguments(std::string_view commandLine);

// One command line text from an argument vector, quoting arguments that hold
// spaces, as the system's own command line would show them.
std::string JoinCommandLine(const std::vector<std::string>& arguments);

using CommandLineOptionSink = std::function<void(const std::string& name, const std::string& value)>;

void SplitCommandLineOptions(std::string_view arguments, bool screensaverMode, const CommandLineOptionSink& sink);

struct CommandLineState {
    bool screensaverMode = false;
    bool crashRequested = false;
    bool configureRequested = false;  // "/c": show the box and quit
    std::string startFolder;          // "-changedir"; empty keeps the program folder
    bool startFolderChanged = false;
    long long previewParent = 0;  // "/p": the window to draw the preview into
};

enum class CommandLineOptionResult { kApplied, kIgnored, kInvalid };

// Asks for the usage rather than a run: "--help", "-help", "-h", "/?".
bool IsHelpOption(std::string_view name);

// The options the framework knows, one per line, after a "Usage:" line
// naming the program by the last part of `program`.
std::string CommandLineUsage(std::string_view program);

CommandLineOptionResult ApplyStandardCommandLineOption(const std::string& name, const std::string& value,
                                                       CommandLineState& state);
