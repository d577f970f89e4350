#pragma once
// Scene scripts that draw: a started software device, a widget manager with
// an idle interpreter in it, images the application registers by name, and
// a system font in the font map under "test". Removed widgets wait in the
// tree's own list until the fixture ends.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "foundation/system/app_services.h"
#include "rendering/font/fonts_xml.h"
#include "rendering/font/sys_font.h"
#include "tests/rendering/image_surface_test_support.h"
#include "widgets/script/animation_stats.h"
#include "widgets/script/animation_widget.h"
#include "widgets/tree/widget_manager.h"

namespace testsupport {

// Finds the images the test registered; installed while it lives.
class NamedImagesApp : public NullAppServices {
public:
    ExtendedPropertyInterface* FindImageByName(std::wstring_view name) override {
        auto it = images.find(std::wstring(name));
        return it == images.end() ? nullptr : it->second;
    }
    std::map<std::wstring, Image*> images;

private:
    ScopedService<AppServices> installed_{this};
};

class ScriptDeviceTest : public ImageDeviceTest {
protected:
    void SetUp() override {
        ImageDeviceTest::SetUp();
        Start(plat::DeviceCaps{});
        AnimationLibrary().clear();
        GetFontMap().Set(L"test", std::make_unique<SysFont>(nullptr, "DejaVu Sans", 12));
        font = GetFontMap().Find(L"test");
        mgr = std::make_unique<WidgetManager>();
        script = new AnimationWidget(L"", 0, 0, false);
        mgr->AddWidget(script);
    }
    void TearDown() override {
        mgr.reset();
        UnloadFonts();
        AnimationLibrary().clear();
        ImageDeviceTest::TearDown();
    }

    // A w x h image of one premultiplied colour, registered under `name` when given.
    ImageSurface* Solid(int w, int h, uint32_t argb, const wchar_t* name = nullptr) {
        ImageSurface* image = MakeImage(std::vector<uint32_t>(static_cast<size_t>(w) * h, argb), w, h);
        image->premultiplied = true;
        if (name) app.images[name] = image;
        return image;
    }
    void Run(std::vector<AnimationStep> steps) {
        AnimationDefinition* definition = FindAnimation(L"script");
        definition->steps = std::move(steps);
        script->PlayAnimationNamed(L"script");
    }
    static AnimationStep Step(std::wstring word, std::vector<std::pair<std::wstring, std::wstring>> attributes) {
        AnimationStep step;
        step.name = std::move(word);
        for (auto& [name, value] : attributes) step.attributes[name] = value;
        return step;
    }
    DynamicWidget* Object(const wchar_t* id) { return script->Variables()[id].ToWidget<DynamicWidget>(); }
    // A widget the script knows by `name`, outside its objects table.
    DynamicWidget* Place(WidgetContainer& parent, const wchar_t* name, float x, float y, Image* image) {
        auto* object = new DynamicWidget(0, 0, image, 1.0f);
        object->Move(x, y);
        object->SetId(name);
        parent.AddWidget(object);
        script->SetVariable(name, PropertyValue::FromWidget(object));
        return object;
    }
    static uint32_t Pixel(ImageSurface* image, int x, int y) {
        return image->GetBits()[static_cast<size_t>(y) * image->sourceWidth + x];
    }

    NamedImagesApp app;
    Font* font = nullptr;
    std::unique_ptr<WidgetManager> mgr;
    AnimationWidget* script = nullptr;
};

}  // namespace testsupport
