#include "rendering/image/live_images.h"

#include <atomic>

namespace {

std::atomic<LiveImageSet*> g_current{nullptr};

}  // namespace

LiveImageSet::LiveImageSet() { g_current.store(this); }

LiveImageSet::~LiveImageSet() {
    LiveImageSet* self = this;
    g_current.compare_exchange_strong(self, nullptr);
}

LiveImageSet* LiveImageSet::Current() { return g_current.load(); }

void LiveImageSet::Add(ImageSurface* image) {
    std::lock_guard guard(lock_);
    images_.insert(image);
}

void LiveImageSet::Remove(ImageSurface* image) {
    std::lock_guard guard(lock_);
    images_.erase(image);
}

std::size_t LiveImageSet::Size() const {
    std::lock_guard guard(lock_);
    return images_.size();
}

bool LiveImageSet::Contains(const ImageSurface* image) const {
    std::lock_guard guard(lock_);
    return images_.count(image) != 0;
}

std::vector<ImageSurface*> LiveImageSet::Snapshot() const {
    std::lock_guard guard(lock_);
    return {images_.begin(), images_.end()};
}
