#pragma once
// KivraSpawner: lets a spawning period's visitors into the park. It holds
// how many visitors of each type are to come, shuffles them into a queue
// (from the runtime's 15-bit generator) and, each fixed step, lets them
// appear on the park's spawn spots at a rate that rises, holds at its peak
// and falls (spawn_timing.h), so that the whole queue arrives within the
// period. A child widget of its park grid, which creates and removes it.
//
// The timing is computed from the constants by the first spawner of the
// run and kept. Promises: a step costs the same whatever the queue's
// length; building the queue is linear in it. While the tutorial pauses the
// park nothing happens; while the script variable "disable_spawning" is
// set, or the park has no spawn spot, owed visitors are dropped and the
// queue keeps its length. A type the catalogue lacks, or one that is no
// visitor, is taken off the queue, creates nothing and is logged once. A
// period queues at most a thousand visitors of one kind (a larger count is
// logged). Main thread only.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "game/park/parkgrid/spawn_timing.h"
#include "widgets/tree/widget.h"

class KivraGrid;

class KivraSpawner : public Widget {
public:
    explicit KivraSpawner(KivraGrid& grid);

    // A type not yet counted gets the count; one already counted keeps its
    // own. The total grows by the count either way.
    virtual void AddVisitorEntry(std::wstring_view type, uint32_t count);
    virtual void SetVisitorCount(std::wstring_view type, uint32_t count);
    virtual void AddVisitors(std::wstring_view type, uint32_t n);
    // Shuffles the counts into the queue and starts the period; with no
    // visitor to queue, everything stays as it was.
    virtual void BuildSpawnQueue();
    virtual void DisableSpawning() { enabled_ = false; }
    virtual void EnableSpawning() { enabled_ = true; }
    virtual void ClearFlags() { enabled_ = false; }
    // Takes the next visitor off the queue; the queue must not be exhausted.
    virtual const std::wstring& NextVisitorType();
    virtual bool HasQueuedVisitors() const { return cursor_ < runs_.size(); }
    virtual void AdvanceSpawnClock();

    void Update() override;

    bool IsEnabled() const { return enabled_; }
    uint32_t TotalVisitors() const { return totalVisitors_; }
    // Visitors still in the queue.
    uint64_t QueuedVisitors() const { return queued_; }
    size_t QueueRuns() const { return runs_.size(); }
    float Owed() const { return owed_; }
    uint32_t SpawnTick() const { return tick_; }
    float SpawnRate() const { return rate_; }
    const std::map<std::wstring, uint32_t, std::less<>>& VisitorCounts() const { return counts_; }

    // The timing every spawner of the run shares.
    static const SpawnTiming& Timing() { return timing_; }
    // Forgets it: the next spawner computes it anew (constants reloaded, tests).
    static void ForgetTiming() { timing_ = {}; }

private:
    struct Run {
        uint32_t type;  // index into names_
        uint32_t length;
    };

    KivraGrid& grid_;
    bool enabled_ = false;
    std::map<std::wstring, uint32_t, std::less<>> counts_;
    std::vector<std::wstring> names_;
    std::vector<Run> runs_;
    float countScale_ = 1.0f;
    uint32_t totalVisitors_ = 0;
    uint32_t tick_ = 0;
    uint32_t runTaken_ = 0;
    float owed_ = 0.0f;
    size_t cursor_ = 0;
    uint64_t queued_ = 0;
    float rate_ = 0.0f;
    bool periodOver_ = false;
    std::set<std::wstring, std::less<>> unknownTypes_;

    static SpawnTiming timing_;
};
