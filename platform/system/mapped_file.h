#pragma once
// A read-only memory-mapped view of a whole file.
//
// The view stays valid, and its bytes unchanged by this process, until the
// object is destroyed or re-opened; pointers into it must not outlive it.
// An empty file cannot be mapped and fails to open. Any thread may read the
// view at the same time; opening and closing belong to the owner.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace plat {

class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Maps the file (a data path, resolved as the file layer does); false on
    // any failure, leaving the object closed.
    bool Open(std::string_view path);
    void Close();

    const uint8_t* Data() const { return data_; }
    size_t Size() const { return size_; }
    bool IsOpen() const { return data_ != nullptr; }

private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

}  // namespace plat
