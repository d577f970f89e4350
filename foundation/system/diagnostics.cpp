#include "foundation/system/diagnostics.h"

#include <array>
#include <cstdio>
#include <ctime>
#include <map>
#include <mutex>
#include <string>

#include "foundation/system/critical_section.h"
#include "platform/system/debug_output.h"

namespace {

struct ResultText {
    uint32_t code;
    const char* text;
};

constexpr std::array kResultTexts = {
    ResultText{0x00000000, "No error occurred."},
    ResultText{0x8007000E, "Direct3D could not allocate sufficient memory to complete the call."},
    ResultText{0x80070057, "An invalid parameter was passed to the returning function "},
    ResultText{0x80004002, "DSERR_NOINTERFACE"},
    ResultText{0x80004005, "DSERR_GENERIC"},
    ResultText{0x80040110, "DSERR_NOAGGREGATION"},
    ResultText{0x8876017C, "Direct3D does not have enough display memory to perform the operation."},
    ResultText{0x88760818, "The pixel format of the texture surface is not valid."},
    ResultText{0x88760819, "The device does not support a specified texture-blending operation for color values."},
    ResultText{0x8876081A, "The device does not support a specified texture-blending argument for color values."},
    ResultText{0x8876081B,
               "The device does not support a specified texture-blending operation for the alpha channel."},
    ResultText{0x8876081C,
               "The device does not support a specified texture-blending argument for the alpha channel."},
    ResultText{0x8876081D,
               "The application is requesting more texture-filtering operations than the device supports."},
    ResultText{0x8876081E, "The current texture filters cannot be used together."},
    ResultText{0x8876081F, "The device does not support the specified texture factor value."},
    ResultText{0x88760821, "The currently set render states cannot be used together."},
    ResultText{0x88760822, "The device does not support the specified texture filter."},
    ResultText{0x88760826,
               "The current textures cannot be used simultaneously. This generally occurs when a multitexture "
               "device requires that all palletized textures simultaneously enabled also share the same palette."},
    ResultText{0x88760827, "Internal driver error."},
    ResultText{0x88760866, "The requested item was not found."},
    ResultText{0x88760867, "There is more data available than the specified buffer size can hold."},
    ResultText{0x88760868,
               "The device is lost and cannot be restored at the current time, so rendering is not possible."},
    ResultText{0x88760869, "The device cannot be reset."},
    ResultText{0x8876086A, "This device does not support the queried technique."},
    ResultText{0x8876086B, "The requested device type is not valid."},
    ResultText{0x8876086C, "The method call is invalid. For example, a method's parameter may have an invalid value."},
    ResultText{0x88760B59, "The data is invalid."},
    ResultText{0x8878000A, "DSERR_ALLOCATED"},
    ResultText{0x8878001E, "DSERR_CONTROLUNAVAIL"},
    ResultText{0x88780032, "DSERR_INVALIDCALL"},
    ResultText{0x88780046, "DSERR_PRIOLEVELNEEDED"},
    ResultText{0x88780064, "DSERR_BADFORMAT"},
    ResultText{0x88780078, "DSERR_NODRIVER"},
    ResultText{0x88780082, "DSERR_ALREADYINITIALIZED"},
    ResultText{0x88780096, "DSERR_BUFFERLOST"},
    ResultText{0x887800A0, "DSERR_OTHERAPPHASPRIO"},
    ResultText{0x887800AA, "DSERR_UNINITIALIZED"},
};

struct LeakRecord {
    std::string file;
    int line = 0;
    size_t size = 0;
};

// The process-wide leak table. Its destructor writes the report; the alive
// flag keeps tracking calls made before construction or after destruction
// (other static objects) from touching a dead table.
class LeakTracker {
public:
    LeakTracker() { alive_ = true; }
    ~LeakTracker() {
        WriteLeakReport("mem_leaks.txt");
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
    std::tm local {};
    localtime_r(&now, &local);
    // The asctime layout, spelled out so that no locale can change it.
    return text::Format("%.3s %.3s%3d %.2d:%.2d:%.2d %d\n", kDays[local.tm_wday % 7], kMonths[local.tm_mon % 12],
                        local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, 1900 + local.tm_year);
}

}  // namespace

std::string HResultToText(int32_t code) {
    uint32_t bits = static_cast<uint32_t>(code);
    for (const ResultText& entry : kResultTexts)
        if (entry.code == bits) return entry.text;
    return text::Format("%x", bits);
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
