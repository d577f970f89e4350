#include "foundation/system/diagnostics.h"

#include <array>
#include <cstdio>
#include <ctime>
#include <map>
#include <mutex>
#include <string>

#include "foundation/system/critical_section.h"
#include "platform/system/debug_output.h"
#include "platform/system/result_codes.h"

namespace {

struct ResultText {
    plat::HResult code;
    const char* text;
};

constexpr std::array kResultTexts = {
    ResultText{plat::kOk, "No error occurred."},
    ResultText{plat::kErrOutOfMemory, "Direct3D could not allocate sufficient memory to complete the call."},
    ResultText{plat::kErrInvalidArg, "An invalid parameter was passed to the returning function "},
    ResultText{plat::kErrNoInterface, "DSERR_NOINTERFACE"},
    ResultText{plat::kErrFail, "DSERR_GENERIC"},
    ResultText{plat::kErrNoAggregation, "DSERR_NOAGGREGATION"},
    ResultText{plat::kErrOutOfVideoMemory, "Direct3D does not have enough display memory to perform the operation."},
    ResultText{plat::kErrWrongTextureFormat, "The pixel format of the texture surface is not valid."},
    ResultText{plat::kErrUnsupportedColorOperation,
               "The device does not support a specified texture-blending operation for color values."},
    ResultText{plat::kErrUnsupportedColorArg,
               "The device does not support a specified texture-blending argument for color values."},
    ResultText{plat::kErrUnsupportedAlphaOperation,
               "The device does not support a specified texture-blending operation for the alpha channel."},
    ResultText{plat::kErrUnsupportedAlphaArg,
               "The device does not support a specified texture-blending argument for the alpha channel."},
    ResultText{plat::kErrTooManyOperations,
               "The application is requesting more texture-filtering operations than the device supports."},
    ResultText{plat::kErrConflictingTextureFilter, "The current texture filters cannot be used together."},
    ResultText{plat::kErrUnsupportedFactorValue, "The device does not support the specified texture factor value."},
    ResultText{plat::kErrConflictingRenderState, "The currently set render states cannot be used together."},
    ResultText{plat::kErrUnsupportedTextureFilter, "The device does not support the specified texture filter."},
    ResultText{plat::kErrConflictingTexturePalette,
               "The current textures cannot be used simultaneously. This generally occurs when a multitexture "
               "device requires that all palletized textures simultaneously enabled also share the same palette."},
    ResultText{plat::kErrDriverInternalError, "Internal driver error."},
    ResultText{plat::kErrNotFound, "The requested item was not found."},
    ResultText{plat::kErrMoreData, "There is more data available than the specified buffer size can hold."},
    ResultText{plat::kErrDeviceLost,
               "The device is lost and cannot be restored at the current time, so rendering is not possible."},
    ResultText{plat::kErrDeviceNotReset, "The device cannot be reset."},
    ResultText{plat::kErrNotAvailable, "This device does not support the queried technique."},
    ResultText{plat::kErrInvalidDevice, "The requested device type is not valid."},
    ResultText{plat::kErrInvalidCall,
               "The method call is invalid. For example, a method's parameter may have an invalid value."},
    ResultText{plat::kErrInvalidData, "The data is invalid."},
    ResultText{plat::kSoundErrAllocated, "DSERR_ALLOCATED"},
    ResultText{plat::kSoundErrControlUnavailable, "DSERR_CONTROLUNAVAIL"},
    ResultText{plat::kSoundErrInvalidCall, "DSERR_INVALIDCALL"},
    ResultText{plat::kSoundErrPriorityNeeded, "DSERR_PRIOLEVELNEEDED"},
    ResultText{plat::kSoundErrBadFormat, "DSERR_BADFORMAT"},
    ResultText{plat::kSoundErrNoDriver, "DSERR_NODRIVER"},
    ResultText{plat::kSoundErrAlreadyInitialized, "DSERR_ALREADYINITIALIZED"},
    ResultText{plat::kSoundErrBufferLost, "DSERR_BUFFERLOST"},
    ResultText{plat::kSoundErrOtherHasPriority, "DSERR_OTHERAPPHASPRIO"},
    ResultText{plat::kSoundErrUninitialized, "DSERR_UNINITIALIZED"},
};

struct LeakRecord {
    std::string file;
    int line = 0;
    size_t size = 0;
};

std::string AsctimeNow();

// The process-wide leak table. Its destructor writes the report; the alive
// flag keeps tracking calls made before construction or after destruction
// (other static objects) from touching a dead table.
class LeakTracker {
public:
    LeakTracker() { alive_ = true; }
    // Nothing is written beside the program: a block still tracked at exit
    // is reported on the debug channel, and an empty table says nothing.
    ~LeakTracker() {
        if (!records.empty()) plat::OutputDebugText(FormatLeakReport(AsctimeNow()));
        alive_ = false;
    }
    LeakTracker(const LeakTracker&) = delete;
    LeakTracker& operator=(const LeakTracker&) = delete;

    static bool IsAlive() { return alive_; }

    CriticalSection lock;
    std::map<const void*, LeakRecord> records;

private:
    static inline bool alive_ = false;
};

LeakTracker gLeakTracker;

std::string AsctimeNow() {
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    // The asctime layout, spelled out so that no locale can change it.
    return text::Format("%.3s %.3s%3d %.2d:%.2d:%.2d %d\n", kDays[local.tm_wday % 7], kMonths[local.tm_mon % 12],
                        local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, 1900 + local.tm_year);
}

}  // namespace

std::string HResultToText(int32_t code) {
    for (const ResultText& entry : kResultTexts)
        if (entry.code == code) return entry.text;
    return text::Format("%x", static_cast<uint32_t>(code));
}

void DebugOutput(std::wstring_view text) { plat::OutputDebugText(text::ToUtf8(text)); }

void TrackAllocation(const void* address, const char* file, int line, size_t size) {
    if (!LeakTracker::IsAlive() || address == nullptr) return;
    ScopedCriticalSection guard(gLeakTracker.lock);
    gLeakTracker.records[address] = LeakRecord{file != nullptr ? file : "", line, size};
}

void UntrackAllocation(const void* address) {
    if (!LeakTracker::IsAlive()) return;
    ScopedCriticalSection guard(gLeakTracker.lock);
    gLeakTracker.records.erase(address);
}

std::string FormatLeakReport(std::string_view dateLine) {
    std::string report = "Memory Leak Report for ";
    report.append(dateLine);
    report += '\n';
    unsigned long long total = 0;
    if (LeakTracker::IsAlive()) {
        ScopedCriticalSection guard(gLeakTracker.lock);
        for (const auto& [address, record] : gLeakTracker.records) {
            // Sized from the content: a long source path is never cut short.
            report += text::Format("%s(%d) : Leak %zu byte%s\n", record.file.c_str(), record.line, record.size,
                                   record.size == 1 ? "" : "s");
            total += record.size;
        }
    }
    report.append(59, '-');
    report += '\n';
    report += text::Format("Total Unfreed: %llu bytes\n\n", total);
    return report;
}

bool WriteLeakReport(const std::string& path) {
    std::unique_lock<CriticalSection> guard;
    if (LeakTracker::IsAlive()) guard = std::unique_lock(gLeakTracker.lock);
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) return false;
    std::string report = FormatLeakReport(AsctimeNow());
    std::fwrite(report.data(), 1, report.size(), file);
    std::fclose(file);
    plat::OutputDebugText(report);
    return true;
}
