// A menu-sized frame of controls on the software device at 1024 x 768: 200
// word-wrapped, anchored text labels and 50 labelled buttons in one widget
// tree, updated and drawn as the main loop does each frame. Each result also
// states its time as a share of one 60 Hz frame (16.7 ms). The yardstick is
// the same text and button images drawn straight through the drawing
// context, so the difference is what the controls add.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "image_scene.h"
#include "rendering/draw/graphics.h"
#include "rendering/font/fonts_xml.h"
#include "rendering/font/image_font.h"
#include "widgets/controls/button_widget.h"
#include "widgets/controls/text_label.h"
#include "widgets/tree/widget_manager.h"

namespace {

constexpr int kW = testsupport::HeadlessDeviceHost::kWidth, kH = testsupport::HeadlessDeviceHost::kHeight;
constexpr int kLabels = 200;
constexpr int kButtons = 50;
const std::wstring kText = L"Visitors walk the sidewalks to the rides and stores that suit them";
constexpr double kFrameSeconds = 1.0 / 60.0;

std::string Descriptor() { return std::string(HALVARO_SOURCE_DIR) + "/data/fonts/dejavu_sans_16.txt"; }

struct Scene : testsupport::ImageScene {
    std::unique_ptr<WidgetManager> manager = std::make_unique<WidgetManager>();
    std::unique_ptr<ImageSurface> buttonImage = std::make_unique<ImageSurface>();
    std::vector<TextLabel*> labels;
    std::vector<ButtonWidget*> buttons;
    Font* font = nullptr;

    Scene() {
        GetFontMap().Set(L"body", std::make_unique<ImageFont>(Descriptor(), true, 1.0));
        GetFontMap().Set(L"button", std::make_unique<ImageFont>(Descriptor(), true, 1.0));
        font = GetFontMap().Find(L"body");
        const std::vector<uint32_t> px(120 * 32, 0xFF406080u);
        buttonImage->SetBits(px.data(), 120, 32, false);
        for (int i = 0; i < kLabels; ++i) {
            auto* label = new TextLabel(40 + i * 97 % (kW - 80), 20 + i * 53 % (kH - 40), kText, L"body", 160,
                                        i % 3 - 1, i % 3 - 1, (i / 3) % 3 - 1);
            if (i % 4 == 0) label->opacity = 0.8f;
            manager->AddWidget(label);
            labels.push_back(label);
        }
        for (int i = 0; i < kButtons; ++i) {
            auto* button = new ButtonWidget(i % 8 * 125, i / 8 * 110 + 40, L"", L"Play the level", false);
            button->SetImage(buttonImage.get());
            manager->AddWidget(button);
            buttons.push_back(button);
        }
    }
    ~Scene() {
        manager.reset();
        GetFontMap().Clear();
    }

    void Frame() {
        manager->UpdateFrame();
        manager->UpdateFractionFrame(1.0f);
        Graphics g(screen);
        manager->DrawWidgetsTo(&g);
    }

    // The same pictures straight through the context.
    void DrawDirectly() {
        Graphics g(screen);
        g.SetFont(font);
        g.SetColor(Color::White);
        for (TextLabel* label : labels) {
            g.SetColor(Color::FromFloats(label->opacity, label->opacity, label->opacity, label->opacity));
            g.DrawStringWordWrapped(kText, static_cast<int>(label->GetX()) + label->GetTextX(),
                                    static_cast<int>(label->GetY()) + label->GetTextY(), label->GetTextWidth(), 0);
        }
        g.SetColor(Color::White);
        for (ButtonWidget* button : buttons) {
            g.DrawImage(buttonImage.get(), button->GetX(), button->GetY(), 0, FRect(0, 0, 120, 32));
            g.DrawStringWordWrapped(L"Play the level", static_cast<int>(button->GetX()),
                                    static_cast<int>(button->GetY()) + 20, 120, 0);
        }
    }
};

template <class Run>
void Measure(benchmark::State& state, Run run) {
    Scene s;
    if (!s.screen || !s.font || s.font->StringWidth(kText) <= 0) {
        state.SkipWithError("no device or font");
        return;
    }
    double seconds = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        run(s);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["share_of_60Hz_frame"] = seconds / static_cast<double>(state.iterations()) / kFrameSeconds;
    state.SetItemsProcessed(state.iterations() * (kLabels + kButtons));
}

void BM_Controls200Labels50ButtonsFrame(benchmark::State& state) {
    Measure(state, [](Scene& s) { s.Frame(); });
}
BENCHMARK(BM_Controls200Labels50ButtonsFrame)->Unit(benchmark::kMicrosecond);

void BM_Graphics200Texts50ImagesDirect(benchmark::State& state) {
    Measure(state, [](Scene& s) { s.DrawDirectly(); });
}
BENCHMARK(BM_Graphics200Texts50ImagesDirect)->Unit(benchmark::kMicrosecond);

}  // namespace
