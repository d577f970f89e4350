// Scene scripts as the game reads and runs them: the input is
// properties/animations.xml, read into the animation library; then the
// animation whose name comes first plays in a widget of a managed tree for a
// few hundred fixed updates, drawn now and then into a context without a
// surface. Nothing the script does may crash the program or leak, and no
// update may take long: a script is cut by its work budget and goes on at
// the next update (run with -timeout to catch one that is not).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "foundation/values/live_ref.h"
#include "fuzz/harness.h"
#include "rendering/draw/graphics.h"
#include "widgets/script/animation_stats.h"
#include "widgets/script/animation_widget.h"
#include "widgets/tree/widget_host.h"
#include "widgets/tree/widget_manager.h"

namespace {

constexpr int kUpdates = 300;
constexpr int kDrawEvery = 50;
// Scripts cut by the work budget this many updates running have shown what
// the budget does; more updates would only repeat it, slowly.
constexpr int kMostCutUpdates = 3;

// The loader reads relative to the current folder: the scratch folder while
// it reads, and the folder libFuzzer was started in again after it, for the
// corpus paths it was given.
class InScratchFolder {
public:
    InScratchFolder() : home_(std::filesystem::current_path()) { Enter(fuzz::ScratchFolder()); }
    ~InScratchFolder() { Enter(home_); }
    InScratchFolder(const InScratchFolder&) = delete;
    InScratchFolder& operator=(const InScratchFolder&) = delete;

private:
    static void Enter(const std::filesystem::path& folder) {
        if (::chdir(folder.c_str()) == 0) return;
        std::perror("halvaro fuzz: cannot change the current folder");
        std::abort();
    }
    std::filesystem::path home_;
};

// Deletes what the tree hands over as the game's host does, between updates.
class Host : public NullWidgetHost {
private:
    ScopedService<WidgetHost> installed_{this};
};

void Run(const std::wstring& animation) {
    Host host;
    {
        WidgetManager manager;
        auto* started = new AnimationWidget(animation, 0, 0, false);
        // The script may remove its own widget.
        const LiveRef<AnimationWidget> script(started);
        manager.AddWidget(started);
        int cut = 0;
        int cutsBefore = AnimationWidget::CountCuts();
        for (int update = 0; update < kUpdates && script && cut < kMostCutUpdates; ++update) {
            manager.UpdateFrame();
            manager.UpdateFractionFrame(1.0f);
            host.DeleteDeferred();
            const int cutsNow = AnimationWidget::CountCuts();
            cut = cutsNow != cutsBefore ? cut + 1 : 0;
            cutsBefore = cutsNow;
            if (update % kDrawEvery == 0) {
                Graphics g(nullptr);
                manager.DrawWidgetsTo(&g);
            }
        }
        manager.RemoveAllWidgets(true, false);
        host.DeleteDeferred();
    }
    host.DeleteDeferred();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool made = std::filesystem::create_directories(fuzz::ScratchFolder() + "/properties") || true;
    static_cast<void>(made);
    fuzz::ResetSharedState();
    AnimationLibrary().clear();
    fuzz::WriteScratchFile("properties/animations.xml", data, size);
    {
        const InScratchFolder inScratch;
        const AnimationStats loaded(false);
    }
    if (!AnimationLibrary().empty()) Run(AnimationLibrary().begin()->first);
    AnimationLibrary().clear();
    return 0;
}
