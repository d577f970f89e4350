#include "foundation/files/pak_writer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "foundation/files/pak_interface.h"
#include "foundation/system/text.h"
#include "platform/system/file_system.h"

namespace fs = std::filesystem;

namespace {

struct SourceFile {
    std::string name;  // relative, '\\' separators
    fs::path path;
    uint64_t size;
    uint64_t time;
};

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

uint64_t ToFileTime(fs::file_time_type time) {
    auto since = std::chrono::file_clock::to_sys(time).time_since_epoch();
    auto seconds = std::chrono::floor<std::chrono::seconds>(since);
    auto nanos = std::chrono::duration_cast<std::chrono::nanoseconds>(since - seconds);
    return plat::FileTimeFromUnix(seconds.count(), nanos.count());
}

void PutU32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void PutU64(std::string& out, uint64_t v) {
    PutU32(out, static_cast<uint32_t>(v));
    PutU32(out, static_cast<uint32_t>(v >> 32));
}

void Scramble(char* bytes, size_t size) {
    PakUnscramble(reinterpret_cast<uint8_t*>(bytes), reinterpret_cast<const uint8_t*>(bytes), size);
}

bool ListFiles(const fs::path& root, const fs::path& skip, std::vector<SourceFile>& files, std::string& error) {
    std::error_code ec;
    fs::recursive_directory_iterator it(root, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        if (!skip.empty() && fs::equivalent(it->path(), skip, ec)) continue;
        std::string name = it->path().lexically_relative(root).generic_string();
        std::replace(name.begin(), name.end(), '/', '\\');
        if (name.size() > kPakMaxNameLength) {
            error = text::Format("The name '%s' is longer than %zu bytes", name.c_str(), kPakMaxNameLength);
            return false;
        }
        uint64_t size = it->file_size(ec);
        if (ec || size > UINT32_MAX) {
            error = text::Format("Cannot pack '%s': %s", name.c_str(), ec ? ec.message().c_str() : "larger than 4 GiB");
            return false;
        }
        uint64_t time = ToFileTime(it->last_write_time(ec));
        files.push_back({std::move(name), it->path(), size, time});
    }
    if (ec) {
        error = text::Format("Cannot read the folder '%s': %s", root.c_str(), ec.message().c_str());
        return false;
    }
    std::sort(files.begin(), files.end(), [](const SourceFile& a, const SourceFile& b) { return a.name < b.name; });
    return true;
}

bool CopyScrambled(const SourceFile& file, FILE* out, std::vector<char>& buffer, std::string& error) {
    FilePtr in(std::fopen(file.path.c_str(), "rb"));
    if (!in) {
        error = text::Format("Cannot open '%s'", file.path.c_str());
        return false;
    }
    uint64_t done = 0;
    while (done < file.size) {
        size_t want = static_cast<size_t>(std::min<uint64_t>(buffer.size(), file.size - done));
        size_t got = std::fread(buffer.data(), 1, want, in.get());
        if (got != want) break;
        Scramble(buffer.data(), got);
        if (std::fwrite(buffer.data(), 1, got, out) != got) {
            error = "Cannot write the pack";
            return false;
        }
        done += got;
    }
    // The directory already holds the listed size: a file that changed since must not slip in.
    if (done != file.size || std::fgetc(in.get()) != EOF) {
        error = text::Format("'%s' changed while it was packed", file.path.c_str());
        return false;
    }
    return true;
}

}  // namespace

PakBuildResult BuildPack(std::string_view sourceFolder, std::string_view packPath) {
    PakBuildResult result;
    fs::path root(sourceFolder), target(packPath);
    std::error_code ec;
    if (!fs::is_directory(root, ec)) {
        result.error = text::Format("'%s' is not a folder", root.c_str());
        return result;
    }
    std::vector<SourceFile> files;
    if (!ListFiles(root, fs::exists(target, ec) ? target : fs::path(), files, result.error)) return result;

    std::string header;
    PutU32(header, kPakMagic);
    PutU32(header, kPakVersion);
    for (const SourceFile& file : files) {
        header += '\0';
        header += static_cast<char>(file.name.size());
        header += file.name;
        PutU32(header, static_cast<uint32_t>(file.size));
        PutU64(header, file.time);
        result.dataBytes += file.size;
    }
    header += static_cast<char>(kPakEndOfDirectory);
    Scramble(header.data(), header.size());

    fs::path temp = target;
    temp += ".partial";
    bool ok = false;
    {
        FilePtr out(std::fopen(temp.c_str(), "wb"));
        if (!out) {
            result.error = text::Format("Cannot create '%s'", temp.c_str());
            return result;
        }
        ok = std::fwrite(header.data(), 1, header.size(), out.get()) == header.size();
        if (!ok) result.error = "Cannot write the pack";
        std::vector<char> buffer(1 << 20);
        for (size_t i = 0; ok && i < files.size(); ++i) ok = CopyScrambled(files[i], out.get(), buffer, result.error);
        if (std::fflush(out.get()) != 0 && ok) {
            ok = false;
            result.error = "Cannot write the pack";
        }
    }
    if (ok) {
        fs::rename(temp, target, ec);
        if (ec) {
            ok = false;
            result.error = text::Format("Cannot rename to '%s': %s", target.c_str(), ec.message().c_str());
        }
    }
    if (!ok) {
        fs::remove(temp, ec);
        return result;
    }
    result.ok = true;
    result.files = files.size();
    return result;
}
