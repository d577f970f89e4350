// Scene scripts as the game reads and runs them: the input is
// properties/animations.xml, read into the animation library; then the
// animation whose name comes first plays in a widget of a managed tree for a
// few hundred fixed updates, drawn now and then into a context without a
// surface. Nothing the script does may crash the program or leak, and no
// update may take long: a script is cut by its work budget and goes on at
// the next update (run with -timeout to catch one that is not).
#include <filesystem>
#include <string>

#include "foundation/values/live_ref.h"
#include "fuzz/harness.h"
#include "widgets/script/animation_stats.h"
#include "widgets/script/animation_widget.h"
#include "widgets/tree/widget_manager.h"

namespace {

constexpr int kUpdates = 300;
constexpr int kDrawEvery = 50;
// Scripts cut by the work budget this many updates running have shown what
// the budget does; more updates would only repeat it, slowly.
constexpr int kMostCutUpdates = 3;

void Run(const std::wstring& animation) {
    // The script may remove its own widget.
    LiveRef<AnimationWidget> script;
    int cut = 0;
    int cutsBefore = AnimationWidget::CountCuts();
    fuzz::RunTree(
        kUpdates, kDrawEvery,
        [&](WidgetManager& manager) {
            auto* started = new AnimationWidget(animation, 0, 0, false);
            script = started;
            manager.AddWidget(started);
        },
        [&] {
            const int cutsNow = AnimationWidget::CountCuts();
            cut = cutsNow != cutsBefore ? cut + 1 : 0;
            cutsBefore = cutsNow;
            return script && cut < kMostCutUpdates;
        });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool made = std::filesystem::create_directories(fuzz::ScratchFolder() + "/properties") || true;
    static_cast<void>(made);
    fuzz::ResetSharedState();
    AnimationLibrary().clear();
    fuzz::WriteScratchFile("properties/animations.xml", data, size);
    {
        const fuzz::InScratchFolder inScratch;
        const AnimationStats loaded(false);
    }
    if (!AnimationLibrary().empty()) Run(AnimationLibrary().begin()->first);
    AnimationLibrary().clear();
    return 0;
}
