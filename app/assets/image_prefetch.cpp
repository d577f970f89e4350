#include "app/assets/image_prefetch.h"

#include <algorithm>
#include <system_error>

#include "rendering/imagefile/image_files.h"

namespace {

thread_local ImagePrefetch* gCurrent = nullptr;

}  // namespace

unsigned ImagePrefetch::DefaultThreads() {
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp(cores > 1 ? cores - 1 : 1u, 1u, 4u);
}

ImagePrefetch::ImagePrefetch(std::vector<std::string> paths, unsigned threads) : entries_(paths.size()) {
    for (size_t i = 0; i < paths.size(); ++i) {
        byPath_[paths[i]].push_back(i);
        entries_[i].path = std::move(paths[i]);
    }
    const size_t count = std::min<size_t>(std::max(threads, 1u), entries_.size());
    workers_.reserve(count);
    try {
        for (size_t i = 0; i < count; ++i) workers_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
        // No thread to be had: whatever no worker decodes, Take decodes itself.
    }
}

ImagePrefetch::~ImagePrefetch() {
    // Nothing is left to decode for anyone once the list is used up.
    next_.store(entries_.size());
    for (std::thread& worker : workers_) worker.join();
}

bool ImagePrefetch::Decode(size_t i) {
    Entry& entry = entries_[i];
    int waiting = kWaiting;
    if (!entry.state.compare_exchange_strong(waiting, kDecoding)) return false;
    std::unique_ptr<ImageData> pixels = GetImage(entry.path, true);
    {
        std::lock_guard guard(lock_);
        entry.pixels = std::move(pixels);
        entry.state.store(kDone);
    }
    decoded_.notify_all();
    return true;
}

void ImagePrefetch::Work() {
    for (size_t i = next_.fetch_add(1); i < entries_.size(); i = next_.fetch_add(1)) Decode(i);
}

std::unique_ptr<ImageData> ImagePrefetch::Take(const std::string& path) {
    auto found = byPath_.find(path);
    if (found == byPath_.end()) return nullptr;
    size_t i = 0;
    {
        std::lock_guard guard(lock_);
        size_t& taken = taken_[path];
        if (taken >= found->second.size()) return nullptr;
        i = found->second[taken++];
    }
    // Not begun yet: decoding it here beats waiting for a worker to reach it.
    Decode(i);
    std::unique_lock guard(lock_);
    Entry& entry = entries_[i];
    decoded_.wait(guard, [&entry] { return entry.state.load() == kDone; });
    return std::move(entry.pixels);
}

ImagePrefetch* ImagePrefetch::Current() { return gCurrent; }

ImagePrefetch::Scope::Scope(ImagePrefetch& prefetch) : previous_(gCurrent) { gCurrent = &prefetch; }

ImagePrefetch::Scope::~Scope() { gCurrent = previous_; }
