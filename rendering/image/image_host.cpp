#include "rendering/image/image_host.h"

#include <atomic>

namespace {

std::atomic<ImageSetHost*> g_installed{nullptr};

}  // namespace

ImageSetHost::ImageSetHost() { g_installed.store(this); }

ImageSetHost::~ImageSetHost() {
    ImageSetHost* self = this;
    g_installed.compare_exchange_strong(self, nullptr);
}

ImageSetHost* ImageSetHost::Installed() { return g_installed.load(); }
