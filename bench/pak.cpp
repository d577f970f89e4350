// Pack files: mounting a large directory and unscrambling an entry on read.
// BM_MemcpyOneMiB copies the same mapped bytes without the XOR, as the bound
// that BM_PakReadOneMiB is measured against.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "foundation/files/pak_interface.h"
#include "foundation/files/pak_writer.h"

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

}  // namespace
