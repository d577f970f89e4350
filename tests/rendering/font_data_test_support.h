#pragma once
// Helpers for the font descriptor tests: an application double that records
// the error boxes, a holder that keeps one reference to a FontData, and a
// fixture that writes descriptors and glyph images into a fresh folder.

#include <gtest/gtest.h>
#include <png.h>

#include <string>
#include <vector>

#include "foundation/system/text.h"
#include "rendering/font/font_data.h"
#include "tests/rendering/image_test_support.h"

#include "tests/support/recording_services.h"

namespace testsupport {

// The system font some tests read through FreeType.
inline const char* const kSystemTypeface = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
// The font the game ships: its descriptor and its glyph sheet.
inline const std::string kShippedFontDescriptor = std::string(HALVARO_SOURCE_DIR) + "/data/fonts/dejavu_sans_16.txt";
inline const std::string kShippedFontSheet = std::string(HALVARO_SOURCE_DIR) + "/data/fonts/dejavu_sans_16.png";

using RecordingApp = ErrorBoxRecorder;

// One reference, dropped at the end of the scope.
class Held {
public:
    Held() : data_(new FontData) { data_->AddRef(); }
    ~Held() { data_->Release(); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    FontData* operator->() const { return data_; }
    FontData& operator*() const { return *data_; }

private:
    FontData* data_;
};

class FontDataTest : public ::testing::Test {
protected:
    // Writes the descriptor as UTF-8 behind a byte-order mark.
    std::string WriteDescriptor(const std::string& text, const std::string& name = "font.txt") {
        std::string path = dir.Path(name);
        std::string bytes = "\xEF\xBB\xBF" + text;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        testsupport::WriteBytes(path, testsupport::Bytes(bytes.begin(), bytes.end()));
        return path;
    }

    // An RGBA image of the given size whose pixel (x, y) has alpha x + y.
    void WriteImage(const std::string& name, int width, int height) {
        testsupport::PngLayout layout;
        layout.width = width;
        layout.height = height;
        layout.colorType = PNG_COLOR_TYPE_RGBA;
        for (int y = 0; y < height; ++y) {
            testsupport::Bytes row;
            for (int x = 0; x < width; ++x) {
                row.insert(row.end(), {255, 255, 255, static_cast<uint8_t>(x + y)});
            }
            layout.rows.push_back(row);
        }
        std::filesystem::create_directories(std::filesystem::path(dir.Path(name)).parent_path());
        testsupport::WritePngDirect(dir.Path(name), layout);
    }

    // Loads `text` into `font`, with the recording application as error window.
    bool Load(Held& font, const std::string& text) { return font->Load(WriteDescriptor(text), &app); }

    // The file, line and line text part of an error box.
    std::wstring Box(const std::string& message, int line, const std::string& lineText,
                     const std::string& name = "font.txt") {
        return text::Widen("Font Descriptor Error in " + dir.Path(name) + "\r\n" + message + " on Line " +
                           std::to_string(line) + ":\r\n\r\n" + lineText);
    }

    // Only the messages of the boxes, without file and line.
    std::vector<std::string> Messages() const {
        std::vector<std::string> out;
        for (const std::wstring& box : app.boxes) {
            size_t start = box.find(L"\r\n");
            size_t end = box.find(L" on Line ");
            std::wstring message = box.substr(start + 2, end == std::wstring::npos ? end : end - start - 2);
            std::string narrow;
            text::NarrowAscii(message, narrow);
            out.push_back(narrow);
        }
        return out;
    }

    testsupport::TempDir dir;
    RecordingApp app;
};

}  // namespace testsupport
