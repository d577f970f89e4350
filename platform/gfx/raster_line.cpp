// Lines and points. A line lights a pixel when it leaves the pixel's
// diamond, so a line starting on a pixel centre lights that pixel and one
// ending on a pixel centre does not: strips join without double pixels.
#include <algorithm>
#include <cmath>

#include "platform/gfx/raster.h"

namespace plat::raster {

namespace {

void ShadePixel(DrawSetup& d, int x, int y, const float* attr, ChunkInputs& in) {
    if (x < d.clip.left || x >= d.clip.right || y < d.clip.top || y >= d.clip.bottom) return;
    in.diffuse[0] = PackColor(attr);
    in.flat = false;
    for (int k = 0; k < kMaxTextureStages; ++k) {
        const float u = attr[k == 0 ? kU0 : kU1], v = attr[k == 0 ? kV0 : kV1];
        constexpr double kLimit = kMaxFixedTexel;
        in.u[k][0] = static_cast<int32_t>(std::clamp(std::round(u * 65536.0), -kLimit, kLimit));
        in.v[k][0] = static_cast<int32_t>(std::clamp(std::round(v * 65536.0), -kLimit, kLimit));
    }
    ShadeChunk(d, x, y, 1, in, nullptr);
}

}  // namespace

void DrawLine(DrawSetup& d, const RasterVertex& a, const RasterVertex& b) {
    const int64_t dxf = b.fx - a.fx, dyf = b.fy - a.fy;
    if ((dxf == 0 && dyf == 0) || ClipIsEmpty(d)) return;
    const bool xMajor = std::llabs(dxf) >= std::llabs(dyf);
    // Work along the major axis: m is the major coordinate, n the minor one.
    const int64_t ma = xMajor ? a.fx : a.fy, mb = xMajor ? b.fx : b.fy;
    const int64_t na = xMajor ? a.fy : a.fx, nb = xMajor ? b.fy : b.fx;
    const int64_t half = kSub / 2;
    int64_t first, last;
    if (mb > ma) {  // pixels whose exit point c + 0.5 lies in (start, end]
        first = FloorDiv(ma - half, kSub) + 1;
        last = FloorDiv(mb - half, kSub);
    } else {  // exit point c - 0.5 in [end, start)
        first = CeilDiv(mb + half, kSub);
        last = CeilDiv(ma + half, kSub) - 1;
    }
    const double span = static_cast<double>(mb - ma);
    ChunkInputs in;
    float attr[kAttrCount];
    for (int64_t c = first; c <= last; ++c) {
        double t = (static_cast<double>(c * kSub) - static_cast<double>(ma)) / span;
        const double minor = (static_cast<double>(na) + t * static_cast<double>(nb - na)) / kSub;
        const int64_t m = static_cast<int64_t>(std::floor(minor + 0.5));
        t = std::clamp(t, 0.0, 1.0);
        for (int k = 0; k < kAttrCount; ++k) attr[k] = static_cast<float>(a.a[k] + t * (b.a[k] - a.a[k]));
        const int64_t x = xMajor ? c : m, y = xMajor ? m : c;
        if (x < INT32_MIN || x > INT32_MAX || y < INT32_MIN || y > INT32_MAX) continue;
        ShadePixel(d, static_cast<int>(x), static_cast<int>(y), attr, in);
    }
}

void DrawPoint(DrawSetup& d, const RasterVertex& v) {
    if (ClipIsEmpty(d)) return;
    // A one-pixel square centred on the point, top-left rule on its edges.
    const int64_t x = CeilDiv(v.fx - kSub / 2, kSub), y = CeilDiv(v.fy - kSub / 2, kSub);
    if (x < INT32_MIN || x > INT32_MAX || y < INT32_MIN || y > INT32_MAX) return;
    ChunkInputs in;
    ShadePixel(d, static_cast<int>(x), static_cast<int>(y), v.a, in);
}

}  // namespace plat::raster
