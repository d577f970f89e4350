#include "app/services/service_wiring.h"

ServiceWiring::ServiceWiring(AppServices& app, DeviceHost& device, WidgetHost& widgets)
    : app_(&app), device_(&device), widgets_(&widgets) {}

void ServiceWiring::WireAudio(SoundManager& sounds, TrackInterface& tracks) {
    UnwireAudio();
    sounds_.emplace(&sounds);
    tracks_.emplace(&tracks);
}

void ServiceWiring::UnwireAudio() {
    tracks_.reset();
    sounds_.reset();
}

void ServiceWiring::WireImageRegistry(ImageRegistryHost& images) {
    images_.reset();
    images_.emplace(&images);
}

void ServiceWiring::UnwireImageRegistry() { images_.reset(); }

void ServiceWiring::WireCrashHost(CrashHost& host) {
    crash_.reset();
    crash_.emplace(&host);
}
