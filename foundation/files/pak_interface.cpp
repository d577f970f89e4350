#include "foundation/files/pak_interface.h"

#include <atomic>
#include <cstring>

#include "platform/system/file_system.h"

namespace {

std::atomic<PakInterfaceBase*> gPakInterface{nullptr};

bool IsReadMode(std::string_view mode) { return mode == "r" || mode == "rb" || mode == "rt"; }

// Reads the scrambled directory straight from the mapped view.
class DirectoryReader {
public:
    DirectoryReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool Bytes(void* out, size_t n) {
        if (size_ - pos_ < n) {
            pos_ = size_;  // a field cut off by the end: the rest of the file was directory
            return false;
        }
        PakUnscramble(static_cast<uint8_t*>(out), data_ + pos_, n);
        pos_ += n;
        return true;
    }
    bool U8(uint8_t& out) { return Bytes(&out, 1); }
    bool U32(uint32_t& out) {
        uint8_t b[4];
        if (!Bytes(b, 4)) return false;
        out = uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
        return true;
    }
    bool U64(uint64_t& out) {
        uint32_t low, high;
        if (!U32(low) || !U32(high)) return false;
        out = uint64_t{high} << 32 | low;
        return true;
    }
    size_t Position() const { return pos_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

struct PendingEntry {
    std::string name;
    uint64_t time;
    int64_t offset;  // from the end of the directory
    int64_t size;
};

const uint8_t* EntryBytes(const PakFile* file) {
    return file->record_->collection_->view_.Data() + file->record_->startPos_;
}

}  // namespace

PakInterfaceBase* GetPakPtr() { return gPakInterface.load(); }

void PakUnscramble(uint8_t* __restrict destination, const uint8_t* __restrict source, size_t size) {
    for (size_t i = 0; i < size; ++i) destination[i] = source[i] ^ kPakXorKey;
}

PakInterface::PakInterface() {
    PakInterfaceBase* none = nullptr;
    gPakInterface.compare_exchange_strong(none, this);
}

PakInterface::~PakInterface() {
    PakInterfaceBase* self = this;
    gPakInterface.compare_exchange_strong(self, nullptr);
}

bool PakInterface::Mount(std::string_view path) {
    auto collection = std::make_unique<PakCollection>();
    if (!collection->view_.Open(path)) return false;
    collection->path_ = std::string(path);
    PakCollection* pack = collection.get();
    collections_.push_back(std::move(collection));
    const auto fileSize = static_cast<int64_t>(pack->view_.Size());

    // The pack itself is an entry covering the whole file.
    std::string selfKey = NormalizeName(path);
    directory_[selfKey] = PakRecord{pack, std::string(path), 0, 0, fileSize};

    DirectoryReader reader(pack->view_.Data(), pack->view_.Size());
    uint32_t magic, version;
    if (!reader.U32(magic) || magic != kPakMagic || !reader.U32(version) || version != kPakVersion) return false;

    std::vector<PendingEntry> pending;
    int64_t running = 0;
    uint8_t flags;
    bool whole = false;
    while (reader.U8(flags)) {
        if (flags & kPakEndOfDirectory) {
            whole = true;
            break;
        }
        uint8_t length;
        std::string name;
        uint32_t size;
        uint64_t time;
        if (!reader.U8(length)) break;
        name.resize(length);
        // A record cut off by the end of the file ends the directory.
        if (!reader.Bytes(name.data(), length) || !reader.U32(size) || !reader.U64(time)) break;
        pending.push_back({std::move(name), time, running, size});
        running += size;
    }

    const auto headerLength = static_cast<int64_t>(reader.Position());
    for (PendingEntry& entry : pending) {
        int64_t start = headerLength + entry.offset;
        // A damaged directory must not send reads outside the mapped view.
        if (start + entry.size > fileSize) {
            whole = false;
            continue;
        }
        std::string key = NormalizeName(entry.name);
        if (key.empty()) continue;
        directory_[key] = PakRecord{pack, std::move(entry.name), entry.time, start, entry.size};
    }
    return whole;
}

PakFile* PakInterface::OpenFile(std::string_view name, std::string_view mode) {
    // Reading, a name no loose folder lists goes straight to the pack.
    if (IsReadMode(mode) && !directory_.empty() && !loose_.MayExist(name)) return FindEntry(name, mode);
    std::string modeText(mode);
    if (FILE* fp = plat::OpenFile(name, modeText.c_str())) return new PakFile{nullptr, 0, fp};
    return FindEntry(name, mode);
}

PakFile* PakInterface::FindEntry(std::string_view name, std::string_view mode) {
    if (!IsReadMode(mode)) return nullptr;
    std::string key = NormalizeName(name);
    if (key.size() > kPakMaxNameLength) return nullptr;
    auto it = directory_.find(key);
    if (it == directory_.end()) return nullptr;
    return new PakFile{&it->second, 0, nullptr};
}

int PakInterface::CloseFile(PakFile* file) {
    if (!file) return -1;
    std::unique_ptr<PakFile> owned(file);
    if (owned->fp_) std::fclose(owned->fp_);
    return 0;
}

int PakInterface::Seek(PakFile* file, long offset, int origin) {
    if (!file) return -1;
    if (!file->record_) return std::fseek(file->fp_, offset, origin);
    int64_t size = file->record_->size_;
    int64_t base = origin == SEEK_SET ? 0 : origin == SEEK_CUR ? file->pos_ : origin == SEEK_END ? size : -1;
    if (base < 0) return 0;  // an unknown origin leaves the position
    int64_t pos;
    // An offset read from a damaged file can be anything: saturate, then clamp.
    if (__builtin_add_overflow(base, static_cast<int64_t>(offset), &pos)) pos = offset > 0 ? size : 0;
    file->pos_ = pos < 0 ? 0 : (pos > size ? size : pos);
    return 0;
}

long PakInterface::Tell(PakFile* file) {
    if (!file) return -1;
    return file->record_ ? static_cast<long>(file->pos_) : std::ftell(file->fp_);
}

size_t PakInterface::Read(void* buffer, size_t elementSize, size_t count, PakFile* file) {
    if (!file || !buffer || elementSize == 0 || count == 0) return 0;
    if (!file->record_) return std::fread(buffer, elementSize, count, file->fp_);
    size_t wanted;
    if (__builtin_mul_overflow(elementSize, count, &wanted)) wanted = SIZE_MAX;
    // A later mount may have replaced the entry with a shorter one under an open handle.
    const int64_t remaining = file->record_->size_ - file->pos_;
    const size_t left = remaining > 0 ? static_cast<size_t>(remaining) : 0;
    size_t n = wanted < left ? wanted : left;
    PakUnscramble(static_cast<uint8_t*>(buffer), EntryBytes(file) + file->pos_, n);
    file->pos_ += static_cast<int64_t>(n);
    return n / elementSize;
}

int PakInterface::GetChar(PakFile* file) {
    if (!file) return -1;
    if (!file->record_) return std::fgetc(file->fp_);
    const uint8_t* bytes = EntryBytes(file);
    while (file->pos_ < file->record_->size_) {
        int c = bytes[file->pos_++] ^ kPakXorKey;
        if (c != '\r') return c;
    }
    return -1;
}

int PakInterface::UngetChar(int character, PakFile* file) {
    if (!file) return -1;
    if (!file->record_) return std::ungetc(character, file->fp_);
    if (file->pos_ > 0) --file->pos_;
    return character;
}

char* PakInterface::ReadLineNoOp(char* buffer, int, PakFile*) { return buffer; }

char* PakInterface::ReadLine(char* buffer, int size, PakFile* file) {
    if (!file || !buffer || size <= 0) return nullptr;
    if (!file->record_) return std::fgets(buffer, size, file->fp_);
    const uint8_t* bytes = EntryBytes(file);
    int copied = 0;
    while (copied < size - 1 && file->pos_ < file->record_->size_) {
        char c = static_cast<char>(bytes[file->pos_++] ^ kPakXorKey);
        if (c == '\r') continue;
        buffer[copied++] = c;
        if (c == '\n') break;
    }
    buffer[copied] = '\0';
    if (copied == 0 && file->pos_ >= file->record_->size_) return nullptr;
    return buffer;
}

bool PakInterface::AtEnd(PakFile* file) {
    if (!file) return true;
    return file->record_ ? file->pos_ >= file->record_->size_ : std::feof(file->fp_) != 0;
}
