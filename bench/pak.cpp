// Pack files: mounting a large directory and unscrambling an entry on read.
// BM_MemcpyOneMiB copies the same mapped bytes without the XOR, as the bound
// that BM_PakReadOneMiB is measured against. BM_PakOpenOverLooseFiles reads
// a set of small data files through PakOpenFile, as the game reads them
// (loose files looked for first, none there), against reading the same
// files loose from disk, the two timed in turn within every iteration.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "foundation/files/pak_access.h"
#include "foundation/files/pak_interface.h"
#include "foundation/files/pak_writer.h"
#include "thread_clock.h"

namespace fs = std::filesystem;

namespace {

// A pack built once per process in a temporary folder, removed at exit.
class BenchPack {
public:
    explicit BenchPack(void (*fill)(const fs::path&)) {
        std::string pattern = (fs::temp_directory_path() / "halvaro_bench_XXXXXX").string();
        if (!::mkdtemp(pattern.data())) return;
        folder_ = pattern;
        fill(folder_ / "src");
        PakBuildResult result = BuildPack((folder_ / "src").string(), Path());
        if (!result.ok) std::fprintf(stderr, "pack build failed: %s\n", result.error.c_str());
    }
    ~BenchPack() {
        std::error_code ec;
        if (!folder_.empty()) fs::remove_all(folder_, ec);
    }
    std::string Path() const { return (folder_ / "bench.pak").string(); }
    const fs::path& Folder() const { return folder_; }

private:
    fs::path folder_;
};

void Write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

void FillManyEntries(const fs::path& src) {
    for (int i = 0; i < 10000; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "dir%02d/item_%05d.xml", i % 100, i);
        Write(src / name, "<item id=\"" + std::to_string(i) + "\"/>\n");
    }
}

void FillOneMiB(const fs::path& src) {
    std::string bytes(1 << 20, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 2654435761u >> 24);
    Write(src / "big.bin", bytes);
}

// Data files as the game has them: a few hundred small ones in a few folders.
constexpr int kDataFiles = 300;

std::string DataName(int i) {
    char name[64];
    std::snprintf(name, sizeof name, "data/folder%d/file_%03d.xml", i % 10, i);
    return name;
}

void FillDataFiles(const fs::path& src) {
    for (int i = 0; i < kDataFiles; ++i) Write(src / DataName(i), std::string(1500 + i % 7 * 100, 'x'));
}

// Folders as old as an installed game's: a listing of one changed within the
// last seconds is not trusted.
void AgeFolders(const fs::path& root) {
    const timespec old[2] = {{0, UTIME_OMIT}, {1'000'000'000, 0}};
    ::utimensat(AT_FDCWD, root.c_str(), old, 0);
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_directory()) ::utimensat(AT_FDCWD, entry.path().c_str(), old, 0);
}

const BenchPack& ManyEntries() {
    static BenchPack pack(FillManyEntries);
    return pack;
}

const BenchPack& OneMiB() {
    static BenchPack pack(FillOneMiB);
    return pack;
}

void BM_PakMountTenThousandEntries(benchmark::State& state) {
    const std::string path = ManyEntries().Path();
    for (auto _ : state) {
        PakInterface pak;
        pak.Mount(path);
        benchmark::DoNotOptimize(pak.EntryCount());
        if (pak.EntryCount() != 10001) state.SkipWithError("wrong entry count");
    }
}
BENCHMARK(BM_PakMountTenThousandEntries)->Unit(benchmark::kMillisecond);

void BM_PakReadOneMiB(benchmark::State& state) {
    PakInterface pak;
    pak.Mount(OneMiB().Path());
    PakFile* file = pak.FindEntry("big.bin", "rb");
    if (!file) {
        state.SkipWithError("entry missing");
        return;
    }
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        pak.Seek(file, 0, SEEK_SET);
        benchmark::DoNotOptimize(pak.Read(buffer.data(), 1, buffer.size(), file));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(buffer.size()));
    pak.CloseFile(file);
}
BENCHMARK(BM_PakReadOneMiB);

void BM_MemcpyOneMiB(benchmark::State& state) {
    PakInterface pak;
    pak.Mount(OneMiB().Path());
    PakFile* file = pak.FindEntry("big.bin", "rb");
    if (!file) {
        state.SkipWithError("entry missing");
        return;
    }
    const uint8_t* source = file->record_->collection_->view_.Data() + file->record_->startPos_;
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        std::memcpy(buffer.data(), source, buffer.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(buffer.size()));
    pak.CloseFile(file);
}
BENCHMARK(BM_MemcpyOneMiB);

size_t ReadAll(bool packed, std::vector<char>& buffer) {
    size_t total = 0;
    for (int i = 0; i < kDataFiles; ++i) {
        const std::string name = DataName(i);
        if (packed) {
            PakFile* file = PakOpenFile(name, "rb");
            if (!file) return 0;
            total += PakRead(buffer.data(), 1, buffer.size(), file);
            PakCloseFile(file);
        } else {
            FILE* file = std::fopen(name.c_str(), "rb");
            if (!file) return 0;
            total += std::fread(buffer.data(), 1, buffer.size(), file);
            std::fclose(file);
        }
    }
    return total;
}

void BM_PakOpenOverLooseFiles(benchmark::State& state) {
    using Clock = ThreadClock;
    static BenchPack pack(FillDataFiles);
    AgeFolders(pack.Folder());
    const fs::path before = fs::current_path();
    PakInterface pak;
    pak.Mount(pack.Path());
    std::vector<char> buffer(4096);
    Clock::duration packed{}, loose{};
    for (auto _ : state) {
        // The pack's folder holds no loose data; its "src" folder holds it all.
        fs::current_path(pack.Folder());
        const Clock::time_point t0 = Clock::now();
        const size_t fromPack = ReadAll(true, buffer);
        const Clock::time_point t1 = Clock::now();
        fs::current_path(pack.Folder() / "src");
        const Clock::time_point t2 = Clock::now();
        const size_t fromDisk = ReadAll(false, buffer);
        loose += Clock::now() - t2;
        packed += t1 - t0;
        if (fromPack == 0 || fromPack != fromDisk) {
            state.SkipWithError("the packed and loose files differ");
            break;
        }
    }
    fs::current_path(before);
    const double n = static_cast<double>(state.iterations()) * kDataFiles;
    state.counters["pak_us_per_file"] = std::chrono::duration<double, std::micro>(packed).count() / n;
    state.counters["loose_us_per_file"] = std::chrono::duration<double, std::micro>(loose).count() / n;
    state.counters["loose_over_pak"] = std::chrono::duration<double>(loose) / std::chrono::duration<double>(packed);
}
BENCHMARK(BM_PakOpenOverLooseFiles)->Unit(benchmark::kMillisecond);

}  // namespace
