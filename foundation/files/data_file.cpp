#include "foundation/files/data_file.h"

#include <cstdio>

#include "foundation/files/pak_access.h"

bool DataFile::Open(const std::string& path) {
    Close();
    file_ = PakOpenFile(path, "rb");
    if (!file_) return false;
    PakSeek(file_, 0, SEEK_END);
    size_ = PakTell(file_);
    PakSeek(file_, 0, SEEK_SET);
    return true;
}

void DataFile::Close() {
    if (file_) PakCloseFile(file_);
    file_ = nullptr;
    size_ = 0;
    pos_ = end_ = 0;
}

bool DataFile::Refill() {
    if (!file_) return false;
    end_ = PakRead(buffer_, 1, sizeof buffer_, file_);
    pos_ = 0;
    return end_ > 0;
}
