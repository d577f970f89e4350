// The game's catalogues at start-up and the levels' save path: items.xml of
// 200 types, levels.xml of 30 levels of 64 x 64 tiles, and the levels written
// and read back. BM_Raw* runs the bare XML reader over the same bytes, the
// bound each catalogue is measured against.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "foundation/files/parser.h"
#include "foundation/system/text.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/catalogues/level_stats.h"

namespace fs = std::filesystem;

namespace {

std::string MakeItems() {
    static const char* const kGroups[] = {"ride", "attraction", "snack", "restaurant", "store"};
    std::string doc = "<items>\n";
    for (int g = 0; g < 5; ++g) {
        doc += std::string("\t<") + kGroups[g] + ">\n";
        for (int i = 0; i < 38; ++i) {
            const std::string n = std::to_string(g * 100 + i);
            doc += "\t\t<building type=\"building_" + n + "\" image=\"building_" + n + "\" buycost=\"" +
                   std::to_string(100 + i * 37) +
                   "\" ticketprice=\"5\" capacity=\"12\" appeal=\"2.5\" characteristic=\"noisy, "
                   "bright\""
                   " zone_width=\"4\" zone_height=\"4\">\n"
                   "\t\t\tAAAd\n\t\t\tAAA_\n\t\t\tAAA_\n"
                   "\t\t\t<upgrade label=\"paint\" coincost=\"400\" heartcost=\"2\" "
                   "property=\"appeal, "
                   "ticketprice\" offset=\"1, 2\"/>\n"
                   "\t\t\t<boost label=\"rush\" coincost=\"120\" heartcost=\"1\" duration=\"3\" "
                   "property=\"appeal\" offset=\"2\"/>\n\t\t</building>\n";
        }
        doc += std::string("\t</") + kGroups[g] + ">\n";
    }
    for (int i = 0; i < 10; ++i)
        doc += "\t<person type=\"visitor_" + std::to_string(i) +
               "\" path_speed=\"1.5\" energy=\"60\" preferred_building_category=\"ride, store\""
               " preferred_characteristic=\"quiet\" ride_max=\"2\"/>\n";
    return doc + "</items>\n";
}

std::string MakeLevels() {
    std::string doc = "<levels>\n";
    for (int l = 0; l < 30; ++l) {
        doc += "\t<level name=\"level_" + std::to_string(l) +
               "\" background=\"backdrop\" grid_x=\"-180\" grid_y=\"40\" camera_x=\"-600\" "
               "camera_y=\"-300\">\n"
               "\t\t<metric name=\"start_money\" value=\"2500\"/>\n"
               "\t\t<goal name=\"crowd\" metric=\"visitors\" above=\"150\"/>\n"
               "\t\t<goal name=\"season\" metric=\"money_earned\" above=\"1500000\"/>\n";
        for (int i = 0; i < 20; ++i)
            doc += "\t\t<item type=\"building_" + std::to_string(i) + "\" col=\"" + std::to_string(i * 3) +
                   "\" row=\"" + std::to_string(i * 2) + "\" orientation=\"0\"/>\n";
        doc += "\t\t<tiles>\n";
        for (int r = 0; r < 64; ++r) {
            doc += "\t\t\t";
            for (int c = 0; c < 64; ++c) doc += "_C@X"[(r * 7 + c * 3 + l) % 4];
            doc += "\n";
        }
        doc += "\t\t</tiles>\n\t</level>\n";
    }
    return doc + "</levels>\n";
}

// The documents written once per process into a temporary folder, removed at exit.
class BenchFiles {
public:
    BenchFiles() {
        std::string pattern = (fs::temp_directory_path() / "halvaro_bench_XXXXXX").string();
        if (!::mkdtemp(pattern.data())) return;
        folder_ = pattern;
        items = Write("items.xml", MakeItems());
        levels = Write("levels.xml", MakeLevels());
        LevelStats stats;
        stats.ParseFile(levels.path);
        std::wstring text = L"<levels>\n";
        stats.WriteLevels(text, L"\t");
        written = Write("written.xml", text::ToUtf8(text + L"</levels>\n"));
    }
    ~BenchFiles() {
        std::error_code ec;
        if (!folder_.empty()) fs::remove_all(folder_, ec);
    }

    struct File {
        std::string path;
        int64_t bytes = 0;
    };
    File items, levels, written;

private:
    File Write(const char* name, const std::string& bytes) {
        std::ofstream(folder_ / name, std::ios::binary) << bytes;
        return {(folder_ / name).string(), static_cast<int64_t>(bytes.size())};
    }
    fs::path folder_;
};

const BenchFiles& Files() {
    static const BenchFiles files;
    return files;
}

struct CountingParser : Parser {
    void ElementStart(const std::wstring&) override { attributes += static_cast<long>(element_.attributes.size()); }
    void ElementText(const std::wstring& text) override { characters += static_cast<long>(text.size()); }
    long attributes = 0;
    long characters = 0;
};

template <class Catalogue>
void Read(benchmark::State& state, const BenchFiles::File& file) {
    for (auto _ : state) {
        Catalogue catalogue;
        catalogue.ParseFile(file.path);
        benchmark::DoNotOptimize(&catalogue);
    }
    state.SetBytesProcessed(state.iterations() * file.bytes);
    state.SetLabel(std::to_string(file.bytes / 1024) + " KiB");
}

void BM_RawReaderItems(benchmark::State& state) { Read<CountingParser>(state, Files().items); }
void BM_LoadItems(benchmark::State& state) { Read<KivraItemStats>(state, Files().items); }
void BM_RawReaderLevels(benchmark::State& state) { Read<CountingParser>(state, Files().levels); }
void BM_LoadLevels(benchmark::State& state) { Read<LevelStats>(state, Files().levels); }
void BM_RawReaderWrittenLevels(benchmark::State& state) { Read<CountingParser>(state, Files().written); }
void BM_RereadWrittenLevels(benchmark::State& state) { Read<LevelStats>(state, Files().written); }

void BM_WriteLevels(benchmark::State& state) {
    LevelStats stats;
    stats.ParseFile(Files().levels.path);
    size_t size = 0;
    for (auto _ : state) {
        std::wstring text;
        stats.WriteLevels(text, L"\t");
        size = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    // The text is 7-bit: one byte per character once encoded.
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(size));
    state.SetLabel(std::to_string(size / 1024) + " KiB");
}

BENCHMARK(BM_RawReaderItems)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadItems)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawReaderLevels)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadLevels)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteLevels)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawReaderWrittenLevels)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RereadWrittenLevels)->Unit(benchmark::kMillisecond);

}  // namespace
