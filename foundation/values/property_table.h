#pragma once
// One declarative list of the named properties a class answers to scripts,
// built once per class and shared by all of its objects.
//
// Each entry names a property and says how to reach it: what scripts read
// (GetProperty), the float field writers animate and its change bits
// (GetPropertyPtr), and whether "<name>_ptr" answers a handle that follows
// the field (field_handle.h). A table answers as two chains of comparisons
// in declaration order would: the first readable entry of a name answers
// reads, the first writable one answers writes. Empty names are ignored.
//
// A lookup hashes the name once and probes an open-addressed index: no
// allocation and nothing per object. A table is immutable once built (make
// it a function-local static); any thread may look up. The owner keeps a
// FieldHandles beside its fields and passes it in, so handles are made on
// first request and withdrawn with the owner. A name the table does not
// answer is the owner's base class's business:
//
//     const PropertyTable<Stall>& Stall::Properties() {
//         using T = PropertyTable<Stall>;
//         static const T table{
//             T::Int(L"visitors", [](Stall& s) { return &s.visitors_; }).WithHandle(),
//             T::Float(L"price", [](Stall& s) { return &s.price_; }, kPriceBit),
//             T::Value(L"open", [](Stall& s) -> PropertyValue { return s.IsOpen(); }),
//         };
//         return table;
//     }
//     PropertyValue Stall::GetProperty(std::wstring_view name) {
//         if (auto reader = Properties().FindReader(name)) return reader.Read(*this, handles_);
//         return DynamicWidget::GetProperty(name);
//     }

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/values/field_handle.h"
#include "foundation/values/property_interface.h"
#include "foundation/values/property_value.h"

// The name index behind every table: a name to the entries that answer its
// reads and its writes.
class PropertyNameIndex {
public:
    struct Slot {
        std::wstring name;  // empty: a free slot
        uint32_t hash = 0;
        int32_t reader = -1;       // entry answering reads; -1: none
        int32_t writer = -1;       // entry answering writes; -1: none
        bool readsHandle = false;  // the reader answers its field's handle
    };

    // Room for `names` names with probes kept short.
    explicit PropertyNameIndex(size_t names);
    void AddReader(std::wstring_view name, int32_t entry, bool handle);
    void AddWriter(std::wstring_view name, int32_t entry);
    const Slot* Find(std::wstring_view name) const;

private:
    Slot* Place(std::wstring_view name);

    std::vector<Slot> slots_;
    size_t mask_;
};

template <class Owner>
class PropertyTable {
public:
    using Getter = PropertyValue (*)(Owner&);
    using RealField = float* (*)(Owner&);
    using IntField = int32_t* (*)(Owner&);

    struct Entry {
        std::wstring_view name;
        Getter get = nullptr;        // what scripts read, when not the field itself
        RealField real = nullptr;    // a float field
        IntField integer = nullptr;  // or an int field (never writable by name)
        uint32_t changeBits = 0;     // ORed into a writer's mask
        bool readable = false;
        bool writable = false;
        bool handle = false;  // "<name>_ptr" answers a handle following the field

        constexpr Entry WithHandle() const {
            Entry e = *this;
            e.handle = true;
            return e;
        }
    };

    // A float field scripts read and writers animate.
    static constexpr Entry Float(std::wstring_view name, RealField field, uint32_t changeBits) {
        return {.name = name, .real = field, .changeBits = changeBits, .readable = true, .writable = true};
    }
    // A float field scripts read that nothing animates by name.
    static constexpr Entry FloatReadOnly(std::wstring_view name, RealField field) {
        return {.name = name, .real = field, .readable = true};
    }
    // A float field writers animate that scripts cannot read by name.
    static constexpr Entry FloatWriteOnly(std::wstring_view name, RealField field, uint32_t changeBits) {
        return {.name = name, .real = field, .changeBits = changeBits, .writable = true};
    }
    // An int field scripts read.
    static constexpr Entry Int(std::wstring_view name, IntField field) {
        return {.name = name, .integer = field, .readable = true};
    }
    // A value worked out on each read.
    static constexpr Entry Value(std::wstring_view name, Getter get) {
        return {.name = name, .get = get, .readable = true};
    }

    PropertyTable(std::initializer_list<Entry> entries) : entries_(entries), index_(NameCount(entries)) {
        for (size_t i = 0; i < entries_.size(); ++i) {
            const Entry& e = entries_[i];
            const auto at = static_cast<int32_t>(i);
            const bool hasField = e.real || e.integer;
            if (e.readable && (e.get || hasField)) index_.AddReader(e.name, at, false);
            if (e.writable && e.real) index_.AddWriter(e.name, at);
            if (e.handle && hasField && !e.name.empty()) index_.AddReader(std::wstring(e.name) + L"_ptr", at, true);
        }
        readings_.reserve(entries_.size());
        for (const Entry& e : entries_) readings_.push_back({&ReadEntry, &e});
    }
    PropertyTable(const PropertyTable&) = delete;
    PropertyTable& operator=(const PropertyTable&) = delete;

    // How scripts read one name: false when the table has no reader for it.
    class Reader {
    public:
        explicit operator bool() const { return entry_ != nullptr; }
        PropertyValue Read(Owner& owner, FieldHandles& handles) const {
            const Entry& e = *entry_;
            if (handle_) {
                const FieldHandle& h = e.real ? handles.For(e.real(owner)) : handles.For(e.integer(owner));
                return h.Value();
            }
            return ReadValue(owner, e);
        }

    private:
        friend class PropertyTable;
        Reader(const Entry* entry, bool handle) : entry_(entry), handle_(handle) {}
        const Entry* entry_;
        bool handle_;
    };

    Reader FindReader(std::wstring_view name) const {
        const PropertyNameIndex::Slot* slot = index_.Find(name);
        if (!slot || slot->reader < 0) return {nullptr, false};
        return {&entries_[static_cast<size_t>(slot->reader)], slot->readsHandle};
    }

    // The kept reading of `name` (ResolveProperty) for an owner whose reads
    // of it this table answers; null when it has no reader for it, or the
    // reader answers a handle, which the owner's handles make.
    const PropertyReading* Resolve(std::wstring_view name) const {
        const PropertyNameIndex::Slot* slot = index_.Find(name);
        if (!slot || slot->reader < 0 || slot->readsHandle) return nullptr;
        return &readings_[static_cast<size_t>(slot->reader)];
    }

    // The writable float field of `name`, its change bits ORed into `mask`;
    // null, with the mask untouched, when the table has no writer for it.
    float* Field(Owner& owner, std::wstring_view name, uint32_t& mask) const {
        const PropertyNameIndex::Slot* slot = index_.Find(name);
        if (!slot || slot->writer < 0) return nullptr;
        const Entry& e = entries_[static_cast<size_t>(slot->writer)];
        mask |= e.changeBits;
        return e.real(owner);
    }

private:
    static PropertyValue ReadValue(Owner& owner, const Entry& e) {
        if (e.get) return e.get(owner);
        if (e.real) return PropertyValue(*e.real(owner));
        return PropertyValue(static_cast<int>(*e.integer(owner)));
    }
    static PropertyValue ReadEntry(ExtendedPropertyInterface& object, const void* entry) {
        return ReadValue(static_cast<Owner&>(object), *static_cast<const Entry*>(entry));
    }

    static size_t NameCount(std::initializer_list<Entry> entries) {
        size_t n = 0;
        for (const Entry& e : entries) n += e.handle ? 2 : 1;
        return n;
    }

    std::vector<Entry> entries_;
    PropertyNameIndex index_;
    // One per entry, pointing into entries_, which never grows.
    std::vector<PropertyReading> readings_;
};
