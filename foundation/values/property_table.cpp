#include "foundation/values/property_table.h"

#include <cstdint>

namespace {

uint64_t TwoChars(const wchar_t* at) {
    return static_cast<uint64_t>(static_cast<uint32_t>(at[0])) << 32 | static_cast<uint32_t>(at[1]);
}

// Samples the first, middle and last two characters and the length rather
// than walking the whole name: independent multiplies instead of a chain per
// character. Names that agree on the samples share a hash; the stored hash
// and a full comparison tell them apart.
uint32_t HashName(std::wstring_view name) {
    const size_t n = name.size();
    if (n < 2) return n == 0 ? 0u : static_cast<uint32_t>(name[0]) * 0x9E3779B1u;
    const wchar_t* s = name.data();
    uint64_t h = (TwoChars(s) * 0x9E3779B97F4A7C15ull) ^ (TwoChars(s + (n - 1) / 2) * 0xC2B2AE3D27D4EB4Full) ^
                 (TwoChars(s + n - 2) * 0x165667B19E3779F9ull) ^ (n * 0xD6E8FEB86659FD93ull);
    h ^= h >> 29;
    return static_cast<uint32_t>(h ^ (h >> 32));
}

}  // namespace

PropertyNameIndex::PropertyNameIndex(size_t names) {
    // At most half full, so a miss ends at a free slot within a probe or two.
    size_t size = 8;
    while (size < names * 2) size *= 2;
    slots_.resize(size);
    mask_ = size - 1;
}

PropertyNameIndex::Slot* PropertyNameIndex::Place(std::wstring_view name) {
    if (name.empty()) return nullptr;
    const uint32_t hash = HashName(name);
    for (size_t i = hash & mask_;; i = (i + 1) & mask_) {
        Slot& slot = slots_[i];
        if (slot.name.empty()) {
            slot.name = name;
            slot.hash = hash;
            return &slot;
        }
        if (slot.hash == hash && slot.name == name) return &slot;
    }
}

void PropertyNameIndex::AddReader(std::wstring_view name, int32_t entry, bool handle) {
    Slot* slot = Place(name);
    if (!slot || slot->reader >= 0) return;
    slot->reader = entry;
    slot->readsHandle = handle;
}

void PropertyNameIndex::AddWriter(std::wstring_view name, int32_t entry) {
    Slot* slot = Place(name);
    if (slot && slot->writer < 0) slot->writer = entry;
}

const PropertyNameIndex::Slot* PropertyNameIndex::Find(std::wstring_view name) const {
    const uint32_t hash = HashName(name);
    for (size_t i = hash & mask_;; i = (i + 1) & mask_) {
        const Slot& slot = slots_[i];
        if (slot.name.empty()) return nullptr;
        if (slot.hash == hash && slot.name == name) return &slot;
    }
}
