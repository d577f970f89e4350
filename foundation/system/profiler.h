#pragma once
// The named-section profiler and the processor speed it measures with.
//
// Process-wide and idle until Start. Sections are timed from begin and end
// events queued with their time-stamp-counter reading; events are applied
// in bulk by FlushEvents (and at Stop), and the time spent applying them is
// left out of the total. Stop converts everything to milliseconds with the
// measured counter rate; GetReport gives the text shown to the developer.
// Every operation takes the profiler's lock, so any thread may call any of
// them. Section names must be texts that live as long as the process
// (string literals): events keep only the pointer.

#include <cstdint>
#include <string>

// Time-stamp-counter ticks per second, measured over 10 ms; 0 without a
// performance counter.
uint64_t MeasureCpuSpeed();

struct ProfilerEvent {
    const char* section = nullptr;
    uint64_t ticks = 0;
    bool begin = false;
};

struct ProfilerSection {
    uint64_t startTicks = 0;
    uint64_t totalTicks = 0;
    double totalMs = 0.0;
    double longest = 0.0;  // ticks while running, milliseconds after Stop
    int depth = 0;
    int calls = 0;
};

class Profiler {
public:
    static void Start();
    static void Stop();
    static bool IsRunning();
    static std::string GetReport();

    // Queues a begin or end event stamped now; ignored while idle.
    static void QueueEvent(const char* section, bool begin);
    static void FlushEvents();
    static void ApplyEvent(const ProfilerEvent& event);

    // The measured rate, cached; 1 when it cannot be measured.
    static uint64_t GetCpuSpeed();
};
