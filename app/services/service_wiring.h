#pragma once
// The one place the application's implementations of the services the lower
// layers declare are installed: the foundation's (AppServices), rendering's
// (DeviceHost) and the widget tree's (WidgetHost); and, once the sound
// device and the music interface exist, the sound manager and the tracks;
// and the application's side of the crash report (CrashHost).
//
// The constructor installs them in that order, lowest layer first; the
// destructor uninstalls them in the reverse order, after which every layer
// answers through its null implementation again. The application base owns
// one wiring for as long as it exists. What the lower layers keep for
// themselves is not wired here: the widget tree draws through its built-in
// sink, surfaces register with rendering's live-image set, and the drawing
// context reads the device wrapper's blend-shader table.
// The scene scripts' movie maker (a Flash widget per movie) is the wiring's
// own and installed for as long as it lives.
// Callers must: build the wiring before the first frame and before the
// loading thread starts, and end it after both; keep the implementations
// alive for as long as the wiring lives. Main thread only.

#include <optional>

#include "app/crash/crash_host.h"
#include "app/flash/flash_movie_maker.h"
#include "foundation/system/app_services.h"
#include "foundation/system/service.h"
#include "foundation/system/sound_manager.h"
#include "foundation/system/track_interface.h"
#include "rendering/device/device_host.h"
#include "rendering/image/image_registry_host.h"
#include "widgets/tree/widget_host.h"

class ServiceWiring {
public:
    ServiceWiring(AppServices& app, DeviceHost& device, WidgetHost& widgets);
    ServiceWiring(const ServiceWiring&) = delete;
    ServiceWiring& operator=(const ServiceWiring&) = delete;

    // Installs the sound manager and the tracks, replacing any wired before.
    void WireAudio(SoundManager& sounds, TrackInterface& tracks);
    // Uninstalls them: call before destroying either.
    void UnwireAudio();
    // Installs the asset registry's image side (font pages); the lookups of
    // AppServices are the application's, which asks the same registry.
    void WireImageRegistry(ImageRegistryHost& images);
    void UnwireImageRegistry();
    // Installs the crash reporter's view of the application.
    void WireCrashHost(CrashHost& host);

private:
    // Members end in reverse order of declaration: the widget tree's first.
    ScopedService<AppServices> app_;
    ScopedService<DeviceHost> device_;
    ScopedService<WidgetHost> widgets_;
    std::optional<ScopedService<SoundManager>> sounds_;
    std::optional<ScopedService<TrackInterface>> tracks_;
    std::optional<ScopedService<ImageRegistryHost>> images_;
    std::optional<ScopedService<CrashHost>> crash_;
    // The scripts' movie widgets are the Flash host's.
    FlashMovieMaker movies_;
    ScopedService<MovieMaker> moviesInstalled_{&movies_};
};
