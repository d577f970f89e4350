#pragma once
// The one place where the image readers and writers touch files.
//
// Readers open by data name (read-only, binary) and get a handle with the
// stdio-like read, seek and tell they need; the handle closes itself. Writers
// get a plain stream, since written images always go to ordinary files.
// Internal to the image-file code: nothing outside rendering/image_files*
// includes this header.

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string_view>

namespace image_io {

struct FileHandle;

class ImageFile {
public:
    // Null when the name cannot be opened.
    static std::unique_ptr<ImageFile> Open(std::string_view name);
    ~ImageFile();
    ImageFile(const ImageFile&) = delete;
    ImageFile& operator=(const ImageFile&) = delete;

    // Whole elements read, as fread counts them.
    size_t Read(void* buffer, size_t elementSize, size_t count);
    // Zero on success; origin is SEEK_SET, SEEK_CUR or SEEK_END.
    int Seek(long offset, int origin);
    long Tell();
    // Bytes from the position to the end of the file; -1 when unknown. The
    // position is kept.
    long Remaining();

private:
    explicit ImageFile(FileHandle* handle) : handle_(handle) {}
    FileHandle* handle_;
};

struct StreamCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using WriteStream = std::unique_ptr<FILE, StreamCloser>;

// Opens (creating or truncating) a file for a writer; null on failure.
WriteStream OpenForWriting(std::string_view path);

}  // namespace image_io
