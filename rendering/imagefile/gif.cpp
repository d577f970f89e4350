// GIF reading: the first image of a GIF87a or GIF89a file, LZW-decoded into
// 32-bit pixels, interlaced rows put back in order, the transparent index of
// a graphic control extension read as pixel 0.

#include <array>
#include <cstdint>
#include <new>

#include "rendering/imagefile/file_io.h"
#include "rendering/imagefile/image_files.h"

namespace {

constexpr int kTableSize = 4096;
constexpr int kStackSize = kTableSize + 1;
constexpr uint32_t kOpaqueBlack = 0xFF000000u;

using Palette = std::array<uint32_t, 256>;

// Byte-at-a-time reading over a buffer; -1 once the data has run out.
class ByteSource {
public:
    explicit ByteSource(image_io::ImageFile& file) : file_(file) {}

    int Next() {
        if (pos_ == len_) {
            len_ = file_.Read(buffer_, 1, sizeof buffer_);
            pos_ = 0;
            if (len_ == 0) return -1;
        }
        return buffer_[pos_++];
    }

    // Little-endian 16 bits; -1 at the end of data.
    int Next16() {
        int lo = Next();
        int hi = Next();
        return lo < 0 || hi < 0 ? -1 : lo | hi << 8;
    }

    // Bytes copied before the data ran out.
    size_t Take(uint8_t* out, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            int c = Next();
            if (c < 0) return i;
            out[i] = static_cast<uint8_t>(c);
        }
        return count;
    }

private:
    image_io::ImageFile& file_;
    uint8_t buffer_[4096];
    size_t pos_ = 0;
    size_t len_ = 0;
};

// 2^((flags & 7) + 1) entries of r, g, b.
bool ReadColourTable(ByteSource& src, int flags, Palette& palette) {
    int count = 2 << (flags & 7);
    for (int i = 0; i < count; ++i) {
        uint8_t rgb[3];
        if (src.Take(rgb, 3) != 3) return false;
        palette[static_cast<size_t>(i)] = kOpaqueBlack | uint32_t{rgb[0]} << 16 | uint32_t{rgb[1]} << 8 | rgb[2];
    }
    return true;
}

// Skips sub-blocks up to the empty one; false when the data ends first.
bool SkipSubBlocks(ByteSource& src) {
    uint8_t block[255];
    for (;;) {
        int len = src.Next();
        if (len < 0) return false;
        if (len == 0) return true;
        if (src.Take(block, static_cast<size_t>(len)) != static_cast<size_t>(len)) return false;
    }
}

// Reads an extension after its '!'; updates the transparent index from a
// graphic control block. False when the data ends inside it.
bool ReadExtension(ByteSource& src, int& transparent) {
    int label = src.Next();
    if (label < 0) return false;
    if (label != 0xF9) return SkipSubBlocks(src);
    int len = src.Next();
    if (len <= 0) return len == 0;
    uint8_t block[255];
    if (src.Take(block, static_cast<size_t>(len)) != static_cast<size_t>(len)) return false;
    if (len >= 4 && (block[0] & 1) != 0) transparent = block[3];
    return SkipSubBlocks(src);
}

// Turns the image's code stream into palette indices, one at a time.
class LzwDecoder {
public:
    LzwDecoder(ByteSource& src, int minCodeSize)
        : src_(src), minCodeSize_(minCodeSize), clear_(1 << minCodeSize), end_(clear_ + 1) {
        for (int i = 0; i < clear_; ++i) {
            prefix_[static_cast<size_t>(i)] = 0;
            suffix_[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
        }
        Reset();
    }

    // The next index, or -1 once the stream has ended or turned out invalid.
    int NextIndex() {
        if (sp_ > 0) return stack_[static_cast<size_t>(--sp_)];
        for (;;) {
            int code = ReadCode();
            if (code < 0) return -1;
            if (code == clear_) {
                Reset();
                continue;
            }
            if (code == end_ || code > next_) return Stop();
            if (prev_ < 0) {
                // Right after a clear only a root code makes sense.
                if (code >= clear_) return Stop();
                prev_ = code;
                first_ = suffix_[static_cast<size_t>(code)];
                return first_;
            }
            const int incoming = code;
            if (code == next_) {
                Push(first_);
                code = prev_;
            }
            while (code >= clear_) {
                if (!Push(suffix_[static_cast<size_t>(code)])) return Stop();
                code = prefix_[static_cast<size_t>(code)];
            }
            first_ = suffix_[static_cast<size_t>(code)];
            if (!Push(first_)) return Stop();
            // A full table takes no more entries; the stream goes on at
            // 12 bits until the encoder clears it.
            if (next_ < kTableSize) {
                prefix_[static_cast<size_t>(next_)] = static_cast<uint16_t>(prev_);
                suffix_[static_cast<size_t>(next_)] = static_cast<uint8_t>(first_);
                ++next_;
                if ((next_ & mask_) == 0 && next_ < kTableSize) {
                    ++codeSize_;
                    mask_ += next_;
                }
            }
            prev_ = incoming;
            return stack_[static_cast<size_t>(--sp_)];
        }
    }

private:
    void Reset() {
        codeSize_ = minCodeSize_ + 1;
        mask_ = (1 << codeSize_) - 1;
        next_ = clear_ + 2;
        prev_ = -1;
    }

    int Stop() {
        stopped_ = true;
        sp_ = 0;
        return -1;
    }

    bool Push(int value) {
        if (sp_ >= kStackSize) return false;
        stack_[static_cast<size_t>(sp_++)] = static_cast<uint8_t>(value);
        return true;
    }

    // Codes come least significant bit first across the sub-blocks; an empty
    // sub-block or the end of data ends the stream.
    int ReadCode() {
        if (stopped_) return -1;
        while (bitCount_ < codeSize_) {
            if (blockPos_ == blockLen_) {
                int len = src_.Next();
                if (len <= 0) return Stop();
                blockLen_ = src_.Take(block_.data(), static_cast<size_t>(len));
                blockPos_ = 0;
                if (blockLen_ == 0) return Stop();
            }
            bits_ |= uint32_t{block_[blockPos_++]} << bitCount_;
            bitCount_ += 8;
        }
        int code = static_cast<int>(bits_ & static_cast<uint32_t>(mask_));
        bits_ >>= codeSize_;
        bitCount_ -= codeSize_;
        return code;
    }

    ByteSource& src_;
    const int minCodeSize_;
    const int clear_;
    const int end_;
    int codeSize_ = 0;
    int mask_ = 0;
    int next_ = 0;
    int prev_ = -1;
    int first_ = 0;
    bool stopped_ = false;

    std::array<uint8_t, 255> block_{};
    size_t blockLen_ = 0;
    size_t blockPos_ = 0;
    uint32_t bits_ = 0;
    int bitCount_ = 0;

    std::array<uint16_t, kTableSize> prefix_{};
    std::array<uint8_t, kTableSize> suffix_{};
    std::array<uint8_t, kStackSize> stack_{};
    int sp_ = 0;
};

// Fills rows in file order, which for an interlaced image is rows 0, 8, ...,
// then 4, 12, ..., then 2, 6, ..., then the odd rows. Pixels the stream does
// not reach stay 0.
void DecodePixels(LzwDecoder& decoder, ImageData& image, bool interlaced, const Palette& palette, int transparent) {
    static constexpr int kPassStart[4] = {0, 4, 2, 1};
    static constexpr int kPassStep[4] = {8, 8, 4, 2};
    const int width = image.GetWidth();
    const int height = image.GetHeight();
    int pass = 0;
    int y = 0;
    for (int rowsDone = 0; rowsDone < height; ++rowsDone) {
        uint32_t* out = image.Row(y);
        for (int x = 0; x < width; ++x) {
            int index = decoder.NextIndex();
            if (index < 0) return;
            out[x] = index == transparent ? 0u : palette[static_cast<size_t>(index)];
        }
        if (!interlaced) {
            ++y;
            continue;
        }
        y += kPassStep[pass];
        while (y >= height && pass < 3) {
            ++pass;
            y = kPassStart[pass];
        }
    }
}

std::unique_ptr<ImageData> ReadGif(std::string_view fileName) {
    std::unique_ptr<image_io::ImageFile> file = image_io::ImageFile::Open(fileName);
    if (!file) return nullptr;
    ByteSource src(*file);

    uint8_t signature[6];
    if (src.Take(signature, 6) != 6) return nullptr;
    std::string_view magic(reinterpret_cast<const char*>(signature), 5);
    if (magic != "GIF87" && magic != "GIF89") return nullptr;

    uint8_t screen[7];  // width, height, flags, background, pixel ratio
    if (src.Take(screen, 7) != 7) return nullptr;
    Palette global;
    global.fill(kOpaqueBlack);
    const bool hasGlobal = (screen[4] & 0x80) != 0;
    if (hasGlobal && !ReadColourTable(src, screen[4], global)) return nullptr;

    int transparent = -1;
    for (;;) {
        int c = src.Next();
        if (c < 0 || c == ';') return nullptr;
        if (c == ',') break;
        if (c == '!' && !ReadExtension(src, transparent)) return nullptr;
    }

    uint8_t descriptor[9];  // left, top, width, height, flags
    if (src.Take(descriptor, 9) != 9) return nullptr;
    const int width = descriptor[4] | descriptor[5] << 8;
    const int height = descriptor[6] | descriptor[7] << 8;
    const int flags = descriptor[8];
    // The code stream can end anywhere, so the file's length says nothing of
    // the size; the limit bounds what a header may ask for.
    if (!ImageData::SizeAllowed(width, height)) return nullptr;

    Palette palette;
    if ((flags & 0x80) != 0) {
        palette.fill(kOpaqueBlack);
        if (!ReadColourTable(src, flags, palette)) return nullptr;
    } else if (hasGlobal) {
        palette = global;
    } else {
        return nullptr;  // no colours to show
    }

    // Codes of more than 12 bits or indices above 255 cannot occur in a
    // valid file.
    int minCodeSize = src.Next();
    if (minCodeSize < 2 || minCodeSize > 8) return nullptr;

    auto image = std::make_unique<ImageData>();
    if (!image->Allocate(width, height, true)) return nullptr;
    auto decoder = std::make_unique<LzwDecoder>(src, minCodeSize);
    DecodePixels(*decoder, *image, (flags & 0x40) != 0, palette, transparent);
    return image;
}

}  // namespace

std::unique_ptr<ImageData> GetGIFImage(std::string_view fileName) {
    // Nothing may escape a reader: the pixels fail by return value, and a
    // failure of the small allocations besides ends here.
    try {
        return ReadGif(fileName);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
