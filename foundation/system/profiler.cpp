#include "foundation/system/profiler.h"

#include <map>
#include <string_view>
#include <vector>

#include "foundation/system/critical_section.h"
#include "foundation/system/text.h"
#include "platform/system/clock.h"

namespace {

struct ProfilerState {
    CriticalSection lock;
    bool active = false;
    uint64_t startTicks = 0;
    uint64_t overheadTicks = 0;
    double totalMs = 0.0;
    // Keyed by the text, not the pointer, so equal names from different
    // translation units are one section and the report order is stable.
    std::map<std::string, ProfilerSection, std::less<>> sections;
    std::vector<ProfilerEvent> events;
    uint64_t cpuSpeed = 0;
};

ProfilerState& State() {
    static ProfilerState state;
    return state;
}

}  // namespace

uint64_t MeasureCpuSpeed() {
    plat::ThreadPriorityBoost boost;
    int64_t frequency = plat::PerformanceFrequency();
    if (frequency <= 0) return 0;
    const int64_t start = plat::PerformanceCounter();
    const uint64_t before = plat::ReadTimeStampCounter();
    const int64_t target = start + frequency / 100;
    int64_t now = start;
    while (now < target) now = plat::PerformanceCounter();
    const uint64_t after = plat::ReadTimeStampCounter();
    now = plat::PerformanceCounter();
    // Scale by the time that really passed: on a busy machine the wait can
    // overrun its 10 ms, and a fixed factor would count the overrun as speed.
    const double seconds = static_cast<double>(now - start) / static_cast<double>(frequency);
    if (seconds <= 0.0) return 0;
    return static_cast<uint64_t>(static_cast<double>(after - before) / seconds);
}

uint64_t Profiler::GetCpuSpeed() {
    ProfilerState& state = State();
    ScopedCriticalSection guard(state.lock);
    if (state.cpuSpeed == 0) {
        uint64_t measured = MeasureCpuSpeed();
        state.cpuSpeed = measured > 0 ? measured : 1;
    }
    return state.cpuSpeed;
}

void Profiler::Start() {
    ProfilerState& state = State();
    ScopedCriticalSection guard(state.lock);
    state.sections.clear();
    state.events.clear();
    state.overheadTicks = 0;
    state.active = true;
    state.startTicks = plat::ReadTimeStampCounter();
}

bool Profiler::IsRunning() {
    ProfilerState& state = State();
    ScopedCriticalSection guard(state.lock);
    return state.active;
}

void Profiler::QueueEvent(const char* section, bool begin) {
    if (section == nullptr) return;
    uint64_t now = plat::ReadTimeStampCounter();
    ProfilerState& state = State();
    ScopedCriticalSection guard(state.lock);
    if (state.active) state.events.push_back(ProfilerEvent{section, now, begin});
}

void Profiler::ApplyEvent(const ProfilerEvent& event) {
    if (event.section == nullptr) return;
    ProfilerState& state = State();
    ScopedCriticalSection guard(state.lock);
    std::string_view name(event.section);
    auto found = state.sections.find(name);
    if (event.begin) {
        if (found == state.sections.end()) found = state.sections.emplace(std::string(name), ProfilerSection{}).first;
        ProfilerSection& section = found->second;
        section.calls += 1;
        section.depth += 1;
        if (section.depth == 1) section.startTicks = event.ticks;
        return;
    }
    if (found == state.sections.end()) return;
    ProfilerSection& section = found->second;
    // An end without its begin would leave the depth below zero and stop the
    // section from ever timing again.
    if (section.depth <= 0) return;
    section.depth -= 1;
    if (section.depth == 0) {
        uint64_t spent = event.ticks - section.startTicks;
        section.totalTicks += spent;
        if (static_cast<double>(spent) > section.longest) section.longest = static_cast<double>(spent);
    }
}

void Profiler::FlushEvents() {
    ProfilerState& state = State();
    ScopedCriticalSection guard(state.lock);
    uint64_t begin = plat::ReadTimeStampCounter();
    for (const ProfilerEvent& event : state.events) ApplyEvent(event);
    state.events.clear();
    state.overheadTicks += plat::ReadTimeStampCounter() - begin;
}

void Profiler::Stop() {
    ProfilerState& state = State();
    ScopedCriticalSection guard(state.lock);
    // A second Stop would convert the longest times to milliseconds twice.
    if (!state.active) return;
    // The run ends after the last flush: the flush's time is counted as
    // overhead, so it must lie inside the run it is taken from, or a flush
    // held up (a busy machine, a long queue) would shorten the run reported.
    FlushEvents();
    uint64_t now = plat::ReadTimeStampCounter();
    state.active = false;
    double speed = static_cast<double>(GetCpuSpeed());
    // The overhead can only exceed the run when the counter misbehaves; never report a negative time.
    uint64_t spent = now - state.startTicks;
    spent = state.overheadTicks < spent ? spent - state.overheadTicks : 0;
    state.totalMs = static_cast<double>(spent) * 1000.0 / speed;
    for (auto& [name, section] : state.sections) {
        section.totalMs = static_cast<double>(section.totalTicks) * 1000.0 / speed;
        section.longest = section.longest * 1000.0 / speed;
    }
}

std::string Profiler::GetReport() {
    ProfilerState& state = State();
    ScopedCriticalSection guard(state.lock);
    std::string report = text::Format("Total Time: %.2f\n", state.totalMs);
    for (const auto& [name, section] : state.sections) {
        double share = state.totalMs > 0.0 ? section.totalMs / state.totalMs * 100.0 : 0.0;
        double average = section.calls > 0 ? section.totalMs / section.calls : 0.0;
        report += text::Format("%s (%d calls, %%%.2f time): %.2f (%.2f avg, %.2f longest)\n", name.c_str(),
                               section.calls, share, section.totalMs, average, section.longest);
    }
    return report;
}
