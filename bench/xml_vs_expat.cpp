// The XML reader beside expat on the same 5 MiB file, both counting start tags
// and attributes; the ratio of the two is the figure that counts.
#include <benchmark/benchmark.h>
#include <expat.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "foundation/files/parser.h"

namespace {

std::string MakeDocument(size_t targetBytes) {
    std::string doc = "<?xml version=\"1.0\"?>\n<items>\n";
    for (int i = 0; doc.size() < targetBytes; ++i) {
        doc += "  <item name=\"building_" + std::to_string(i) + "\" cost=\"" + std::to_string(i * 7 % 5000) +
               "\" width=\"3\" height=\"2\" category=\"ride\" image=\"images\\rides\\ride_" + std::to_string(i) +
               "\">\n    <upgrade level=\"1\" price=\"250\" bonus=\"0.25\"/>\n    Some &amp; text\n  </item>\n";
    }
    doc += "</items>\n";
    return doc;
}

// The document written once for every benchmark of the program.
const std::string& DocumentPath(size_t& bytes) {
    static std::string doc = MakeDocument(5 * 1024 * 1024);
    static std::string path = [] {
        std::filesystem::path p = std::filesystem::temp_directory_path() / "halvaro_bench_xml_vs_expat.xml";
        std::ofstream(p, std::ios::binary) << doc;
        return p.string();
    }();
    bytes = doc.size();
    return path;
}

struct CountingParser : Parser {
    void ElementStart(const std::wstring&) override {
        ++starts;
        attributes += static_cast<long>(element_.attributes.size());
    }
    long starts = 0;
    long attributes = 0;
};

void BM_HalvaroXml(benchmark::State& state) {
    size_t bytes = 0;
    const std::string& path = DocumentPath(bytes);
    for (auto _ : state) {
        CountingParser parser;
        parser.ParseFile(path);
        benchmark::DoNotOptimize(parser.attributes);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}
BENCHMARK(BM_HalvaroXml)->Unit(benchmark::kMillisecond);

struct ExpatCounts {
    long starts = 0;
    long attributes = 0;
};

void XMLCALL OnStart(void* data, const XML_Char*, const XML_Char** attrs) {
    auto* counts = static_cast<ExpatCounts*>(data);
    ++counts->starts;
    for (; *attrs; attrs += 2) ++counts->attributes;
}

// Read from the file in the same 8 KiB blocks the engine's reader uses.
bool ParseWithExpat(const std::string& path, ExpatCounts& counts) {
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetUserData(parser, &counts);
    XML_SetStartElementHandler(parser, OnStart);
    FILE* f = std::fopen(path.c_str(), "rb");
    char block[8192];
    bool done = false, ok = true;
    while (!done && ok) {
        size_t n = std::fread(block, 1, sizeof block, f);
        done = n < sizeof block;
        ok = XML_Parse(parser, block, static_cast<int>(n), done) != XML_STATUS_ERROR;
    }
    std::fclose(f);
    XML_ParserFree(parser);
    return ok;
}

void BM_Expat(benchmark::State& state) {
    size_t bytes = 0;
    const std::string& path = DocumentPath(bytes);
    for (auto _ : state) {
        ExpatCounts counts;
        if (!ParseWithExpat(path, counts)) state.SkipWithError("expat");
        benchmark::DoNotOptimize(counts.attributes);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}
BENCHMARK(BM_Expat)->Unit(benchmark::kMillisecond);

// Both readers in turn within every iteration, so that both meet the same
// load when the machine is shared; "ratio" is expat's time over ours, above 1
// where ours is the faster.
void BM_XmlAgainstExpat(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    size_t bytes = 0;
    const std::string& path = DocumentPath(bytes);
    Clock::duration ours{}, theirs{};
    for (auto _ : state) {
        const Clock::time_point t0 = Clock::now();
        CountingParser parser;
        parser.ParseFile(path);
        benchmark::DoNotOptimize(parser.attributes);
        const Clock::time_point t1 = Clock::now();
        ExpatCounts counts;
        if (!ParseWithExpat(path, counts)) state.SkipWithError("expat");
        benchmark::DoNotOptimize(counts.attributes);
        if (counts.attributes != parser.attributes) state.SkipWithError("the two readers counted differently");
        ours += t1 - t0;
        theirs += Clock::now() - t1;
    }
    state.counters["ratio"] = std::chrono::duration<double>(theirs) / std::chrono::duration<double>(ours);
}
BENCHMARK(BM_XmlAgainstExpat)->Unit(benchmark::kMillisecond);

}  // namespace
