// Shader sources: read through the pack layer from "properties/", kept in a
// cache for the whole run, and turned into programs.
#include <map>
#include <mutex>
#include <string>

#include "foundation/files/pak_access.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/shader/shader_program.h"

namespace {

struct SourceCache {
    std::mutex lock;
    std::map<std::string, std::string, std::less<>> texts;
};

SourceCache& Cache() {
    static SourceCache cache;
    return cache;
}

constexpr int kLineBufferSize = 512;

}  // namespace

std::string ReadShaderSource(std::string_view fileName) {
    SourceCache& cache = Cache();
    std::lock_guard guard(cache.lock);
    std::string& text = cache.texts[std::string(fileName)];
    if (!text.empty()) return text;
    PakFile* file = PakOpenFile("properties/" + std::string(fileName), "r");
    if (!file) return text;
    // Longer lines arrive in pieces, each appended as it comes.
    char line[kLineBufferSize];
    while (!PakAtEnd(file)) {
        if (!PakReadLine(line, kLineBufferSize, file)) break;
        text += line;
    }
    PakCloseFile(file);
    return text;
}

ShaderProgram* LoadHlslShader(std::string_view name) {
    D3DInterface* d3d = D3DInterface::Instance();
    if (!d3d || !d3d->ShadersAvailable()) return nullptr;
    const std::string source = ReadShaderSource(std::string(name) + ".hlsl");
    if (source.empty()) return nullptr;
    return new ShaderProgram(source);
}
