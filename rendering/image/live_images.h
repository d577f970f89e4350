#pragma once
// The set of every live ImageSurface, which the application's screenshot
// statistics walk. Each surface adds itself when made and removes itself when
// destroyed; the set is rendering's own and the application only holds it.
//
// One set at a time: the constructor makes it the process's current set and
// the destructor clears that again. Surfaces made while no set exists are
// in none, and a surface that is not in the set is ignored on removal.
// Threads: surfaces are made and destroyed on any thread (the loading thread
// too); every operation takes the set's own lock. Make the set before those
// threads start and destroy it after they end.

#include <cstddef>
#include <functional>
#include <mutex>
#include <set>
#include <vector>

class ImageSurface;

class LiveImageSet {
public:
    LiveImageSet();
    ~LiveImageSet();
    LiveImageSet(const LiveImageSet&) = delete;
    LiveImageSet& operator=(const LiveImageSet&) = delete;

    // The set surfaces register with, or null.
    static LiveImageSet* Current();

    void Add(ImageSurface* image);
    void Remove(ImageSurface* image);

    std::size_t Size() const;
    bool Contains(const ImageSurface* image) const;
    // A copy of the members, ordered by address, for a walk that must not
    // hold the lock while it reads the images.
    std::vector<ImageSurface*> Snapshot() const;

private:
    mutable std::mutex lock_;
    std::set<ImageSurface*, std::less<>> images_;
};
