// Triangles: edge functions in 1/256-pixel fixed point for coverage (exact
// top-left rule), attribute planes in double precision for interpolation.
#include <algorithm>
#include <cmath>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/gfx/filtered_rows.h"
#include "platform/gfx/raster.h"
#include "platform/gfx/scaled_images.h"
#include "platform/gfx/scaled_rows.h"
#include "platform/gfx/span_over.h"

namespace plat::raster {

bool ClipIsEmpty(const DrawSetup& d) { return d.clip.left >= d.clip.right || d.clip.top >= d.clip.bottom; }

int64_t SignedArea(const RasterVertex& a, const RasterVertex& b, const RasterVertex& c) {
    return (b.fx - a.fx) * (c.fy - a.fy) - (c.fx - a.fx) * (b.fy - a.fy);
}

bool IsCulled(const DrawSetup& d, int64_t area) {
    return (d.cull == Cull::Clockwise && area > 0) || (d.cull == Cull::CounterClockwise && area < 0);
}

namespace {

constexpr int kQ = kAttrCount;  // index of 1/w in the plane arrays

inline int32_t ToFixed16(double texel) {
    // Inside the range StepCoordinates steps exactly: its rounding, inline.
    if (std::fabs(texel) < 16384.0) return static_cast<int32_t>(RoundHalfAway(texel * 4294967296.0) >> 16);
    int32_t out;
    StepCoordinates(texel, 0.0, 1, &out);
    return out;
}

// Wrapping lets a coordinate move by whole texture sizes; keep it small so
// fixed point does not overflow.
inline double Reduce(double texel, bool wrap, int size) {
    if (!wrap || size <= 0 || !std::isfinite(texel)) return texel;
    return texel - std::floor(texel / size) * size;
}

struct Planes {
    bool perspective = false;
    bool flatColor = false;
    uint32_t flat = 0;
    double x0 = 0, y0 = 0;
    double base[kAttrCount + 1] = {}, gx[kAttrCount + 1] = {}, gy[kAttrCount + 1] = {};

    double At(int k, double x, double y) const { return base[k] + gx[k] * (x - x0) + gy[k] * (y - y0); }
};

void ChooseFilters(DrawSetup& d, const double* ugx, const double* ugy, const double* vgx, const double* vgy) {
    for (int k = 0; k < kMaxTextureStages; ++k) {
        if (!d.textured[k]) continue;
        double footprint = std::fabs(ugx[k] * vgy[k] - ugy[k] * vgx[k]);
        d.samplers[k].bilinear = footprint > 1.0 ? d.minBilinear[k] : d.magBilinear[k];
    }
}

void SetupPlanes(DrawSetup& d, Planes& p, const RasterVertex& a, const RasterVertex& b, const RasterVertex& c) {
    const double xa = a.fx / double(kSub), ya = a.fy / double(kSub);
    const double x1 = b.fx / double(kSub) - xa, y1 = b.fy / double(kSub) - ya;
    const double x2 = c.fx / double(kSub) - xa, y2 = c.fy / double(kSub) - ya;
    const double det = x1 * y2 - x2 * y1;
    p.x0 = xa;
    p.y0 = ya;
    const float w0 = a.w;
    p.perspective = std::fabs(b.w - w0) > 1e-6f * std::fabs(w0) || std::fabs(c.w - w0) > 1e-6f * std::fabs(w0);
    p.flatColor = a.a[kR] == b.a[kR] && a.a[kR] == c.a[kR] && a.a[kG] == b.a[kG] && a.a[kG] == c.a[kG] &&
                  a.a[kB] == b.a[kB] && a.a[kB] == c.a[kB] && a.a[kA] == b.a[kA] && a.a[kA] == c.a[kA];
    if (p.flatColor) p.flat = PackColor(a.a);
    auto plane = [&](int k, double f0, double f1, double f2) {
        p.base[k] = f0;
        p.gx[k] = ((f1 - f0) * y2 - (f2 - f0) * y1) / det;
        p.gy[k] = ((f2 - f0) * x1 - (f1 - f0) * x2) / det;
    };
    double rawGx[kAttrCount] = {}, rawGy[kAttrCount] = {};
    for (int k = 0; k < kAttrCount; ++k) {
        plane(k, a.a[k], b.a[k], c.a[k]);
        rawGx[k] = p.gx[k];
        rawGy[k] = p.gy[k];
    }
    if (p.perspective) {
        const double q0 = 1.0 / a.w, q1 = 1.0 / b.w, q2 = 1.0 / c.w;
        for (int k = 0; k < kAttrCount; ++k) plane(k, a.a[k] * q0, b.a[k] * q1, c.a[k] * q2);
        plane(kQ, q0, q1, q2);
    }
    const double ugx[2] = {rawGx[kU0], rawGx[kU1]}, ugy[2] = {rawGy[kU0], rawGy[kU1]};
    const double vgx[2] = {rawGx[kV0], rawGx[kV1]}, vgy[2] = {rawGy[kV0], rawGy[kV1]};
    ChooseFilters(d, ugx, ugy, vgx, vgy);
}

void FillChunk(const DrawSetup& d, const Planes& p, int x, int y, int n, ChunkInputs& in) {
    const double fx = x, fy = y;
    if (!p.perspective) {
        in.flat = p.flatColor;
        in.flatColor = p.flat;
        if (p.flatColor) {
            std::fill_n(in.diffuse, n, p.flat);
        } else {
            // 16.16 colour steps; a sliver triangle can have huge gradients,
            // which are bounded so the sums cannot overflow.
            int64_t acc[4], step[4];
            for (int c = 0; c < 4; ++c) {
                acc[c] = std::llround(std::clamp(p.At(c, fx, fy), -1e6, 1e6) * 65536.0);
                step[c] = std::llround(std::clamp(p.gx[c], -1e6, 1e6) * 65536.0);
            }
            for (int i = 0; i < n; ++i) {
                uint32_t ch[4];
                for (int c = 0; c < 4; ++c) {
                    const int64_t v = (acc[c] + 32768) >> 16;
                    ch[c] = static_cast<uint32_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
                    acc[c] += step[c];
                }
                in.diffuse[i] = (ch[kA] << 24) | (ch[kR] << 16) | (ch[kG] << 8) | ch[kB];
            }
        }
        for (int k = 0; k < kMaxTextureStages; ++k) {
            if (!d.textured[k] && !d.program) continue;
            const SamplerSetup& s = d.samplers[k];
            const int ku = k == 0 ? kU0 : kU1, kv = k == 0 ? kV0 : kV1;
            double u = Reduce(p.At(ku, fx, fy), s.wrapU, s.view.width);
            double v = Reduce(p.At(kv, fx, fy), s.wrapV, s.view.height);
            StepCoordinates(u, p.gx[ku], n, in.u[k]);
            StepCoordinates(v, p.gx[kv], n, in.v[k]);
        }
        return;
    }
    in.flat = false;
    for (int i = 0; i < n; ++i) {
        const double px = fx + i;
        const double w = 1.0 / p.At(kQ, px, fy);
        float attr[kAttrCount];
        for (int k = 0; k < kAttrCount; ++k) attr[k] = static_cast<float>(p.At(k, px, fy) * w);
        in.diffuse[i] = p.flatColor ? p.flat : PackColor(attr);
        for (int k = 0; k < kMaxTextureStages; ++k) {
            if (!d.textured[k] && !d.program) continue;
            const SamplerSetup& s = d.samplers[k];
            in.u[k][i] = ToFixed16(Reduce(attr[k == 0 ? kU0 : kU1], s.wrapU, s.view.width));
            in.v[k][i] = ToFixed16(Reduce(attr[k == 0 ? kV0 : kV1], s.wrapV, s.view.height));
        }
    }
}

struct Edge {
    int64_t dx, dy, ax, ay;
    bool topLeft;
};

}  // namespace

void DrawTriangle(DrawSetup& d, const RasterVertex& v0, const RasterVertex& v1, const RasterVertex& v2) {
    const int64_t area = SignedArea(v0, v1, v2);
    if (area == 0 || IsCulled(d, area) || ClipIsEmpty(d)) return;
    const RasterVertex* v[3] = {&v0, &v1, &v2};
    if (area < 0) std::swap(v[1], v[2]);  // clockwise: inside is where every edge function is positive

    Edge e[3];
    for (int i = 0; i < 3; ++i) {
        const RasterVertex& a = *v[i];
        const RasterVertex& b = *v[(i + 1) % 3];
        e[i] = {b.fx - a.fx, b.fy - a.fy, a.fx, a.fy, false};
        e[i].topLeft = e[i].dy < 0 || (e[i].dy == 0 && e[i].dx > 0);
    }
    const int64_t minY = std::min({v0.fy, v1.fy, v2.fy}), maxY = std::max({v0.fy, v1.fy, v2.fy});
    const int rowFirst = static_cast<int>(std::max<int64_t>(CeilDiv(minY, kSub), d.clip.top));
    const int rowLast = static_cast<int>(std::min<int64_t>(FloorDiv(maxY, kSub), d.clip.bottom - 1));
    if (rowFirst > rowLast) return;

    Planes planes;
    SetupPlanes(d, planes, *v[0], *v[1], *v[2]);
    ChunkInputs in;
    for (int py = rowFirst; py <= rowLast; ++py) {
        const int64_t Y = static_cast<int64_t>(py) * kSub;
        int64_t lo = d.clip.left, hi = d.clip.right - 1;
        for (const Edge& g : e) {
            // E(x) = A * x + K with x in whole pixels.
            const int64_t A = -g.dy * kSub;
            const int64_t K = g.dx * (Y - g.ay) + g.dy * g.ax;
            if (A == 0) {
                if (!(K > 0 || (K == 0 && g.topLeft))) lo = hi + 1;
            } else if (A > 0) {
                lo = std::max(lo, g.topLeft ? CeilDiv(-K, A) : FloorDiv(-K, A) + 1);
            } else {
                hi = std::min(hi, g.topLeft ? FloorDiv(K, -A) : CeilDiv(K, -A) - 1);
            }
        }
        for (int64_t x = lo; x <= hi; x += kChunk) {
            const int n = static_cast<int>(std::min<int64_t>(kChunk, hi - x + 1));
            FillChunk(d, planes, static_cast<int>(x), py, n, in);
            ShadeChunk(d, static_cast<int>(x), py, n, in, nullptr);
        }
    }
}

namespace {

struct RectSpec {
    int64_t xL, xR, yT, yB;  // fixed point
    float uL[2], uR[2], vT[2], vB[2];
    uint32_t color;
};

bool PassesTexturesThrough(const DrawSetup& d, uint32_t color) {
    if (d.program || d.depthStencil || color != 0xFFFFFFFFu || !d.textured[0]) return false;
    if (!StagePassesTexture(d.stages[0])) return false;
    return d.stageCount < 2 || (!d.textured[1] && StageKeepsCurrent(d.stages[1]));
}

// A clear texel comes out of the draw's texture stages clear: stage 0 reads
// it, the later stages no texture.
bool ClearTexelStaysClear(const DrawSetup& d, uint32_t color) {
    uint32_t out = color;
    const uint32_t clear = 0;
    for (int k = 0; k < d.stageCount; ++k) CombineStage(d.stages[k], k == 0 ? &clear : nullptr, &color, &out, 1);
    return out == 0;
}

// std::round's distance, without the library call: from 2^52 on every
// double is whole, and what is not finite is near no whole number.
inline bool NearInteger(double v, double tol) {
    if (!(std::fabs(v) < 4503599627370496.0)) return std::isfinite(v) && tol >= 0.0;
    return std::fabs(v - static_cast<double>(RoundHalfAway(v))) <= tol;
}

// Stage 0's bilinear samples along every row of a rectangle, when they step
// one texel at a time with one column weight: the row is then blended from
// two texel rows whole instead of sample by sample. A mirrored image steps
// back one texel a pixel: its samples are the same blends, read backwards.
struct ColumnRun {
    bool ok = false;
    bool mirrored = false;  // columns fall from left to right
    int first = 0;          // texel column of the row's first pixel (-1: left of the texture)
    int firstLeft = 0;      // where that column lies under the addressing mode
    int lastRight = 0;      // where the last pixel's right neighbour lies
    uint32_t fx = 0;
    int size = 0;  // the texture's width
    bool wrap = false;

    // The texel columns of pixels x .. x + n - 1 of the row, lowest first:
    // sample j of a forward run over them is pixel n - 1 - j of a mirrored row.
    int Lowest(int x, int n) const { return mirrored ? first - x - (n - 1) : first + x; }
    // Where the addressing mode sends column c, which lies at most one
    // column outside the texture.
    int Addressed(int c) const { return c < 0 ? (wrap ? size - 1 : 0) : c >= size ? (wrap ? 0 : size - 1) : c; }
};

// The coordinates are stepped chunk by chunk exactly as the rows below step
// them, and the run is taken only when every one fits it.
ColumnRun PlanColumnRun(const DrawSetup& d, double uStart, double dudx, int width) {
    const SamplerSetup& s = d.samplers[0];
    if (!d.textured[0] || d.program || !s.bilinear || !s.view.pixels) return {};
    ColumnRun run;
    run.mirrored = dudx < 0.0;
    const int step = run.mirrored ? -1 : 1;
    int32_t u[kChunk];
    for (int x = 0; x < width; x += kChunk) {
        int n = std::min(kChunk, width - x);
        const double start = Reduce(uStart + x * dudx, s.wrapU, s.view.width);
        // A step of exactly one texel, forward or back (a mirrored image),
        // adds exactly 1.0 or -1.0 in 16.16 fixed point to each next
        // coordinate, where stepping is exact (well inside the 32.32 range),
        // moving its column by one and keeping its weight: the chunk's first
        // coordinate decides the rest.
        if ((dudx == 1.0 || dudx == -1.0) && std::fabs(start) < 8192.0) {
            n = 1;
            u[0] = ToFixed16(start);  // what one step gives, inline
        } else {
            StepCoordinates(start, dudx, n, u);
        }
        for (int i = 0; i < n; ++i) {
            const ColumnStep c = BilinearColumn(u[i]);
            if (x + i == 0) {
                run.first = c.column;
                run.fx = c.weight;
            }
            if (c.column != run.first + step * (x + i) || c.weight != run.fx) return {};
        }
    }
    run.size = s.view.width;
    run.wrap = s.wrapU;
    const int lowest = run.Lowest(0, width);
    if (lowest < -1 || lowest + width > run.size) return {};
    run.firstLeft = run.Addressed(run.first);
    run.lastRight = run.Addressed(run.first + width);
    run.ok = true;
    return run;
}

// Pixels x .. x + n - 1 of a mirrored row (x from the row's start), from the
// row's filtered texels (entry c blends columns c and c + 1).
void MirroredFromKept(const ColumnRun& run, const uint32_t* kept, int x, int n, uint32_t* out) {
    const uint32_t* from = kept + run.first - x;
    int i = 0;
#if defined(__SSE2__)
    // Four at a time, turned round in a register.
    for (; i + 4 <= n; i += 4) {
        const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from - i - 3));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_shuffle_epi32(four, _MM_SHUFFLE(0, 1, 2, 3)));
    }
#endif
    for (; i < n; ++i) out[i] = from[-i];
}

// The same pixels blended from two texel rows: a forward run over their
// columns, reversed.
void MirroredFromRows(const ColumnRun& run, const RowPair& rows, int x, int n, uint32_t* out) {
    const int lowest = run.Lowest(x, n);
    uint32_t forward[kChunk];
    BilinearRunSpan(rows, lowest, run.Addressed(lowest), run.Addressed(lowest + n), run.fx, n, forward);
    std::reverse_copy(forward, forward + n, out);
}

// Row coordinates that step down one texel a row, each row's 16.16 value
// the first row's plus the rows between: what ToFixed16 gives every row,
// without its rounding once a row. That holds when every row's coordinate is
// exact in a double and a whole number of 2^-32 texels, as a top edge of
// float texels from 2^-9 up is, and none wraps.
struct UnitRows {
    bool ok = false;
    int y0 = 0;
    int32_t first = 0;
    int32_t Row(int py) const { return first + static_cast<int32_t>(static_cast<uint32_t>(py - y0) << 16); }
};

UnitRows PlanUnitRows(float vTop, double dvdy, double yTop, int y0, int y1, bool wrap) {
    if (dvdy != 1.0 || wrap || y0 >= y1) return {};
    const double top = vTop, scaled = top * 4294967296.0;
    if (scaled != std::trunc(scaled)) return {};
    // Rows 1/256 of a pixel apart sum exactly with the 2^-32 steps inside
    // this range, and ToFixed16 takes its exact branch there.
    const double first = top + (y0 - yTop), last = top + ((y1 - 1) - yTop);
    if (!(std::fabs(first) < 8192.0) || !(std::fabs(last) < 8192.0)) return {};
    return {true, y0, ToFixed16(first)};
}

// Rows of a narrow sprite blended over the target together, a run at a
// time, rather than one call a row: each row's blend then reads the
// target's next row before writing its own.
class OverRun {
public:
    explicit OverRun(int width) : width_(width) {}
    // A row of any pixels.
    void Add(const uint32_t* src, uint32_t* dst) {
        src_[n_] = src;
        dst_[n_] = dst;
        if (++n_ == kRows) Flush();
    }
    // A row whose pixels are made on the way: `make` writes them (at most
    // kOverRowsPixels) into the run's own buffer.
    template <class Make>
    void AddMade(uint32_t* dst, Make make) {
        make(made_[n_]);
        Add(made_[n_], dst);
    }
    void Flush() {
        static const OverRowsFn rows = ChooseOverRows();
        if (n_ > 0) rows(src_, dst_, width_, n_);
        n_ = 0;
    }

private:
    static constexpr int kRows = 64;
    const uint32_t* src_[kRows];
    uint32_t* dst_[kRows];
    uint32_t made_[kRows][kOverRowsPixels];
    int n_ = 0, width_;
};

// The kept rows of a narrow sprite from row y0 on, over the target at x0,
// up to the first row the kept rows lack: returned (y1 when none is). The
// kept rows lie a fixed stride apart, as the target's rows do, so each run
// of rows not left out goes to the blend as a first row and two strides,
// with no list of rows built; a mirrored sprite's rows are read right to
// left. A row not made yet is made where it lies as the rows are walked.
// Columns clear in every row of a run are left out of its blend, four
// pixels at a time: the over blend leaves the target as it is there, and a
// crowd's cels are clear at both edges (a fifth of the pixels of its rows).
int BlendKeptRowsTogether(DrawSetup& d, FilteredRows& filtered, const UnitRows& rows, const ColumnRun& run, int x0,
                          int width, int y0, int y1, bool skipClear) {
    static const OverStridedFn forward = ChooseOverStrided();
    static const OverStridedFn mirrored = ChooseOverStridedMirrored();
    const OverStridedFn blend = run.mirrored ? mirrored : forward;
    // The draw's first row tells whether its offset is kept (made if so).
    if (!filtered.Row(d.samplers[0], rows.Row(y0)).texels) return y0;
    const FilteredRows::RowsFrom made = filtered.MadeRowsFrom(rows.Row(y0));
    // The kept entries a row reads, lowest first, and the first past them.
    const int lowest = run.Lowest(0, width), past = lowest + width;
    const ptrdiff_t stride = static_cast<ptrdiff_t>(made.stride);
    const ptrdiff_t pitch = static_cast<ptrdiff_t>(d.target->Pitch() / sizeof(uint32_t));
    uint32_t* const top = reinterpret_cast<uint32_t*>(d.target->Row(y0)) + x0;
    // A mirrored row's first pixel is entry run.first as well, the rest
    // below it.
    const uint32_t* const texels = made.texels + run.first;
    // Rows [start, end), entries [first, last) not clear in them all told.
    auto blendRows = [&](int start, int end, int first, int last) {
        first = std::max(first, lowest);
        last = std::min(last, past);
        if (first >= last) return;
        // Whole steps of four from the row's start, as the blend takes them:
        // a few pixels more cost less than a pixel-by-pixel tail.
        const int from = (run.mirrored ? past - last : first - lowest) & ~3;
        const int to = std::min(width, ((run.mirrored ? past - first : last - lowest) + 3) & ~3);
        blend(texels + stride * start + (run.mirrored ? -from : from), stride, top + pitch * start + from, pitch,
              to - from, end - start);
    };
    // The rows a few runs at a time. Rows not made yet, as at the second
    // draw at an offset, stop the runs: all the draw's rows from there on
    // are made where they lie, up to any the kept rows lack, so the runs
    // after them are whole.
    constexpr int kRuns = 8;
    FilteredRows::Run runs[kRuns];
    int most = std::min(made.count, y1 - y0), i = 0;
    while (i < most) {
        int found = 0;
        const int from = i;
        i += FilteredRows::GroupRuns(made.made + from, most - from, lowest, past, skipClear, runs, kRuns, found);
        for (int k = 0; k < found; ++k)
            blendRows(from + runs[k].start, from + runs[k].end, runs[k].first, runs[k].last);
        if (i == most || found == kRuns) continue;
        for (int r = i; r < most; ++r)
            if (!made.made[r].Ready() && !filtered.Row(d.samplers[0], rows.Row(y0 + r)).texels) most = r;
    }
    return y0 + i;
}

void DrawRect(DrawSetup& d, const RectSpec& r) {
    const int x0 = static_cast<int>(std::max<int64_t>(CeilDiv(r.xL, kSub), d.clip.left));
    const int x1 = static_cast<int>(std::min<int64_t>(CeilDiv(r.xR, kSub), d.clip.right));  // exclusive
    const int y0 = static_cast<int>(std::max<int64_t>(CeilDiv(r.yT, kSub), d.clip.top));
    const int y1 = static_cast<int>(std::min<int64_t>(CeilDiv(r.yB, kSub), d.clip.bottom));
    if (x0 >= x1 || y0 >= y1) return;
    const int width = x1 - x0;

    const double xLf = r.xL / double(kSub), xRf = r.xR / double(kSub);
    const double yTf = r.yT / double(kSub), yBf = r.yB / double(kSub);
    double dudx[2], dvdy[2], uStart[2];
    for (int k = 0; k < kMaxTextureStages; ++k) {
        dudx[k] = (r.uR[k] - r.uL[k]) / (xRf - xLf);
        dvdy[k] = (r.vB[k] - r.vT[k]) / (yBf - yTf);
        uStart[k] = r.uL[k] + (x0 - xLf) * dudx[k];
    }
    const double ugy[2] = {0, 0}, vgx[2] = {0, 0};
    ChooseFilters(d, dudx, ugy, vgx, dvdy);

    // Texels one to one on pixels: whole rows of the texture are used as is.
    const SamplerSetup& s0 = d.samplers[0];
    const double tol = 1.0 / 512.0;
    const bool oneToOne =
        d.textured[0] && !d.program && std::fabs(dudx[0] - 1.0) * width <= tol && NearInteger(uStart[0] - 0.5, tol);
    const int tx0 = oneToOne ? static_cast<int>(LlRound(uStart[0] - 0.5)) : 0;
    const bool rowInside = oneToOne && tx0 >= 0 && tx0 + width <= s0.view.width;
    const bool passThrough = PassesTexturesThrough(d, r.color);
    const bool zeroCopy = rowInside && passThrough;

    // Rows one to one as well: texel row ty0 + (py - y0) for every row.
    const double vStart = r.vT[0] + (y0 - yTf) * dvdy[0];
    const bool rowsOneToOne =
        rowInside && std::fabs(dvdy[0] - 1.0) * (y1 - y0) <= tol && NearInteger(vStart - 0.5, tol);
    const int ty0 = rowsOneToOne ? static_cast<int>(LlRound(vStart - 0.5)) : 0;
    // Those texel rows within the texture, as a sprite's are: neither
    // wrapped nor clamped, each a texel pitch after the last.
    const bool rowsWithin = rowsOneToOne && ty0 >= 0 && ty0 + (y1 - y0) <= s0.view.height;
    // Every pixel of the target is about to be copied from a texel: a fill
    // of the target not made yet never needs to be.
    if (zeroCopy && rowsOneToOne && !d.depthStencil && d.ignoresTarget && x0 == 0 && y0 == 0 &&
        x1 == d.target->Width() && y1 == d.target->Height())
        d.target->ForgetFill();

    const ColumnRun run = PlanColumnRun(d, uStart[0], dudx[0], width);
    uint32_t blended[kChunk];
    FilteredRows* filtered = run.ok && d.textures[0] ? &d.textures[0]->Filtered() : nullptr;
    if (filtered) filtered->BeginDraw(s0, d.textures[0]->Version(), run.fx);

    const UnitRows unitRows = PlanUnitRows(r.vT[0], dvdy[0], yTf, y0, y1, s0.wrapV);

    ChunkInputs in;
    // Kept rows that step one texel row a pixel row into a 32-bit target, as
    // unscaled sprites at a shared offset are drawn (most rows of a busy
    // frame): each is blended straight from the kept texels, without the
    // coordinates below, and skipped where it is clear under a blend that
    // leaves the target as it is there. Clear edges are blended with the
    // rest: rows cut to lengths of their own cost the blend more in branches
    // it guesses wrong than it saves.
    const bool keptRows =
        filtered && !run.mirrored && !rowInside && unitRows.ok && d.direct32 && !d.depthStencil && !d.textured[1];
    // Narrow sprites at whole pixels, or read from the kept rows, are blended
    // a run of rows at a time; rows the kept rows lack go the ways below,
    // from the first one on. A narrow mirrored sprite's kept rows go so too.
    const bool together = passThrough && d.overRows && width <= kOverRowsPixels && d.direct32;
    const bool mirroredKeptRows = together && filtered && run.mirrored && unitRows.ok;
    bool skipClear = false;
    if (keptRows || mirroredKeptRows) {
        MarkRowsWritten(d, y0, y1);
        // Stages that pass the texel through keep a clear one clear: only
        // others are asked.
        skipClear = d.keepsTargetUnderClear && (passThrough || ClearTexelStaysClear(d, r.color));
    }
    // Texel row ty from the row's first texel, under the addressing mode.
    auto texelRow = [&s0, tx0](int ty) {
        ty = s0.wrapV ? ((ty % s0.view.height) + s0.view.height) % s0.view.height
                      : std::clamp(ty, 0, s0.view.height - 1);
        return s0.view.pixels + static_cast<size_t>(ty) * s0.view.pitch + tx0;
    };
    // A scaled rectangle's rows all sample the same texel columns: those are
    // planned once, and each texel row is blended across once for the rows
    // that read it.
    static_assert(ScaledRows::kMostColumns <= kChunk, "a scaled rectangle planned once is one chunk wide");
    ScaledRows scaled;
    bool scaledRows = false;
    if (d.textured[0] && !d.program && !oneToOne && !run.ok && width <= ScaledRows::kMostColumns) {
        int32_t u[ScaledRows::kMostColumns];
        StepCoordinates(Reduce(uStart[0], s0.wrapU, s0.view.width), dudx[0], width, u);
        scaledRows = scaled.Begin(s0, u, width);
    }
    int rowsLeft = y0;
    if (together && zeroCopy && rowsOneToOne) {
        MarkRowsWritten(d, y0, y1);
        uint32_t* dst = reinterpret_cast<uint32_t*>(d.target->Row(y0)) + x0;
        const size_t pitch = static_cast<size_t>(d.target->Pitch()) / sizeof(uint32_t);
        if (rowsWithin) {
            static const OverStridedFn strided = ChooseOverStrided();
            strided(texelRow(ty0), s0.view.pitch, dst, static_cast<ptrdiff_t>(pitch), width, y1 - y0);
            return;
        }
        OverRun rows(width);
        for (int py = y0; py < y1; ++py, dst += pitch) rows.Add(texelRow(ty0 + (py - y0)), dst);
        rows.Flush();
        return;
    }
    if (together && (keptRows || mirroredKeptRows))
        rowsLeft = BlendKeptRowsTogether(d, *filtered, unitRows, run, x0, width, y0, y1, skipClear);
    // Rows no kept rows hold, as an image moving on its own gives at each
    // new offset: its columns are planned as a scaled image's are, so each
    // texel row is blended across once rather than once for each of the two
    // pixel rows that read it.
    if (together && run.ok && !oneToOne && rowsLeft < y1) {
        int32_t u[ScaledRows::kMostColumns];
        StepCoordinates(Reduce(uStart[0], s0.wrapU, s0.view.width), dudx[0], width, u);
        scaledRows = scaled.Begin(s0, u, width);
    }
    if (together && scaledRows) {
        MarkRowsWritten(d, rowsLeft, y1);
        OverRun rows(width);
        // A scaled image's rows, at a size drawn before, are read from the
        // texture's kept ones (an image moving unscaled keeps its rows
        // filtered at its offset instead).
        ScaledImages* kept = nullptr;
        if (!run.ok && d.textures[0]) {
            ScaledImages& images = d.textures[0]->Scaled();
            if (images.BeginDraw(s0, d.textures[0]->Version(), scaled.Columns())) kept = &images;
        }
        for (int py = rowsLeft; py < y1; ++py) {
            // Rows a texel row apart step as the kept rows do, without the
            // double arithmetic of the general row.
            const int32_t v = unitRows.ok ? unitRows.Row(py)
                                          : ToFixed16(Reduce(r.vT[0] + (py - yTf) * dvdy[0], s0.wrapV, s0.view.height));
            if (skipClear && filtered && filtered->ClearAt(v)) continue;
            uint32_t* const dst = reinterpret_cast<uint32_t*>(d.target->Row(py)) + x0;
            if (const ScaledImages::Row row = kept ? kept->At(v) : ScaledImages::Row{}; row.samples) {
                if (!row.made) scaled.RowInto(v, row.samples);
                rows.Add(row.samples, dst);
                continue;
            }
            rows.AddMade(dst, [&](uint32_t* made) { scaled.RowInto(v, made); });
        }
        rows.Flush();
        return;
    }
    // Whole texel rows within the texture, written as they are (a wide
    // image at whole pixels), without the coordinates the rows below work out.
    if (zeroCopy && rowsWithin) {
        const uint32_t* src = texelRow(ty0 + (rowsLeft - y0));
        // Blended over a 32-bit target, as wide sprites and buildings are,
        // the rows go to the over blend as its row blend takes them, a texel
        // pitch and a pitch apart, without a call through the span at each.
        if (d.overRows && d.direct32) {
            static const OverStridedFn strided = ChooseOverStrided();
            MarkRowsWritten(d, rowsLeft, y1);
            const auto pitch = static_cast<ptrdiff_t>(d.target->Pitch() / sizeof(uint32_t));
            strided(src, s0.view.pitch, reinterpret_cast<uint32_t*>(d.target->Row(rowsLeft)) + x0, pitch, width,
                    y1 - rowsLeft);
            return;
        }
        for (int py = rowsLeft; py < y1; ++py, src += s0.view.pitch) WriteSpan(d, x0, py, width, src, nullptr);
        return;
    }
    // The colour is the same for every pixel: its chunk is filled once.
    std::fill_n(in.diffuse, std::min(width, kChunk), r.color);
    in.flat = true;
    in.flatColor = r.color;
    for (int py = rowsLeft; py < y1; ++py) {
        if (keptRows) {
            if (const KeptRow kept = filtered->Row(s0, unitRows.Row(py)); kept.texels) {
                const uint32_t* src = kept.texels + run.first;
                if (skipClear && (kept.first >= run.first + width || kept.end <= run.first)) continue;
                if (passThrough) {
                    d.blendFn(d.blend, src, nullptr, reinterpret_cast<uint32_t*>(d.target->Row(py)) + x0, width);
                } else {
                    for (int x = 0; x < width; x += kChunk)
                        ShadeChunk(d, x0 + x, py, std::min(kChunk, width - x), in, src + x);
                }
                continue;
            }
        }
        double v[2];
        for (int k = 0; k < kMaxTextureStages; ++k) v[k] = r.vT[k] + (py - yTf) * dvdy[k];
        const uint32_t* texRow = nullptr;
        if (rowsOneToOne || (rowInside && NearInteger(v[0] - 0.5, tol)))
            texRow = texelRow(rowsOneToOne ? ty0 + (py - y0) : static_cast<int>(LlRound(v[0] - 0.5)));
        if (texRow && zeroCopy) {
            WriteSpan(d, x0, py, width, texRow, nullptr);
            continue;
        }
        RowPair rows;
        const uint32_t* mirroredKept = nullptr;
        if (!texRow && run.ok) {
            const int32_t vFixed = unitRows.ok ? unitRows.Row(py) : ToFixed16(Reduce(v[0], s0.wrapV, s0.view.height));
            // Rows filtered for an earlier draw at this offset serve as texels
            // (asked above already for kept-row draws, which found none).
            if (const uint32_t* kept = filtered && !keptRows ? filtered->Row(s0, vFixed).texels : nullptr) {
                if (unitRows.ok && py + 1 < y1) filtered->Prefetch(unitRows.Row(py + 1), run.Lowest(0, width), width);
                if (run.mirrored) {
                    mirroredKept = kept;
                } else {
                    texRow = kept + run.first;
                    if (zeroCopy || passThrough) {
                        WriteSpan(d, x0, py, width, texRow, nullptr);
                        continue;
                    }
                }
            } else {
                rows = BilinearRows(s0, vFixed);
            }
        }
        for (int x = x0; x < x1; x += kChunk) {
            const int n = std::min(kChunk, x1 - x);
            const uint32_t* tex0 = texRow ? texRow + (x - x0) : nullptr;
            if (rows.upper || mirroredKept) {
                if (mirroredKept) {
                    MirroredFromKept(run, mirroredKept, x - x0, n, blended);
                } else if (run.mirrored) {
                    MirroredFromRows(run, rows, x - x0, n, blended);
                } else {
                    const int first = run.first + (x - x0);
                    BilinearRunSpan(rows, first, x == x0 ? run.firstLeft : first,
                                    x + n == x1 ? run.lastRight : first + n, run.fx, n, blended);
                }
                tex0 = blended;
                if (passThrough) {
                    WriteSpan(d, x, py, n, blended, nullptr);
                    continue;
                }
            } else if (scaledRows) {
                tex0 = scaled.Row(ToFixed16(Reduce(v[0], s0.wrapV, s0.view.height)));
            }
            // Stage 0 reads straight from its texels when they are at hand.
            for (int k = tex0 ? 1 : 0; k < kMaxTextureStages; ++k) {
                if (!d.textured[k]) continue;
                const SamplerSetup& s = d.samplers[k];
                const double u = Reduce(uStart[k] + (x - x0) * dudx[k], s.wrapU, s.view.width);
                StepCoordinates(u, dudx[k], n, in.u[k]);
                std::fill_n(in.v[k], n, ToFixed16(Reduce(v[k], s.wrapV, s.view.height)));
            }
            ShadeChunk(d, x, py, n, in, tex0);
        }
    }
}

// Whether two vertices have equal colour channels and w, as floats compare.
inline bool SameColourAndW(const RasterVertex& o, const RasterVertex& a) {
    static_assert(kR == 0 && kG == 1 && kB == 2 && kA == 3, "the colour channels open the attributes");
#if defined(__SSE2__)
    // The four channels at once: an ordered comparison, as == is.
    return o.w == a.w && _mm_movemask_ps(_mm_cmpeq_ps(_mm_loadu_ps(o.a), _mm_loadu_ps(a.a))) == 0xF;
#else
    return o.w == a.w && o.a[kR] == a.a[kR] && o.a[kG] == a.a[kG] && o.a[kB] == a.a[kB] && o.a[kA] == a.a[kA];
#endif
}

// The rectangle between diagonal corners c0 and c1 (apart in x and in y),
// its texture coordinates theirs: u at each one's x, v at its y.
void DrawDiagonalRect(DrawSetup& d, const RasterVertex& c0, const RasterVertex& c1, uint32_t color) {
    const RasterVertex* left = c0.fx < c1.fx ? &c0 : &c1;
    const RasterVertex* right = c0.fx < c1.fx ? &c1 : &c0;
    const RasterVertex* top = c0.fy < c1.fy ? &c0 : &c1;
    const RasterVertex* bottom = c0.fy < c1.fy ? &c1 : &c0;
    RectSpec r;
    r.xL = left->fx;
    r.xR = right->fx;
    r.yT = top->fy;
    r.yB = bottom->fy;
    r.uL[0] = left->a[kU0];
    r.uR[0] = right->a[kU0];
    r.uL[1] = left->a[kU1];
    r.uR[1] = right->a[kU1];
    r.vT[0] = top->a[kV0];
    r.vB[0] = bottom->a[kV0];
    r.vT[1] = top->a[kV1];
    r.vB[1] = bottom->a[kV1];
    r.color = color;
    DrawRect(d, r);
}

bool TryDrawRectCorners(DrawSetup& d, const RasterVertex* const corner[4], const RasterVertex* const t0[3],
                        const RasterVertex* const t1[3]) {
    if (d.program) return false;
    // corner[0] and corner[1], each one triangle's own, and the shared pair
    // must be the two diagonals.
    if (corner[0]->fx == corner[1]->fx || corner[0]->fy == corner[1]->fy) return false;
    const int64_t xa = corner[0]->fx, xb = corner[1]->fx, ya = corner[0]->fy, yb = corner[1]->fy;
    const bool sharedOk = (corner[2]->fx == xa && corner[2]->fy == yb && corner[3]->fx == xb && corner[3]->fy == ya) ||
                          (corner[2]->fx == xb && corner[2]->fy == ya && corner[3]->fx == xa && corner[3]->fy == yb);
    if (!sharedOk) return false;
    const RasterVertex& a = *corner[0];
    for (int i = 1; i < 4; ++i)
        if (!SameColourAndW(*corner[i], a)) return false;
    // Texture coordinates must follow the axes: u by x only, v by y only.
    // The corners sharing an x are each diagonal corner with the shared
    // corner at its x; those sharing a y, with the other shared corner.
    const RasterVertex& atXa = corner[2]->fx == xa ? *corner[2] : *corner[3];  // at (xa, yb)
    const RasterVertex& atXb = corner[2]->fx == xa ? *corner[3] : *corner[2];  // at (xb, ya)
    const auto sameU = [](const RasterVertex& p, const RasterVertex& q) {
        return p.a[kU0] == q.a[kU0] && p.a[kU1] == q.a[kU1];
    };
    const auto sameV = [](const RasterVertex& p, const RasterVertex& q) {
        return p.a[kV0] == q.a[kV0] && p.a[kV1] == q.a[kV1];
    };
    if (!sameU(*corner[0], atXa) || !sameU(*corner[1], atXb) || !sameV(*corner[0], atXb) || !sameV(*corner[1], atXa))
        return false;
    const int64_t area0 = SignedArea(*t0[0], *t0[1], *t0[2]), area1 = SignedArea(*t1[0], *t1[1], *t1[2]);
    if ((area0 > 0) != (area1 > 0)) return false;
    if (IsCulled(d, area0) || ClipIsEmpty(d)) return true;
    DrawDiagonalRect(d, *corner[0], *corner[1], PackColor(a.a));
    return true;
}

}  // namespace

bool DrawStripRectCorners(DrawSetup& d, const RasterVertex& v0, const RasterVertex& v3, uint32_t color) {
    if (d.program || v0.fx == v3.fx || v0.fy == v3.fy) return false;
    // The area TryDrawRectCorners finds for both triangles, (v0, v1, v2)
    // and (v2, v1, v3), with v1 and v2 where they lie.
    const int64_t area = -((v3.fx - v0.fx) * (v3.fy - v0.fy));
    if (IsCulled(d, area) || ClipIsEmpty(d)) return true;
    DrawDiagonalRect(d, v0, v3, color);
    return true;
}

bool TryDrawRect(DrawSetup& d, const RasterVertex* const t0[3], const RasterVertex* const t1[3]) {
    if (d.program) return false;
    // The two triangles must share exactly two vertices.
    const RasterVertex* unique0 = nullptr;
    int shared = 0;
    for (int i = 0; i < 3; ++i) {
        bool found = false;
        for (int j = 0; j < 3; ++j) found = found || t0[i] == t1[j];
        if (found)
            ++shared;
        else
            unique0 = t0[i];
    }
    if (shared != 2 || !unique0) return false;
    const RasterVertex* unique1 = nullptr;
    for (int j = 0; j < 3; ++j)
        if (t1[j] != t0[0] && t1[j] != t0[1] && t1[j] != t0[2]) unique1 = t1[j];
    if (!unique1) return false;
    const RasterVertex* corner[4] = {unique0, unique1, nullptr, nullptr};
    int c = 2;
    for (int i = 0; i < 3; ++i)
        if (t0[i] != unique0) corner[c++] = t0[i];
    return TryDrawRectCorners(d, corner, t0, t1);
}

bool TryDrawStripRect(DrawSetup& d, const RasterVertex* const v[4]) {
    // The strip's triangles are (v0, v1, v2) and (v2, v1, v3): v0 and v3
    // are theirs alone, v1 and v2 shared, in the order the first lists them.
    const RasterVertex* const t0[3] = {v[0], v[1], v[2]};
    const RasterVertex* const t1[3] = {v[2], v[1], v[3]};
    const RasterVertex* const corner[4] = {v[0], v[3], v[1], v[2]};
    return TryDrawRectCorners(d, corner, t0, t1);
}

}  // namespace plat::raster
