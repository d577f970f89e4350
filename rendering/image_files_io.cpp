#include "rendering/image_files_io.h"

#include <string>

namespace image_io {
namespace {

// Data names are written with '\\' as separators.
std::string NativeName(std::string_view name) {
    std::string out(name);
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

}  // namespace

struct FileHandle {
    FILE* stream;
};

std::unique_ptr<ImageFile> ImageFile::Open(std::string_view name) {
    FILE* f = std::fopen(NativeName(name).c_str(), "rb");
    if (f == nullptr) return nullptr;
    return std::unique_ptr<ImageFile>(new ImageFile(new FileHandle{f}));
}

ImageFile::~ImageFile() {
    std::fclose(handle_->stream);
    delete handle_;
}

size_t ImageFile::Read(void* buffer, size_t elementSize, size_t count) {
    return std::fread(buffer, elementSize, count, handle_->stream);
}

int ImageFile::Seek(long offset, int origin) { return std::fseek(handle_->stream, offset, origin); }

long ImageFile::Tell() { return std::ftell(handle_->stream); }

WriteStream OpenForWriting(std::string_view path) {
    return WriteStream(std::fopen(NativeName(path).c_str(), "wb"));
}

}  // namespace image_io
