#include "tests/rendering/image_test_support.h"

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <utility>

// Present when the address sanitizer is linked in; weak, so that other
// builds link and skip the allocation checks.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*)) __attribute__((weak));

namespace testsupport {

namespace {

std::atomic<bool> g_watching{false};
std::atomic<size_t> g_largest{0};

void OnAllocation(const volatile void*, size_t size) {
    if (!g_watching.load(std::memory_order_relaxed)) return;
    size_t seen = g_largest.load(std::memory_order_relaxed);
    while (size > seen && !g_largest.compare_exchange_weak(seen, size)) {}
}

void OnFree(const volatile void*) {}

}  // namespace

int64_t LargestAllocationDuring(const std::function<void()>& run) {
    static const bool hooked = __sanitizer_install_malloc_and_free_hooks != nullptr &&
                               __sanitizer_install_malloc_and_free_hooks(OnAllocation, OnFree) != 0;
    if (!hooked) {
        run();
        return -1;
    }
    g_largest = 0;
    g_watching = true;
    run();
    g_watching = false;
    return static_cast<int64_t>(g_largest.load());
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "halvaro_images_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot make a temporary folder";
    root_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::string TempDir::Path(const std::string& name) const { return (root_ / name).string(); }

void WritePngDirect(const std::string& path, const PngLayout& layout) {
    // Everything with a destructor is made before the jump point.
    std::vector<png_color> palette;
    for (uint32_t c : layout.palette)
        palette.push_back({static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8), static_cast<png_byte>(c)});
    std::vector<png_bytep> rows;
    for (const Bytes& row : layout.rows) rows.push_back(const_cast<png_bytep>(row.data()));

    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        ADD_FAILURE() << "libpng failed writing " << path;
        return;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(layout.width), static_cast<png_uint_32>(layout.height),
                 layout.bitDepth, layout.colorType, layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!layout.paletteAlpha.empty())
        png_set_tRNS(png, info, layout.paletteAlpha.data(), static_cast<int>(layout.paletteAlpha.size()), nullptr);
    png_write_info(png, info);
    png_write_image(png, rows.data());  // runs the interlace passes itself
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
}

namespace {

class BitWriter {
public:
    void Put(int code, int width) {
        acc_ |= static_cast<uint64_t>(code) << count_;
        count_ += width;
        while (count_ >= 8) {
            bytes_.push_back(static_cast<uint8_t>(acc_));
            acc_ >>= 8;
            count_ -= 8;
        }
    }
    Bytes Finish() {
        if (count_ > 0) bytes_.push_back(static_cast<uint8_t>(acc_));
        return bytes_;
    }

private:
    Bytes bytes_;
    uint64_t acc_ = 0;
    int count_ = 0;
};

void AppendPalette(Bytes& out, const std::vector<uint32_t>& palette) {
    for (uint32_t c : palette) {
        out.push_back(static_cast<uint8_t>(c >> 16));
        out.push_back(static_cast<uint8_t>(c >> 8));
        out.push_back(static_cast<uint8_t>(c));
    }
}

// The size field of a table of this many entries (padded to a power of two by the caller).
int TableBits(size_t entries) {
    int bits = 0;
    while ((size_t{2} << bits) < entries) ++bits;
    return bits;
}

void Append16(Bytes& out, int v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

}  // namespace

Bytes EncodeLzwBlocks(const Bytes& indices, int minCodeSize, bool clearWhenFull) {
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    int width = minCodeSize + 1;
    int next = clear + 2;
    std::map<std::pair<int, int>, int> table;
    BitWriter bits;
    // A decoder learns each entry one code later than we make it, so the
    // width grows after the code that was written when `next` hit the limit.
    auto put = [&](int code) {
        bits.Put(code, width);
        if (next >= (1 << width) && width < 12) ++width;
    };
    put(clear);
    if (!indices.empty()) {
        int prefix = indices[0];
        for (size_t i = 1; i < indices.size(); ++i) {
            int c = indices[i];
            auto found = table.find({prefix, c});
            if (found != table.end()) {
                prefix = found->second;
                continue;
            }
            put(prefix);
            if (next < 4096) {
                table[{prefix, c}] = next++;
            } else if (clearWhenFull) {
                put(clear);
                table.clear();
                next = clear + 2;
                width = minCodeSize + 1;
            }
            prefix = c;
        }
        put(prefix);
    }
    put(end);
    Bytes data = bits.Finish();
    Bytes out;
    for (size_t at = 0; at < data.size(); at += 255) {
        size_t n = std::min<size_t>(255, data.size() - at);
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), data.begin() + static_cast<long>(at), data.begin() + static_cast<long>(at + n));
    }
    out.push_back(0);
    return out;
}

std::vector<int> InterlacedRowOrder(int height) {
    std::vector<int> order;
    const int start[4] = {0, 4, 2, 1};
    const int step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass]) order.push_back(y);
    return order;
}

Bytes BuildGif(const GifLayout& layout) {
    Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
    Append16(out, layout.width);
    Append16(out, layout.height);
    if (layout.globalPalette.empty()) {
        out.push_back(0);
    } else {
        out.push_back(static_cast<uint8_t>(0x80 | TableBits(layout.globalPalette.size())));
    }
    out.push_back(0);  // background
    out.push_back(0);  // pixel ratio
    if (!layout.globalPalette.empty()) {
        std::vector<uint32_t> padded = layout.globalPalette;
        padded.resize(size_t{2} << TableBits(padded.size()), 0);
        AppendPalette(out, padded);
    }
    if (layout.extensionsBeforeImage) {
        Bytes comment = {'!', 0xFE, 5, 'h', 'e', 'l', 'l', 'o', 0};
        out.insert(out.end(), comment.begin(), comment.end());
        Bytes loop = {'!', 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
        out.insert(out.end(), loop.begin(), loop.end());
    }
    if (layout.transparent >= 0) {
        Bytes control = {'!', 0xF9, 4, 1, 0, 0, static_cast<uint8_t>(layout.transparent), 0};
        out.insert(out.end(), control.begin(), control.end());
    }
    out.push_back(',');
    Append16(out, 0);
    Append16(out, 0);
    Append16(out, layout.width);
    Append16(out, layout.height);
    uint8_t flags = layout.interlaced ? 0x40 : 0;
    std::vector<uint32_t> local = layout.localPalette;
    if (!local.empty()) {
        flags |= static_cast<uint8_t>(0x80 | TableBits(local.size()));
        local.resize(size_t{2} << TableBits(local.size()), 0);
    }
    out.push_back(flags);
    AppendPalette(out, local);

    Bytes stored;
    if (layout.interlaced) {
        for (int y : InterlacedRowOrder(layout.height)) {
            auto row = layout.indices.begin() + static_cast<long>(y) * layout.width;
            stored.insert(stored.end(), row, row + layout.width);
        }
    } else {
        stored = layout.indices;
    }
    out.push_back(static_cast<uint8_t>(layout.minCodeSize));
    Bytes blocks = EncodeLzwBlocks(stored, layout.minCodeSize, layout.clearWhenFull);
    out.insert(out.end(), blocks.begin(), blocks.end());
    out.push_back(';');
    return out;
}

}  // namespace testsupport
