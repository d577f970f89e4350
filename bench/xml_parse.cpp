// Parsing speed of the XML reader: every catalogue passes through it at start-up.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "foundation/files/parser.h"

namespace {

std::string MakeDocument(size_t target_bytes) {
    std::string doc = "<?xml version=\"1.0\"?>\n<items>\n";
    for (int i = 0; doc.size() < target_bytes; ++i) {
        doc += "  <item name=\"building_" + std::to_string(i) + "\" cost=\"" + std::to_string(i * 7 % 5000) +
               "\" width=\"3\" height=\"2\" category=\"ride\" image=\"images\\rides\\ride_" + std::to_string(i) +
               "\">\n    <upgrade level=\"1\" price=\"250\" bonus=\"0.25\"/>\n    Some &amp; text\n  </item>\n";
    }
    doc += "</items>\n";
    return doc;
}

struct CountingParser : Parser {
    void ElementStart(const std::wstring&) override {
        ++starts;
        attributes += static_cast<long>(element_.attributes.size());
    }
    long starts = 0;
    long attributes = 0;
};

void BM_ParseFiveMegabytes(benchmark::State& state) {
    std::string doc = MakeDocument(5 * 1024 * 1024);
    std::filesystem::path path = std::filesystem::temp_directory_path() / "halvaro_bench_items.xml";
    std::ofstream(path, std::ios::binary) << doc;
    for (auto _ : state) {
        CountingParser parser;
        parser.ParseFile(path.string());
        benchmark::DoNotOptimize(parser.attributes);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(doc.size()));
    std::filesystem::remove(path);
}
BENCHMARK(BM_ParseFiveMegabytes)->Unit(benchmark::kMillisecond);

}  // namespace
