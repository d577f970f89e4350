#include "game/park/parkgrid/kivra_spawner.h"

#include <cmath>
#include <utility>

#include "foundation/expression/constants_map.h"
#include "foundation/system/log.h"
#include "foundation/system/runtime_random.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/catalogues/item_types.h"
#include "game/data/progress/goal_display.h"
#include "game/park/parkgrid/kivra_grid.h"

SpawnTiming KivraSpawner::timing_;

namespace {

// The most visitors of one kind a period lets in. The counts come from the
// park's saved marketing: a damaged count must not queue billions (the
// queue alone would take gigabytes) nor crowd the park past playing.
constexpr uint64_t kMostOfAKind = 1000;

}  // namespace

KivraSpawner::KivraSpawner(KivraGrid& grid) : grid_(grid) {
    if (timing_.period == 0) timing_ = ComputeSpawnTiming(ReadSpawnTimingConstants());
}

void KivraSpawner::AddVisitorEntry(std::wstring_view type, uint32_t count) {
    counts_.try_emplace(std::wstring(type), count);
    totalVisitors_ += count;
}

void KivraSpawner::SetVisitorCount(std::wstring_view type, uint32_t count) {
    auto it = counts_.try_emplace(std::wstring(type), 0u).first;
    AddVisitors(type, count - it->second);
}

void KivraSpawner::AddVisitors(std::wstring_view type, uint32_t n) {
    counts_.try_emplace(std::wstring(type), 0u).first->second += n;
    totalVisitors_ += n;
}

void KivraSpawner::BuildSpawnQueue() {
    // Visitors by the index of their type, in name order.
    std::vector<std::wstring> names;
    std::vector<uint32_t> order;
    for (const auto& [name, count] : counts_) {
        auto n = static_cast<uint64_t>(static_cast<float>(count) * countScale_ + 0.5f);
        if (n > kMostOfAKind) {
            LogWrite(L"Too many visitors of type \"" + name + L"\" to let in (" + std::to_wstring(n) + L"); " +
                         std::to_wstring(kMostOfAKind) + L" come",
                     true);
            n = kMostOfAKind;
        }
        order.insert(order.end(), n, static_cast<uint32_t>(names.size()));
        names.push_back(name);
    }
    if (order.empty()) return;

    // Fisher-Yates over 15-bit draws, widened while the range is too short.
    RuntimeRand& rand = RuntimeRandom();
    for (uint64_t i = 1; i < order.size(); ++i) {
        uint64_t drawn = static_cast<uint64_t>(rand.Next()), range = RuntimeRand::kMax + 1;
        while (i + 1 > range) {
            drawn = drawn * (RuntimeRand::kMax + 1) + static_cast<uint64_t>(rand.Next());
            range *= RuntimeRand::kMax + 1;
        }
        std::swap(order[i], order[drawn % (i + 1)]);
    }

    runs_.clear();
    for (uint32_t type : order) {
        if (!runs_.empty() && runs_.back().type == type)
            ++runs_.back().length;
        else
            runs_.push_back({type, 1});
    }
    names_ = std::move(names);
    queued_ = order.size();
    const uint64_t span = uint64_t{timing_.period} + timing_.peak;
    // From the queue as built: the whole of it arrives within the period.
    rate_ = span > 0 ? static_cast<float>(2.0 * static_cast<double>(queued_) / static_cast<double>(span)) : 0.0f;
    cursor_ = 0;
    runTaken_ = 0;
    tick_ = 0;
    periodOver_ = false;
    enabled_ = true;
}

const std::wstring& KivraSpawner::NextVisitorType() {
    const Run& run = runs_[cursor_];
    const std::wstring& name = names_[run.type];
    --queued_;
    if (++runTaken_ >= run.length) {
        ++cursor_;
        runTaken_ = 0;
    }
    return name;
}

void KivraSpawner::AdvanceSpawnClock() {
    const SpawnTiming& s = timing_;
    const uint32_t t = tick_;
    const double r = rate_;
    double add = r;
    // The parts fill the period, so a tick inside a ramp means that ramp has
    // a length. A period of nothing lets the whole queue in at once.
    if (s.period == 0)
        add = static_cast<double>(queued_);
    else if (t < s.rampUp)
        add = r * t / s.rampUp;
    else if (t >= s.rampUp + s.peak)
        add = r / s.rampDown * (s.period - t);
    owed_ = static_cast<float>(owed_ + add);
    if (s.period > 0 && t + 1 < s.period) {
        tick_ = t + 1;
    } else if (!periodOver_) {
        // Summed in floats the period's share may fall a hair short of a
        // whole visitor, who would then trail in long after the period.
        periodOver_ = true;
        owed_ = std::round(owed_);
    }
}

void KivraSpawner::Update() {
    Widget::Update();
    const ParkPlayer* player = ParkPlayer::Current();
    if ((player != nullptr && player->PausedForTutorial()) || !enabled_ || !HasQueuedVisitors()) return;
    AdvanceSpawnClock();
    const bool allowed = !GetConstant(L"disable_spawning").ToBool();
    while (owed_ >= 1.0f && HasQueuedVisitors()) {
        TilePoint spot;
        if (allowed && grid_.GetRandomSpawnSpot(spot)) {
            const std::wstring& type = NextVisitorType();
            // A saved park's marketing may name any type: a building would
            // stand on the spawn spot, outside every placing rule.
            const bool visitor =
                dynamic_cast<const PERSON_TYPE*>(FindRecordByName(ItemStats::Current(), type)) != nullptr;
            if ((!visitor || grid_.CreateAndPlaceItem(type, spot.col, spot.row, 0, L"") == nullptr) &&
                unknownTypes_.insert(type).second)
                LogWrite(L"No visitor type \"" + type + L"\" to let into the park; its visitors stay away", true);
        }
        owed_ -= 1.0f;
    }
}
