#include "rendering/image/image_registry_host.h"

ImageRegistryHost& ImageRegistryHost::Fallback() {
    static NullImageRegistryHost none;
    return none;
}
