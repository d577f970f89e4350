#include "rendering/imagefile/file_io.h"

#include "foundation/files/pak_access.h"
#include "platform/system/file_system.h"

namespace image_io {

// Images are read loose or from the pack, always as binary.
struct FileHandle {
    PakFile* file;
};

std::unique_ptr<ImageFile> ImageFile::Open(std::string_view name) {
    PakFile* file = PakOpenFile(name, "rb");
    if (file == nullptr) return nullptr;
    return std::unique_ptr<ImageFile>(new ImageFile(new FileHandle{file}));
}

ImageFile::~ImageFile() {
    PakCloseFile(handle_->file);
    delete handle_;
}

size_t ImageFile::Read(void* buffer, size_t elementSize, size_t count) {
    return PakRead(buffer, elementSize, count, handle_->file);
}

int ImageFile::Seek(long offset, int origin) { return PakSeek(handle_->file, offset, origin); }

long ImageFile::Tell() { return PakTell(handle_->file); }

long ImageFile::Remaining() {
    const long at = Tell();
    if (at < 0 || Seek(0, SEEK_END) != 0) return -1;
    const long end = Tell();
    if (Seek(at, SEEK_SET) != 0 || end < at) return -1;
    return end - at;
}

// Written images are ordinary files; the file layer maps the data path.
WriteStream OpenForWriting(std::string_view path) { return WriteStream(plat::OpenFile(path, "wb")); }

}  // namespace image_io
