// End to end: the game's data folder packed into a pack file as the build
// packs it, the sample menu script read from that pack with the fonts and
// images it names, its buttons clicked through the widget manager, and the
// frame drawn on the software device compared with a golden picture that
// this build made (HALVARO_WRITE_GOLDEN=1 writes it again).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "foundation/files/pak_interface.h"
#include "foundation/files/pak_writer.h"
#include "foundation/system/app_services.h"
#include "foundation/system/text.h"
#include "rendering/font/fonts_xml.h"
#include "rendering/image/image_data.h"
#include "rendering/imagefile/image_files.h"
#include "tests/platform/temp_folder.h"
#include "tests/rendering/image_surface_test_support.h"
#include "widgets/controls/text_label.h"
#include "widgets/script/animation_stats.h"
#include "widgets/script/animation_widget.h"
#include "widgets/tree/widget_manager.h"

namespace {

const std::string kGolden = std::string(HALVARO_SOURCE_DIR) + "/tests/widgets/golden/menu_sample.png";

// The application's image registry as far as the menu needs it: images under
// "images/" in the pack, by name; the button's image holds three looks.
class PackImages : public NullAppServices {
public:
    ExtendedPropertyInterface* FindImageByName(std::wstring_view name) override {
        const std::wstring key(name);
        if (auto it = images_.find(key); it != images_.end()) return it->second.get();
        std::unique_ptr<ImageData> data = GetImage("images\\" + text::ToUtf8(name), true);
        if (!data) return nullptr;
        auto image = std::make_unique<ImageSurface>();
        image->SetBits(data->GetBits(), data->GetWidth(), data->GetHeight(), true);
        image->name = key;
        if (key == L"menu_button") image->SetRowsCols(1, 3);
        return (images_[key] = std::move(image)).get();
    }
    void Clear() { images_.clear(); }

private:
    std::map<std::wstring, std::unique_ptr<ImageSurface>> images_;
    ScopedService<AppServices> installed_{this};
};

// The menu's owner: hears the actions its buttons pass up.
class MenuHolder : public AnimationWidget {
public:
    using AnimationWidget::AnimationWidget;
    void DoAction(std::wstring_view action, std::wstring_view parameter, int number) override {
        actions.push_back(std::wstring(action) + L"/" + std::wstring(parameter) + L"/" + std::to_wstring(number));
    }
    std::vector<std::wstring> actions;
};

class MenuSampleTest : public testsupport::ImageDeviceTest {
protected:
    void SetUp() override {
        ImageDeviceTest::SetUp();
        Start(plat::DeviceCaps{});
        ASSERT_TRUE(BuildPack(std::string(HALVARO_SOURCE_DIR) + "/data", folder / "main.pak").ok);
        std::filesystem::create_directories(folder / "run");
        // Nothing loose where the data is looked for: all of it comes from the pack.
        cwd = std::make_unique<testsupport::CurrentDirectoryGuard>(folder.Path() / "run");
        pak.Mount(folder / "main.pak");
        AnimationLibrary().clear();
        LoadFontsXml(false);
        AnimationStats loaded(false);
        // The overlay holds at "persist"; where the waiting words are not
        // there, a stand-in holds it the same way.
        AnimationStep persist;
        persist.name = L"persist";
        if (!ScriptWordTable().Find(WordGroup::kNoObject, persist)) {
            ScriptWordTable().Register(WordGroup::kNoObject, L"persist",
                                       [](AnimationWidget& w, const AnimationStep&, DynamicWidget*) {
                                           w.SetWaitKind(AnimationWidget::kPersist);
                                           return WordResult::kStop;
                                       });
            standIn = true;
        }
        mgr = std::make_unique<WidgetManager>();
        mgr->SetScreenImage(Target());
    }
    void TearDown() override {
        if (standIn) ScriptWordTable().Unregister(WordGroup::kNoObject, L"persist");
        mgr.reset();
        images.Clear();
        UnloadFonts();
        AnimationLibrary().clear();
        cwd.reset();
        ImageDeviceTest::TearDown();
    }

    DynamicWidget* Object(const wchar_t* id) { return menu->Variables()[id].ToWidget<DynamicWidget>(); }
    void Click(const wchar_t* id) {
        DynamicWidget* button = Object(id);
        ASSERT_NE(button, nullptr) << text::ToUtf8(id);
        const FRect r = button->MapRectToScreen(FRect(0.0f, 0.0f, 1.0f, 1.0f));
        const int x = static_cast<int>(r.x) + button->GetWidth() / 2,
                  y = static_cast<int>(r.y) + button->GetHeight() / 2;
        mgr->WindowMouseMove(x, y);
        mgr->WindowMouseDown(x, y, 1);
        mgr->WindowMouseUp(x, y, 1);
        mgr->WindowMouseMove(1, 1);
        mgr->UpdateFrame();
    }

    testsupport::TempFolder folder;
    std::unique_ptr<testsupport::CurrentDirectoryGuard> cwd;
    PakInterface pak;
    PackImages images;
    std::unique_ptr<WidgetManager> mgr;
    MenuHolder* menu = nullptr;
    bool standIn = false;
};

TEST_F(MenuSampleTest, MenuFromThePackAnswersClicksAndDrawsTheGoldenFrame) {
    ASSERT_TRUE(AnimationExists(L"menu_sample"));
    menu = new MenuHolder(L"menu_sample", 0, 0, false);
    mgr->AddWidget(menu);
    for (const wchar_t* id : {L"backdrop", L"stripe", L"logo", L"title", L"tag", L"play", L"help", L"quit", L"hint"})
        EXPECT_NE(Object(id), nullptr) << text::ToUtf8(id);
    ASSERT_EQ(menu->RunningAnimations().size(), 1u);  // the overlay

    Click(L"help");
    auto* hint = dynamic_cast<TextLabel*>(Object(L"hint"));
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->GetText(), L"Help: press Play to start");
    EXPECT_NE(Object(L"marker"), nullptr);
    Click(L"quit");
    EXPECT_EQ(menu->actions, std::vector<std::wstring>{L"quit/now/1"});

    mgr->MarkAllDirty();
    ASSERT_TRUE(mgr->DrawScreen());
    ImageSurface* screen = Target();
    const int w = screen->GetWidth(), h = screen->GetHeight();
    const uint32_t* frame = screen->GetBits();
    ASSERT_NE(frame, nullptr);

    if (std::getenv("HALVARO_WRITE_GOLDEN")) {
        ImageData out;
        ASSERT_TRUE(out.Allocate(w, h, false));
        for (int i = 0; i < w * h; ++i) out.GetBits()[i] = frame[i];
        std::filesystem::create_directories(std::filesystem::path(kGolden).parent_path());
        ASSERT_TRUE(WritePNGImage(kGolden, out));
    }
    std::unique_ptr<ImageData> golden = GetPNGImage(kGolden);
    ASSERT_NE(golden, nullptr) << "no golden picture at " << kGolden;
    ASSERT_EQ(golden->GetWidth(), w);
    ASSERT_EQ(golden->GetHeight(), h);
    // Nothing but the rounding of a blend may differ: one step per channel.
    int differing = 0;
    for (int i = 0; i < w * h; ++i) {
        const uint32_t a = frame[i], b = golden->GetBits()[i];
        for (int shift = 0; shift < 32; shift += 8) {
            const int ca = static_cast<int>(a >> shift & 0xFF), cb = static_cast<int>(b >> shift & 0xFF);
            if (std::abs(ca - cb) > 1) {
                if (++differing <= 5)
                    ADD_FAILURE() << "pixel " << i % w << "," << i / w << std::hex << " " << a << " vs " << b;
                break;
            }
        }
    }
    EXPECT_EQ(differing, 0);

    Click(L"play");  // launch replaces the script; its objects stay
    EXPECT_EQ(menu->GetDefinition()->name, L"menu_sample_play");
    EXPECT_NE(Object(L"starting"), nullptr);
    EXPECT_NE(Object(L"help"), nullptr);
}

}  // namespace
