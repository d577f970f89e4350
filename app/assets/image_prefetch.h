#pragma once
// Decoding a list of image files ahead of the thread that registers them, on
// a few worker threads: the registration still takes the images one by one in
// its own order, but waits only for decodes not done yet, so a list of
// images costs little more than its longest decode instead of the sum.
//
// While an ImagePrefetch::Scope stands, AssetHost::LoadImageFile on the same
// thread takes its pixels from the prefetch; other threads never see it.
// A path asked for before a worker reached it is decoded by the asking thread
// itself. The pixels are exactly what GetImage gives for the path: a path
// that did not decode, was not listed or was taken already yields null, and
// the caller reads the file itself. Destruction waits for the workers.

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "rendering/image/image_data.h"

class ImagePrefetch {
public:
    // Starts decoding `paths` (as GetImage with alpha) on up to `threads` workers.
    explicit ImagePrefetch(std::vector<std::string> paths, unsigned threads = DefaultThreads());
    ~ImagePrefetch();
    ImagePrefetch(const ImagePrefetch&) = delete;
    ImagePrefetch& operator=(const ImagePrefetch&) = delete;

    // The pixels of the next untaken entry of `path`, waiting for its decode.
    std::unique_ptr<ImageData> Take(const std::string& path);

    // The prefetch the calling thread's image loads take from, or null.
    static ImagePrefetch* Current();

    // Makes a prefetch the calling thread's for as long as it stands.
    class Scope {
    public:
        explicit Scope(ImagePrefetch& prefetch);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        ImagePrefetch* previous_;
    };

    // A few threads, leaving one core to the caller.
    static unsigned DefaultThreads();

private:
    enum State { kWaiting = 0, kDecoding = 1, kDone = 2 };
    struct Entry {
        std::string path;
        std::atomic<int> state{kWaiting};
        std::unique_ptr<ImageData> pixels;
    };

    // Decodes entry `i` when no one has begun it; false when someone had.
    bool Decode(size_t i);
    void Work();

    std::vector<Entry> entries_;
    std::unordered_map<std::string, std::vector<size_t>> byPath_;  // entries of each path, in list order
    std::unordered_map<std::string, size_t> taken_;                // how many of each path were taken
    std::atomic<size_t> next_{0};
    std::mutex lock_;
    std::condition_variable decoded_;
    std::vector<std::thread> workers_;
};
