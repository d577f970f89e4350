// The image dump: every image that owns its pixels written as a PNG with a
// JPEG thumbnail, and an HTML page listing them largest first.

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <ctime>
#include <thread>

#include "app/services/image_memory.h"
#include "app/shell/vorn_app_base.h"
#include "foundation/system/string_utils.h"
#include "foundation/system/text.h"
#include "platform/system/debug_output.h"
#include "platform/system/file_system.h"
#include "rendering/image/image_surface.h"
#include "rendering/imagefile/image_files.h"

namespace {

// The folder is emptied by deleting it; another program may hold it for a
// moment, so making it again is retried, but a folder that cannot be made at
// all (read-only data) must not hang the game.
constexpr int kFolderAttempts = 10;
constexpr int kThumbnailSide = 96;
constexpr uint32_t kPageColour = 0xEEEEFF;

std::string Grouped(int64_t value) {
    return text::ToUtf8(CommaSeparate(static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX))));
}

// The surface's own pixels with straight alpha, as an image file holds them.
bool CopyPixels(ImageSurface& image, ImageData& out) {
    const uint32_t* bits = image.GetBits();
    const int w = image.sourceWidth, h = image.sourceHeight;
    if (!bits || !out.Allocate(w, h, false)) return false;
    for (size_t i = 0; i < out.PixelCount(); ++i) {
        uint32_t p = bits[i];
        const uint32_t a = p >> 24;
        if (image.premultiplied && a != 0 && a != 255) {
            auto un = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
            p = (a << 24) | (un((p >> 16) & 255) << 16) | (un((p >> 8) & 255) << 8) | un(p & 255);
        }
        out.GetBits()[i] = p;
    }
    return true;
}

// A box-filtered thumbnail within kThumbnailSide, laid over the page colour
// (a JPEG keeps no alpha).
bool MakeThumbnail(const ImageData& full, ImageData& thumb) {
    const int w = full.GetWidth(), h = full.GetHeight();
    const double scale = std::min(1.0, static_cast<double>(kThumbnailSide) / std::max(w, h));
    const int tw = std::max(1, static_cast<int>(w * scale)), th = std::max(1, static_cast<int>(h * scale));
    if (!thumb.Allocate(tw, th, false)) return false;
    for (int ty = 0; ty < th; ++ty) {
        const int y0 = ty * h / th, y1 = std::max(y0 + 1, (ty + 1) * h / th);
        for (int tx = 0; tx < tw; ++tx) {
            const int x0 = tx * w / tw, x1 = std::max(x0 + 1, (tx + 1) * w / tw);
            uint64_t sum[3] = {0, 0, 0};
            for (int y = y0; y < y1; ++y) {
                for (int x = x0; x < x1; ++x) {
                    const uint32_t p = full.Row(y)[x];
                    const uint32_t a = p >> 24;
                    for (int c = 0; c < 3; ++c) {
                        const uint32_t src = (p >> (c * 8)) & 255, bg = (kPageColour >> (c * 8)) & 255;
                        sum[c] += (src * a + bg * (255 - a) + 127) / 255;
                    }
                }
            }
            const uint64_t n = static_cast<uint64_t>(y1 - y0) * (x1 - x0);
            thumb.Row(ty)[tx] =
                0xFF000000u | static_cast<uint32_t>(((sum[2] / n) << 16) | ((sum[1] / n) << 8) | (sum[0] / n));
        }
    }
    return true;
}

std::string StorageKinds(const ImageMemory& m) {
    std::string kinds;
    if (m.hasBits) kinds += "mBits<BR>";
    if (m.hasTexture) kinds += std::string("Texture<BR>") + (m.texture32 ? "A8R8G8B8" : "A4R4G4B4");
    if (m.hasSurface) kinds += "DDSurface<BR>";
    return kinds.empty() ? "&nbsp;" : kinds;
}

}  // namespace

bool VornAppBase::DumpImages() {
    const std::string folder = (diagnosticsFolder_.empty() ? dataFolder_ : diagnosticsFolder_) + "_dump";
    bool made = false;
    for (int attempt = 0; attempt < kFolderAttempts && !made; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (plat::PathExists(folder) || plat::IsSymbolicLink(folder)) plat::RemoveDirectoryTree(folder);
        made = plat::CreateDirectory(folder);
    }
    if (!made) {
        const std::string message = "The image dump could not make the folder \"" + folder + "\".";
        plat::OutputDebugText(message + "\n");
        ShowMessageBox(L"Image Dump", text::FromUtf8(message));
        return false;
    }
    FILE* page = plat::OpenFile(folder + "/imagelist.html", "w");
    if (!page) return false;

    char when[64] = "";
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local)) std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
    std::fprintf(page, "<HTML><BODY BGCOLOR=EEEEFF><CENTER><FONT SIZE=+2><B>%s</B></FONT><BR>", when);

    const std::vector<ImageMemory> images = MeasureOwnImages(imageSet_.Snapshot());
    int64_t total = 0;
    for (const ImageMemory& m : images) total += m.Total();
    std::fprintf(page, "Total ImageSurface Allocation: %s bytes<BR>", Grouped(total).c_str());
    std::fprintf(page, "<TABLE BORDER=1 CELLSPACING=0 CELLPADDING=4>");

    bool allWritten = true;
    for (size_t n = 0; n < images.size(); ++n) {
        const ImageMemory& m = images[n];
        ImageData full, thumb;
        const std::string pngName = text::Format("img%04zu.png", n), jpgName = text::Format("thumb%04zu.jpg", n);
        if (!CopyPixels(*m.image, full) || !MakeThumbnail(full, thumb) ||
            !WritePNGImage(folder + "/" + pngName, full) || !WriteJPEGImage(folder + "/" + jpgName, thumb))
            allWritten = false;
        std::fprintf(page, "<TR><TD><A HREF=%s><IMG SRC=%s WIDTH=%d HEIGHT=%d></A></TD>", pngName.c_str(),
                     jpgName.c_str(), thumb.GetWidth(), thumb.GetHeight());
        std::fprintf(page, "<TD ALIGN=RIGHT>%d x %d<BR>%s bytes</TD>", m.image->width, m.image->height,
                     Grouped(m.Total()).c_str());
        std::fprintf(page, "<TD>%s</TD></TR>", StorageKinds(m).c_str());
    }
    std::fprintf(page, "<TR><TD>Totals</TD><TD ALIGN=RIGHT>%s bytes</TD><TD>&nbsp;</TD></TR>", Grouped(total).c_str());
    std::fprintf(page, "</TABLE></CENTER></BODY></HTML>");
    const bool closed = std::fclose(page) == 0;
    return allWritten && closed;
}
