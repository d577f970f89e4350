#pragma once
// Helpers shared by the shader program's files: the device lock, taken only
// while a device wrapper exists, and the result check that goes through it.

#include <mutex>
#include <string_view>

#include "platform/gfx/gfx.h"
#include "rendering/device/d3d_interface.h"

namespace shader_internal {

class DeviceLockIfAny {
public:
    DeviceLockIfAny() {
        if (D3DInterface* d3d = D3DInterface::Instance()) lock_ = std::unique_lock(d3d->GetDeviceLock());
    }

private:
    std::unique_lock<D3DInterface::DeviceLock> lock_;
};

// True on failure; the failure is recorded by the device wrapper.
inline bool Check(std::string_view operation, plat::HResult result) {
    if (D3DInterface* d3d = D3DInterface::Instance()) return d3d->CheckResult(operation, result);
    return plat::Failed(result);
}

// The wrapper's device, or null when there is none.
inline plat::Device* CurrentDevice() {
    D3DInterface* d3d = D3DInterface::Instance();
    return d3d ? d3d->GetDevice() : nullptr;
}

}  // namespace shader_internal
