// Seeds for the pack, the registry file and the shader compiler: packs made
// by the pack writer from small folders, registry texts from the registry's
// own writer, and shader files: the game's own blend shaders, and two that
// use what those do not (uniforms with initial values, more built-ins, a
// matrix, a vertex program).
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "foundation/files/pak_interface.h"
#include "foundation/files/pak_writer.h"
#include "fuzz/seeds/seeds.h"
#include "platform/gfx/shader/shader.h"
#include "platform/system/registry.h"

namespace seeds {
namespace {

namespace fs = std::filesystem;

bool PackMounts(const std::string& path, size_t entries) {
    PakInterface pak;
    pak.Mount(path);
    return pak.EntryCount() == entries + 1;  // the pack itself is an entry too
}

// Packs a folder of the given files (relative path, bytes) made in the
// temporary folder; false when the writer failed.
bool BuildPackOf(const std::map<std::string, std::string>& files, const std::string& packPath) {
    const fs::path folder = fs::temp_directory_path() / "halvaro_seed_pack";
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const auto& [name, bytes] : files) {
        fs::create_directories((folder / name).parent_path());
        std::ofstream(folder / name, std::ios::binary) << bytes;
        // The pack stores each file's time: a fixed one makes the seeds the same on every run.
        fs::last_write_time(folder / name, fs::file_time_type(std::chrono::hours(24 * 365 * 30)));
    }
    const bool built = BuildPack(folder.string(), packPath).ok;
    fs::remove_all(folder);
    return built;
}

void WritePakSeeds(Corpus& corpus) {
    corpus.Begin("pak");
    const std::map<std::string, std::string> files = {
        {"readme.txt", "Line one\r\nline two\nno end"},
        {"properties/items.xml", "<items><item id=\"1\"/></items>\n"},
        {"images/rides/ride_1.tga", std::string("\0\0\2", 3) + std::string(15, '\0')},
    };
    const std::string three = corpus.PathOf("three_entries.pak");
    corpus.Expect(BuildPackOf(files, three) && PackMounts(three, files.size()), "three_entries.pak");
    const std::string one = corpus.PathOf("one_entry.pak");
    corpus.Expect(BuildPackOf({{"a", "x"}}, one) && PackMounts(one, 1), "one_entry.pak");
}

void WriteRegistrySeeds(Corpus& corpus) {
    corpus.Begin("registry");
    const plat::RegistryValue values[] = {
        {"SOFTWARE\\Halvaro\\Settings", "ScreenMode", "windowed"},
        {"SOFTWARE\\Halvaro\\Settings", "LastPlayer", "Ana \"the builder\" <3 & caf\xC3\xA9"},
        {"software\\halvaro\\crash", "Trace", "line one\r\nline two\t\x01\x7F'"},
    };
    std::map<std::string, plat::RegistryValue> entries;
    for (const plat::RegistryValue& value : values) entries[plat::RegistryLookupKey(value.key, value.name)] = value;
    const std::pair<const char*, std::map<std::string, plat::RegistryValue>> files[] = {{"three_values.xml", entries},
                                                                                        {"empty.xml", {}}};
    for (const auto& [name, content] : files) {
        const std::string text = plat::WriteRegistryText(content);
        corpus.Write(name, text);
        std::map<std::string, plat::RegistryValue> read;
        corpus.Expect(plat::ReadRegistryText(text, read) && read.size() == content.size(), name);
    }
}

constexpr std::string_view kPixelShader =
    "// Uniforms with initial values and the built-ins the blend shaders leave out.\n"
    "float4 Tint = float4(1, 0.5, 0.25, 1);\n"
    "float Strength = 0.75;\n"
    "sampler2D Image : register(s0);\n"
    "\n"
    "float4 PS(float4 colour : COLOR0, float2 uv : TEXCOORD0) : COLOR0\n"
    "{\n"
    "    float4 t = tex2D(Image, frac(uv.yx)) * colour * Tint;\n"
    "    float grey = dot(t.rgb, float3(0.3, 0.59, 0.11));\n"
    "    t.rgb = lerp(t.rgb, grey, saturate(Strength * sqrt(abs(uv.x))));\n"
    "    t.a = min(max(pow(abs(t.a), 2.2), 0), 1) * step(0.01, floor(t.a * 4) / 4);\n"
    "    return t;\n"
    "}\n";

constexpr std::string_view kVertexShader =
    "// A vertex program through a projection matrix, struct in and out.\n"
    "float4x4 WorldViewProj;\n"
    "float4 Tint = float4(1, 0.5, 0.25, 1);\n"
    "\n"
    "struct VertexIn { float4 position : POSITION; float4 colour : COLOR0; float2 uv : TEXCOORD0; };\n"
    "struct VertexOut { float4 position : POSITION; float4 colour : COLOR0; float2 uv : TEXCOORD1; };\n"
    "\n"
    "VertexOut VS(VertexIn input)\n"
    "{\n"
    "    VertexOut o;\n"
    "    o.position = mul(WorldViewProj, input.position);\n"
    "    o.colour = input.colour.bgra * Tint;\n"
    "    o.uv = input.uv * 2 - 0.5;\n"
    "    return o;\n"
    "}\n";

void WriteShaderSeeds(Corpus& corpus) {
    corpus.Begin("shader");
    auto compiles = [](std::string_view source) {
        return plat::CompileShader(source, "PS", "ps_2_0").Ok() || plat::CompileShader(source, "VS", "vs_2_0").Ok();
    };
    for (const auto& [name, source] :
         {std::pair{"uniforms_pixel_program.hlsl", kPixelShader}, std::pair{"vertex_program.hlsl", kVertexShader}}) {
        corpus.Write(name, source);
        corpus.Expect(compiles(source), name);
    }
    // The game's blend shaders, as the engine compiles them.
    for (const char* name : {"multiply.hlsl", "overlay.hlsl", "softlight.hlsl"}) {
        std::stringstream text;
        text << std::ifstream(fs::path(HALVARO_SOURCE_DIR) / "data" / "properties" / name).rdbuf();
        corpus.Write(name, text.str());
        corpus.Expect(compiles(text.str()), name);
    }
}

}  // namespace

void WriteFileSeeds(Corpus& corpus) {
    WritePakSeeds(corpus);
    WriteRegistrySeeds(corpus);
    WriteShaderSeeds(corpus);
}

}  // namespace seeds
