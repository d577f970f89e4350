#pragma once
// A read-only data file for the text readers, opened through the pack layer:
// a loose file on disk first, otherwise the entry in main.pak. Bytes are
// handed out one at a time from a block buffer, so a reader's per-character
// loop costs no call into the pack layer.

#include <cstddef>
#include <string>

struct PakFile;

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
    // Hands out every buffered byte not read yet (refilling when none is left)
    // as [begin, end), counting them as read. False at the end of the file.
    bool NextBlock(const unsigned char*& begin, const unsigned char*& end) {
        if (pos_ == end_ && !Refill()) return false;
        begin = buffer_ + pos_;
        end = buffer_ + end_;
        pos_ = end_;
        return true;
    }

private:
    bool Refill();

    PakFile* file_ = nullptr;
    long size_ = 0;
    unsigned char buffer_[8192];
    size_t pos_ = 0;
    size_t end_ = 0;
};
