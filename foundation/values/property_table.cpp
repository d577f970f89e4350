#include "foundation/values/property_table.h"

namespace {

// FNV-1a over the characters, with a final mix so the low bits that pick a
// slot depend on every character.
uint32_t HashName(std::wstring_view name) {
    uint32_t h = 2166136261u;
    for (wchar_t c : name) {
        h ^= static_cast<uint32_t>(c);
        h *= 16777619u;
    }
    return h ^ (h >> 15);
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
