#pragma once
// A read-only data file for the text readers: found loose on disk first,
// otherwise in the mounted pack. Reads one byte at a time from a buffer.

#include <cstdio>
#include <string>

class DataFile {
public:
    DataFile() = default;
    ~DataFile() { Close(); }
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    long Size() const { return size_; }
    bool ReadByte(unsigned char& b) {
        if (pos_ == end_ && !Refill()) return false;
        b = buffer_[pos_++];
        return true;
    }

private:
    bool Refill();

    std::FILE* file_ = nullptr;
    long size_ = 0;
    unsigned char buffer_[8192];
    size_t pos_ = 0;
    size_t end_ = 0;
};
