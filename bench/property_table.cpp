// Named property access on a dynamic widget, as scripts do it every frame:
// reads (GetProperty) and writable-field lookups (GetPropertyPtr) of a mix
// of early, late, "_ptr" and unknown names. The yardstick is the same names
// looked up in a std::unordered_map<std::wstring, float>, the plainest
// hashed table a class could keep instead.
#include <benchmark/benchmark.h>

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "widgets/dynamic/dynamic_widget.h"

namespace {

// Early, late, "_ptr" and unknown names.
constexpr std::array<std::wstring_view, 8> kReadNames = {L"x",     L"opacity", L"frame",         L"rel_clip_y2",
                                                         L"timer", L"x_ptr",   L"mouse_visible", L"wobble"};
constexpr std::array<std::wstring_view, 8> kWriteNames = {L"x",     L"y",           L"opacity",        L"red",
                                                          L"clock", L"rel_clip_x2", L"shear_y_offset", L"wobble"};

void BM_PropertyTableGet(benchmark::State& state) {
    DynamicWidget w(10, 20, nullptr, 1.0f);
    for (auto _ : state)
        for (std::wstring_view name : kReadNames) benchmark::DoNotOptimize(w.GetProperty(name));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kReadNames.size()));
}
BENCHMARK(BM_PropertyTableGet);

void BM_PropertyTableSet(benchmark::State& state) {
    DynamicWidget w(10, 20, nullptr, 1.0f);
    uint32_t mask = 0;
    for (auto _ : state)
        for (std::wstring_view name : kWriteNames) {
            float* field = w.GetPropertyPtr(name, mask);
            if (field) *field += 1.0f;
            benchmark::DoNotOptimize(field);
        }
    benchmark::DoNotOptimize(mask);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kWriteNames.size()));
}
BENCHMARK(BM_PropertyTableSet);

// Hashes views and strings alike, so a lookup by view allocates nothing.
struct NameHash {
    using is_transparent = void;
    size_t operator()(std::wstring_view name) const { return std::hash<std::wstring_view>{}(name); }
};

// The yardstick: every readable and writable name of the widget in a hashed map.
void BM_UnorderedMapYardstick(benchmark::State& state) {
    std::unordered_map<std::wstring, float, NameHash, std::equal_to<>> map;
    for (const wchar_t* name : {L"x",
                                L"y",
                                L"z",
                                L"right",
                                L"bottom",
                                L"last_x",
                                L"last_y",
                                L"center_x",
                                L"center_y",
                                L"abs_x",
                                L"abs_y",
                                L"width",
                                L"height",
                                L"depth",
                                L"opacity",
                                L"angle",
                                L"frame",
                                L"frame_rate",
                                L"frame_timer",
                                L"scale_x",
                                L"scale_y",
                                L"flip_x",
                                L"flip_y",
                                L"abs_clip_x1",
                                L"abs_clip_y1",
                                L"abs_clip_x2",
                                L"abs_clip_y2",
                                L"rel_clip_x1",
                                L"rel_clip_y1",
                                L"rel_clip_x2",
                                L"rel_clip_y2",
                                L"timer",
                                L"clock",
                                L"changing",
                                L"x_ptr",
                                L"y_ptr",
                                L"opacity_ptr",
                                L"angle_ptr",
                                L"scale_x_ptr",
                                L"scale_y_ptr",
                                L"timer_ptr",
                                L"last_x_ptr",
                                L"last_y_ptr",
                                L"image",
                                L"id",
                                L"mouse_visible",
                                L"alpha",
                                L"red",
                                L"green",
                                L"blue",
                                L"mask_frame_rate",
                                L"shear_x",
                                L"shear_y",
                                L"shear_x_offset",
                                L"shear_y_offset"})
        map.emplace(name, 1.0f);
    for (auto _ : state)
        for (std::wstring_view name : kReadNames) {
            auto it = map.find(name);
            benchmark::DoNotOptimize(it == map.end() ? 0.0f : it->second);
        }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kReadNames.size()));
}
BENCHMARK(BM_UnorderedMapYardstick);

}  // namespace
