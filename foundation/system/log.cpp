#include "foundation/system/log.h"

#include <sys/stat.h>

#include <atomic>
#include <cstdio>
#include <ctime>
#include <vector>

#include "foundation/system/critical_section.h"
#include "foundation/system/text.h"
#include "platform/system/desktop_folder.h"

namespace {

struct LogState {
    // One lock over the whole open-append-close: the main and the loading
    // thread both write, and two writers must not both see a missing file
    // (two byte-order marks) or mix their lines.
    CriticalSection lock;
    std::atomic<bool> enabled = false;
    // From LogHoldUntilInit to LogInit lines wait here: what start-up finds
    // before the log opens (a damaged settings file) reaches the file all the same.
    std::atomic<bool> holding = false;
    std::vector<std::wstring> early;
    std::string productName = "Halvaro";
    std::string path;
};

LogState& State() {
    static LogState state;
    return state;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

std::wstring TimePrefix() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return text::Widen(text::Format("[%02d/%02d/%02d %02d:%02d:%02d] ", local.tm_mon + 1, local.tm_mday,
                                    local.tm_year % 100, local.tm_hour, local.tm_min, local.tm_sec));
}

constexpr size_t kMostEarlyLines = 64;

void AppendToFile(const std::string& path, std::wstring whole) {
    if (!FileExists(path)) whole.insert(whole.begin(), wchar_t{0xFEFF});
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (file == nullptr) return;
    std::string bytes = text::ToUtf16LE(whole);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

}  // namespace

void LogSetProductName(std::string_view productName) {
    LogState& state = State();
    ScopedCriticalSection guard(state.lock);
    state.productName = std::string(productName);
}

void LogHoldUntilInit() {
    LogState& state = State();
    ScopedCriticalSection guard(state.lock);
    if (!state.enabled) state.holding = true;
}

void LogInit(bool loggingEnabled) {
    LogState& state = State();
    ScopedCriticalSection guard(state.lock);
    state.holding = false;
    std::vector<std::wstring> early = std::move(state.early);
    state.early.clear();
    if (!loggingEnabled) return;
    state.path = plat::GetDesktopFolder() + "/" + state.productName + ".log";
    state.enabled = true;
    std::wstring waiting;
    for (const std::wstring& line : early) waiting += line;
    if (!waiting.empty()) AppendToFile(state.path, std::move(waiting));
}

void LogDisable() {
    LogState& state = State();
    ScopedCriticalSection guard(state.lock);
    state.enabled = false;
    state.holding = false;
    state.early.clear();
    state.path.clear();
}

bool IsLogEnabled() {
    LogState& state = State();
    ScopedCriticalSection guard(state.lock);
    return state.enabled;
}

std::string GetLogPath() {
    LogState& state = State();
    ScopedCriticalSection guard(state.lock);
    return state.path;
}

void LogWrite(std::wstring_view line, bool withTime) {
    LogState& state = State();
    if (!state.enabled && !state.holding) return;
    // Built before taking the lock: only the file work is serialised.
    std::wstring whole;
    if (withTime) whole = TimePrefix();
    whole.append(line);
    whole += L"\r\n";

    ScopedCriticalSection guard(state.lock);
    if (!state.enabled) {
        if (state.holding && state.early.size() < kMostEarlyLines) state.early.push_back(std::move(whole));
        return;
    }
    AppendToFile(state.path, std::move(whole));
}
