#include "rendering/device/device_host.h"

DeviceHost& DeviceHost::Fallback() {
    static NullDeviceHost none;
    return none;
}

void NullDeviceHost::GetDesktopSize(int* width, int* height) {
    if (width) *width = 0;
    if (height) *height = 0;
}
