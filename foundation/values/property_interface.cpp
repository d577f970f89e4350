#include "foundation/values/property_interface.h"

#include <atomic>

#include "foundation/values/property_value.h"

namespace {

std::shared_ptr<LiveAnchor> NewAnchor(ExtendedPropertyInterface* self) {
    static std::atomic<uint32_t> next{1};
    return std::make_shared<LiveAnchor>(LiveAnchor{self, next.fetch_add(1, std::memory_order_relaxed)});
}

}  // namespace

ExtendedPropertyInterface::ExtendedPropertyInterface() : anchor_(NewAnchor(this)) {}

ExtendedPropertyInterface::ExtendedPropertyInterface(const ExtendedPropertyInterface&) : anchor_(NewAnchor(this)) {}

ExtendedPropertyInterface::~ExtendedPropertyInterface() { anchor_->target = nullptr; }

PropertyValue ExtendedPropertyInterface::GetProperty(std::wstring_view) { return PropertyValue(false); }
