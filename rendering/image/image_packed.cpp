#include "rendering/image/image_packed.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "foundation/values/saturate.h"
#include "rendering/image/image_data.h"
#include "rendering/image/texture_tiles.h"

namespace {

constexpr int kMaxRun4 = 1 << 24;
constexpr int kMaxRun2 = 4096;
constexpr int kMaxRun1 = 65536;
constexpr size_t kMaxPaletteColours = 254;

// A4R4G4B4 with the alpha nibble raised to 1, so a literal never reads as a run.
uint16_t Literal4444(uint32_t p) {
    uint16_t t = ArgbTo4444(p);
    if ((t & 0xF000) == 0) t |= 0x1000;
    return t;
}

template <class T>
void Append(std::vector<uint8_t>& data, T value) {
    const size_t at = data.size();
    data.resize(at + sizeof(T));
    std::memcpy(data.data() + at, &value, sizeof(T));
}

template <class T>
T Read(const std::vector<uint8_t>& data, size_t at) {
    T value;
    std::memcpy(&value, data.data() + at, sizeof(T));
    return value;
}

}  // namespace

int PackedKindForFlags(uint32_t flags) {
    if (flags & kImagePalette) return 1;
    if ((flags & kImageFormat4444) && !(flags & kImageFormat8888)) return 2;
    return 4;
}

bool PackCel(const uint32_t* pixels, int count, int kind, PackedCelRecord* out) {
    PackedCelRecord record;
    record.kind = kind;
    std::map<uint16_t, uint8_t> paletteIndex;
    const int maxRun = kind == 4 ? kMaxRun4 : kind == 2 ? kMaxRun2 : kMaxRun1;
    int run = 0;
    auto flushRun = [&] {
        if (run == 0) return;
        if (kind == 4) {
            Append<uint32_t>(record.data, static_cast<uint32_t>(run - 1));
        } else if (kind == 2) {
            Append<uint16_t>(record.data, static_cast<uint16_t>(run - 1));
        } else {
            Append<uint8_t>(record.data, 0xFF);
            Append<uint16_t>(record.data, static_cast<uint16_t>(run - 1));
        }
        ++record.count;
        run = 0;
    };
    for (int i = 0; i < count; ++i) {
        const uint32_t p = pixels[i];
        if ((p >> 24) == 0) {
            if (++run == maxRun) flushRun();
            continue;
        }
        flushRun();
        if (kind == 4) {
            Append<uint32_t>(record.data, p);
        } else if (kind == 2) {
            Append<uint16_t>(record.data, Literal4444(p));
        } else {
            const uint16_t colour = Literal4444(p);
            auto it = paletteIndex.find(colour);
            if (it == paletteIndex.end()) {
                if (record.palette.size() >= kMaxPaletteColours) return false;
                it = paletteIndex.emplace(colour, static_cast<uint8_t>(record.palette.size())).first;
                record.palette.push_back(colour);
            }
            Append<uint8_t>(record.data, it->second);
        }
        ++record.count;
    }
    flushRun();
    if (kind == 1) {
        record.count = static_cast<int>(record.data.size());
        record.palette.resize(255, 0);
    }
    *out = std::move(record);
    return true;
}

void UnpackCel(const PackedCelRecord& record, uint32_t* out, int count) {
    int written = 0;
    auto runOf = [&](int n) {
        n = std::min(n, count - written);
        std::fill(out + written, out + written + n, 0u);
        written += n;
    };
    const std::vector<uint8_t>& data = record.data;
    if (record.kind == 4) {
        const size_t units = std::min(static_cast<size_t>(std::max(record.count, 0)), data.size() / 4);
        for (size_t i = 0; i < units && written < count; ++i) {
            const uint32_t unit = Read<uint32_t>(data, i * 4);
            if ((unit >> 24) == 0)
                runOf(static_cast<int>(unit) + 1);
            else
                out[written++] = unit;
        }
    } else if (record.kind == 2) {
        const size_t units = std::min(static_cast<size_t>(std::max(record.count, 0)), data.size() / 2);
        for (size_t i = 0; i < units && written < count; ++i) {
            const uint16_t unit = Read<uint16_t>(data, i * 2);
            if ((unit & 0xF000) == 0)
                runOf(unit + 1);
            else
                out[written++] = Argb4444ToArgb(unit);
        }
    } else if (record.kind == 1) {
        const size_t bytes = std::min(static_cast<size_t>(std::max(record.count, 0)), data.size());
        for (size_t i = 0; i < bytes && written < count; ++i) {
            const uint8_t unit = data[i];
            if (unit == 0xFF) {
                if (i + 2 >= bytes) break;
                // The count is unsigned: runs reach 65,536 pixels.
                runOf(static_cast<int>(Read<uint16_t>(data, i + 1)) + 1);
                i += 2;
            } else {
                out[written++] = unit < record.palette.size() ? Argb4444ToArgb(record.palette[unit]) : 0u;
            }
        }
    }
    runOf(count - written);
}

void ImageSurface::PackCels(const uint32_t* pixels, int w, int h, bool premultiply) {
    SetSize(w, h);
    FreeBits();
    packedCels_.clear();
    if (!celRects_.empty()) {
        packedCelWidth_ = SaturateCast(celRects_[0].fullWidth);
        packedCelHeight_ = SaturateCast(celRects_[0].fullHeight);
    } else {
        packedCelWidth_ = cols > 0 ? w / cols : w;
        packedCelHeight_ = rows > 0 ? h / rows : h;
    }
    // Cel sizes come from data files: no cel is larger than an image may be.
    packedCelWidth_ = std::clamp(packedCelWidth_, 0, ImageData::kMaxSide);
    packedCelHeight_ = std::clamp(packedCelHeight_, 0, ImageData::kMaxSide);
    const int celW = packedCelWidth_, celH = packedCelHeight_;
    const int kind = PackedKindForFlags(flags_);
    std::vector<uint32_t> cel(static_cast<size_t>(celW) * static_cast<size_t>(celH));
    for (int n = 0; n < GetCelCount(); ++n) {
        std::fill(cel.begin(), cel.end(), 0u);
        // The stored part of a trimmed cel sits at the cel's top-left, the
        // way the drawing code addresses it.
        const FRect r = GetSourceCelRectByIndex(n);
        const int64_t x0 = SaturateCast(r.x), y0 = SaturateCast(r.y);
        const int cw = std::min(SaturateCast(r.w), celW), ch = std::min(SaturateCast(r.h), celH);
        for (int y = 0; pixels && y < ch; ++y) {
            const int64_t sy = y0 + y;
            if (sy < 0 || sy >= h) continue;
            for (int x = 0; x < cw; ++x) {
                const int64_t sx = x0 + x;
                if (sx < 0 || sx >= w) continue;
                uint32_t p = pixels[static_cast<size_t>(sy) * static_cast<size_t>(w) + static_cast<size_t>(sx)];
                if (premultiply) p = PremultiplyPixel(p);
                cel[static_cast<size_t>(y) * static_cast<size_t>(celW) + static_cast<size_t>(x)] = p;
            }
        }
        PackedCelRecord record;
        // The palette form holds 254 colours; a cel with more takes the
        // two-byte form, which every decoder reads as well.
        if (!PackCel(cel.data(), static_cast<int>(cel.size()), kind, &record))
            PackCel(cel.data(), static_cast<int>(cel.size()), 2, &record);
        packedCels_.push_back(std::move(record));
    }
}
