#include "foundation/data_file.h"

bool DataFile::Open(const std::string& path) {
    Close();
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) return false;
    std::fseek(file_, 0, SEEK_END);
    size_ = std::ftell(file_);
    std::fseek(file_, 0, SEEK_SET);
    return true;
}

void DataFile::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    size_ = 0;
    pos_ = end_ = 0;
}

bool DataFile::Refill() {
    if (!file_) return false;
    end_ = std::fread(buffer_, 1, sizeof buffer_, file_);
    pos_ = 0;
    return end_ > 0;
}
