#pragma once
// SysFont: the Font for installed system typefaces, made by face, point size
// and style through the platform's system-font service.
//
// Owns: a share of one platform font (copies share it), which stands for both
// the metrics font and the device font: its glyph rasters are the device
// font, made on first use and dropped whenever the device is released
// (D3DInterface::Cleanup calls ReleaseDeviceFont on every registered
// SysFont), and a small scratch image the text is rasterised into before it
// is drawn through the device under any mode but the plain premultiplied one,
// which blends the glyphs straight into the target's pixels (within one step
// per channel of the scratch route).
// Promises: height and ascent are the cell metrics of the face at the pixel
// size of the point size (12 points at 96 dpi: a 16-pixel em); measuring and
// drawing need a device and give 0 or nothing without one; text is drawn
// only into image surfaces, under the context's draw mode and clip.
// Threads: the font belongs to the drawing thread; the device lock is held
// while a device font is made or released and while text is drawn.

#include <memory>
#include <string>

#include "rendering/device/device_resources.h"
#include "rendering/font/font.h"

namespace plat {
class SystemFont;
struct FontRequest;
}  // namespace plat
class AppServices;
class ImageSurface;

class SysFont : public Font, public DeviceSysFont {
public:
    // The fonts.xml form: the pixel size from 96 dots per inch.
    static std::unique_ptr<SysFont> SysFontFromDesc(const std::string& face, int pointSize, bool italic, bool underline,
                                                    bool bold);
    // Begins making the face SysFontFromDesc with the same description will
    // ask for, beside the caller's other work.
    static void PrepareFromDesc(const std::string& face, int pointSize, bool italic, bool underline, bool bold);
    // Regular weight; the pixel size from the screen's dots per inch, as the
    // application reports it (96 without an application).
    SysFont(AppServices* app, const std::string& face, int pointSize);
    SysFont(const SysFont& other);
    SysFont& operator=(const SysFont&) = delete;
    ~SysFont() override;

    float StringWidth(const std::wstring& text) override;
    // Draws the text's cell with its top ascent - 1 pixels above y (the
    // baseline), cut at the clip; nothing unless the context draws into an
    // image surface.
    void DrawString(Graphics& g, float x, float y, const std::wstring& text, const Color& color,
                    const FRect& clip) override;
    Font* Duplicate() const override;

    // Makes the device font when there is none; false when no device is
    // there to make it on, or the face could not be made.
    bool CreateDeviceFont();
    void ReleaseDeviceFont() override;
    bool HasDeviceFont() const { return deviceFont_; }

    const std::string& GetFace() const { return face_; }
    bool IsBold() const { return bold_; }
    bool IsItalic() const { return italic_; }
    // Null when no font file could be found at all.
    const plat::SystemFont* GetSystemFont() const { return font_.get(); }

    bool shadow = false;

private:
    struct Style {
        int pointSize = 0;
        int dpi = 96;
        bool italic = false;
        bool underline = false;
        bool bold = false;
    };
    SysFont(AppServices* app, const std::string& face, const Style& style);
    static plat::FontRequest Request(const std::string& face, const Style& style);
    void CreateGdiFont(const Style& style);
    void Register();
    ImageSurface* Scratch(int width, int height);

    AppServices* app_ = nullptr;
    std::shared_ptr<plat::SystemFont> font_;
    bool deviceFont_ = false;
    std::string face_;
    bool bold_ = false;
    bool italic_ = false;
    std::unique_ptr<ImageSurface> scratch_;
};
