#include "rendering/device/device_host.h"

namespace {

DeviceHost* g_installed = nullptr;

}  // namespace

DeviceHost::DeviceHost() { g_installed = this; }

DeviceHost::~DeviceHost() {
    if (g_installed == this) g_installed = nullptr;
}

DeviceHost* DeviceHost::Installed() { return g_installed; }
