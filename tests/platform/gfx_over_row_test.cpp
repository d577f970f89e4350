// The row versions of the premultiplied "over" blend against the four-pixel
// SSE2 loop they replaced: on random rows with runs of clear and opaque
// pixels, every short width and every start of both rows within 32 bytes,
// and short rows blended a run of rows at a time; and
// on every alpha over every target byte, which covers each version's divide
// by 255 for all its inputs.
#include <emmintrin.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "platform/gfx/span_over.h"

namespace {

// The former loop, kept as the oracle: unpacked to 16 bits, divided by 255
// with shifts, tail pixel by pixel.
void ReferenceOverRow(const uint32_t* src, uint32_t* dst, int n) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i ff = _mm_set1_epi16(255);
    auto div255 = [](__m128i x) {
        x = _mm_add_epi16(x, _mm_set1_epi16(128));
        return _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8);
    };
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        __m128i a = _mm_srli_epi32(s, 24);
        a = _mm_or_si128(a, _mm_slli_epi32(a, 16));
        const __m128i iaLo = _mm_sub_epi16(ff, _mm_unpacklo_epi32(a, a));
        const __m128i iaHi = _mm_sub_epi16(ff, _mm_unpackhi_epi32(a, a));
        const __m128i lo = div255(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), iaLo));
        const __m128i hi = div255(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), iaHi));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_adds_epu8(s, _mm_packus_epi16(lo, hi)));
    }
    for (; i < n; ++i) dst[i] = plat::OverPixel(src[i], dst[i]);
}

// Runs of clear, opaque, premultiplied and over-bright pixels, of random lengths.
std::vector<uint32_t> RandomRow(std::mt19937& rng, size_t n) {
    std::vector<uint32_t> row(n);
    size_t i = 0;
    while (i < n) {
        const int kind = static_cast<int>(rng() % 5);
        const size_t run = std::min<size_t>(n - i, 1 + rng() % 40);
        for (size_t k = 0; k < run; ++k, ++i) {
            uint32_t v = rng();
            const uint32_t a = v >> 24;
            if (kind == 0) v = 0;
            if (kind == 1) v |= 0xFF000000u;
            if (kind == 2)
                v = (a << 24) | ((v >> 16 & 0xFF) * a / 255) << 16 | ((v >> 8 & 0xFF) * a / 255) << 8 |
                    (v & 0xFF) * a / 255;
            if (kind == 3) v &= 0x00FFFFFFu;  // clear alpha, colour added
            row[i] = v;
        }
    }
    return row;
}

struct Version {
    const char* name;
    plat::OverRowFn fn;
};

std::vector<Version> Versions() {
    std::vector<Version> v{{"sse2", plat::OverRowSse2}, {"chosen", plat::ChooseOverRow()}};
    if (plat::CpuHasAvx2()) v.push_back({"avx2", plat::OverRowAvx2});
    if (plat::CpuHasAvx512()) v.push_back({"avx512", plat::OverRowAvx512});
    return v;
}

TEST(GfxOverRowTest, EveryVersionMatchesTheFormerLoopBitForBit) {
    std::mt19937 rng(12345);
    std::vector<int> widths;
    for (int w = 0; w <= 70; ++w) widths.push_back(w);
    for (int w : {255, 256, 257, 1023, 1024, 1031}) widths.push_back(w);
    constexpr int kGuard = 8;
    for (int width : widths)
        for (int srcOffset = 0; srcOffset < 8; ++srcOffset)
            for (int dstOffset = 0; dstOffset < 8; ++dstOffset) {
                const size_t size = static_cast<size_t>(width + 8 + kGuard);
                const std::vector<uint32_t> src = RandomRow(rng, size), dst = RandomRow(rng, size);
                std::vector<uint32_t> expected = dst;
                ReferenceOverRow(src.data() + srcOffset, expected.data() + dstOffset, width);
                for (const Version& v : Versions()) {
                    std::vector<uint32_t> got = dst;
                    v.fn(src.data() + srcOffset, got.data() + dstOffset, width);
                    // Pixels around the row, guards included, must come out as the oracle leaves them.
                    ASSERT_EQ(got, expected)
                        << v.name << " width " << width << " offsets " << srcOffset << "," << dstOffset;
                }
            }
}

TEST(GfxOverRowTest, EveryAlphaOverEveryTargetByteMatchesTheFormerLoop) {
    // Pixel a * 256 + t holds alpha a over the target byte t in all four
    // channels; the source colour is black, as bright as its alpha allows, or
    // white beyond it, so the saturating add is met at both ends as well.
    constexpr int kPairs = 256 * 256;
    for (const uint32_t colour : {0u, 1u, 255u}) {
        std::vector<uint32_t> src(kPairs), dst(kPairs);
        for (uint32_t a = 0; a < 256; ++a)
            for (uint32_t t = 0; t < 256; ++t) {
                const uint32_t c = colour == 1u ? a : colour;
                src[a * 256 + t] = (a << 24) | c * 0x010101u;
                dst[a * 256 + t] = t * 0x01010101u;
            }
        std::vector<uint32_t> expected = dst;
        ReferenceOverRow(src.data(), expected.data(), kPairs);
        for (const Version& v : Versions()) {
            std::vector<uint32_t> got = dst;
            v.fn(src.data(), got.data(), kPairs);
            for (int i = 0; i < kPairs; ++i)
                ASSERT_EQ(got[i], expected[i])
                    << v.name << " alpha " << i / 256 << " target byte " << i % 256 << " colour " << colour;
        }
    }
}

// Rows of a sprite over a frame, as a draw hands them over: read from
// anywhere, written a pitch apart, some rows left out, each as wide as
// `widest` at most (where a listed version is given); and the same rows a
// fixed distance apart in the texels and on the frame, none left out, for
// the strided version. Mirrored rows
// are read right to left, pixel i of a row at from[-i]: the oracle blends
// them turned round.
void ExpectRowsMatchTheFormerLoop(plat::OverRowsFn rowsFn, plat::OverStridedFn stridedFn, int widest, bool mirrored) {
    std::mt19937 rng(99);
    constexpr int kPitch = 2 * plat::kOverRowsPixels + 34, kFrameRows = 80;
    auto reference = [&](const uint32_t* from, uint32_t* to, int width) {
        std::vector<uint32_t> row(from, from + width);
        if (mirrored)
            for (int i = 0; i < width; ++i) row[static_cast<size_t>(i)] = from[-i];
        ReferenceOverRow(row.data(), to, width);
    };
    for (int trial = 0; trial < 400; ++trial) {
        const int width = static_cast<int>(rng() % (widest + 1));
        const int rows = 1 + static_cast<int>(rng() % 70);
        const std::vector<uint32_t> texels = RandomRow(rng, 4096);
        const std::vector<uint32_t> frame = RandomRow(rng, kPitch * kFrameRows);
        std::vector<uint32_t> expected = frame, got = frame;
        std::vector<const uint32_t*> src;
        std::vector<uint32_t*> dst;
        const int x = static_cast<int>(rng() % (kPitch - width + 1));
        for (int y = 0; y < kFrameRows && static_cast<int>(src.size()) < rows; ++y) {
            if (rng() % 8 == 0) continue;
            const uint32_t* from = texels.data() + width + rng() % (texels.size() - 2 * width);
            reference(from, expected.data() + y * kPitch + x, width);
            src.push_back(from);
            dst.push_back(got.data() + y * kPitch + x);
        }
        if (rowsFn) {
            rowsFn(src.data(), dst.data(), width, static_cast<int>(src.size()));
            ASSERT_EQ(got, expected) << "width " << width << " rows " << src.size() << " at " << x;
        }

        // Rows as near as the row's own width or farther apart, on every
        // frame row or every other.
        const int stride = width + static_cast<int>(rng() % 3 == 0 ? 0 : rng() % 40);
        const int pitch = kPitch * (1 + static_cast<int>(rng() % 2));
        const int count = std::min(rows, (kFrameRows - 1) * kPitch / pitch + 1);
        const std::vector<uint32_t> block = RandomRow(rng, static_cast<size_t>(2 * width + stride * count + 1));
        const uint32_t* first = block.data() + width;
        expected = got = frame;
        for (int r = 0; r < count; ++r) reference(first + stride * r, expected.data() + r * pitch + x, width);
        stridedFn(first, stride, got.data() + x, pitch, width, count);
        ASSERT_EQ(got, expected) << "strided width " << width << " rows " << count << " stride " << stride << " pitch "
                                 << pitch;
    }
}

TEST(GfxOverRowTest, RowsBlendedTogetherMatchTheFormerLoopRowByRow) {
    if (!plat::CpuHasAvx2()) GTEST_SKIP() << "no AVX2 here";
    ExpectRowsMatchTheFormerLoop(plat::OverRowsAvx2, plat::OverStridedAvx2, plat::kOverRowsPixels + 8, false);
}

TEST(GfxOverRowTest, Avx512RowsBlendedTogetherMatchTheFormerLoopRowByRow) {
    if (!plat::CpuHasAvx512()) GTEST_SKIP() << "no AVX-512 here";
    ExpectRowsMatchTheFormerLoop(plat::OverRowsAvx512, plat::OverStridedAvx512, plat::kOverRowsPixels + 8, false);
}

TEST(GfxOverRowTest, MirroredRowsMatchTheFormerLoopOnTheTurnedRows) {
    if (!plat::CpuHasAvx2()) GTEST_SKIP() << "no AVX2 here";
    ExpectRowsMatchTheFormerLoop(nullptr, plat::OverStridedMirroredAvx2, 2 * plat::kOverRowsPixels + 8, true);
}

TEST(GfxOverRowTest, Avx512MirroredRowsMatchTheFormerLoopOnTheTurnedRows) {
    if (!plat::CpuHasAvx512()) GTEST_SKIP() << "no AVX-512 here";
    ExpectRowsMatchTheFormerLoop(nullptr, plat::OverStridedMirroredAvx512, 2 * plat::kOverRowsPixels + 8, true);
}

TEST(GfxOverRowTest, ClearRunsLeaveTheRowAndOpaqueRunsReplaceIt) {
    // Whole blocks of each kind take the skip and copy branches.
    std::mt19937 rng(7);
    const std::vector<uint32_t> dst = RandomRow(rng, 64);
    std::vector<uint32_t> src(64, 0);
    for (size_t i = 32; i < 64; ++i) src[i] = rng() | 0xFF000000u;
    for (const Version& v : Versions()) {
        std::vector<uint32_t> got = dst;
        v.fn(src.data(), got.data(), 64);
        for (size_t i = 0; i < 64; ++i) ASSERT_EQ(got[i], i < 32 ? dst[i] : src[i]) << v.name << " pixel " << i;
    }
}

}  // namespace
