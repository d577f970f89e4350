#pragma once
// The text log on the user's desktop.
//
// Off until LogInit is called with logging enabled (the application does so
// during resource loading when the constant "logging" is above 0), and off
// again after LogDisable. Lines written between LogHoldUntilInit and LogInit
// wait (the first 64) and reach the file when LogInit enables logging;
// LogInit(false) and LogDisable drop them. Each LogWrite appends one line to
// "<product>.log" in the desktop folder as UTF-16LE with CRLF; a new file
// starts with a byte-order mark. The file is opened and closed per line so
// that nothing is lost if the process dies. Any thread may write: lines are
// appended whole, never interleaved. A file that cannot be opened loses the
// line silently.

#include <string>
#include <string_view>

// The application's product name, which names the log file. Set it before
// LogInit; the default is "Halvaro".
void LogSetProductName(std::string_view productName);

// Start-up writes before it knows whether logging is on: its lines wait.
void LogHoldUntilInit();
// Turns logging on with the application's logging flag and fixes the file's path.
void LogInit(bool loggingEnabled);
void LogDisable();
bool IsLogEnabled();
// The log file's path; empty while logging is off.
std::string GetLogPath();

// Appends the text and CRLF; with `withTime` the line starts with
// "[MM/DD/YY HH:MM:SS] " in local time.
void LogWrite(std::wstring_view line, bool withTime);
