#pragma once
// StatsQuery<T>: a list with a current index through which scene scripts
// page game records ("current", "index", "size", "is_first", "is_last" and
// an element by its decimal index). T is a record pointer (the element is
// handed to scripts as its property interface), a text, or a handle whose
// Get() finds the record at each read, null once it is gone: the records of
// a list that a script may outlive, which a pointer would leave dangling.
//
// Stepping wraps around both ways and answers how many whole turns it made;
// PeekAt looks around the index without moving it. A sorted insertion puts
// the new element before the first one whose key is equal or greater, so
// among equal keys the element found later comes first. The query neither
// owns nor outlives the records it points to: whoever fills it empties it
// when they go. Main thread only.

#include <algorithm>
#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "foundation/values/property_interface.h"
#include "foundation/values/property_value.h"
#include "game/data/catalogues/text_lists.h"

// What every list shares: its size and the index that steps through it.
class StatsQueryIndex : public ExtendedPropertyInterface {
public:
    virtual int32_t Size() const = 0;

    // Moves the index by n, wrapping; the whole turns made, truncated toward 0.
    int32_t Step(int32_t n) {
        const int32_t count = Size();
        if (count == 0) {
            index = 0;
            return 0;
        }
        const int64_t target = static_cast<int64_t>(index) + n;
        index = Wrap(target, count);
        return static_cast<int32_t>(target / count);
    }

    int32_t index = 0;

protected:
    static int32_t Wrap(int64_t value, int32_t count) {
        int64_t r = value % count;
        if (r < 0) r += count;
        return static_cast<int32_t>(r);
    }
};

template <class T>
concept FindsRecord = requires(const T& handle) {
    { handle.Get() } -> std::convertible_to<const ExtendedPropertyInterface*>;
};

template <class T>
class StatsQuery : public StatsQueryIndex {
public:
    static_assert(std::is_pointer_v<T> || std::is_same_v<T, std::wstring> || FindsRecord<T>,
                  "records by pointer or handle, or texts");

    PropertyValue GetProperty(std::wstring_view name) override {
        const int32_t count = Size();
        if (name == L"current") {
            if (index < 0 || index >= count) index = 0;
            if (count == 0) return ValueOf(nullptr);
            return ValueOf(&entries[static_cast<size_t>(index)]);
        }
        if (name == L"index") return PropertyValue::FromInt(index);
        if (name == L"size") return PropertyValue::FromInt(count);
        if (name == L"is_first") return PropertyValue::FromBool(index == 0);
        if (name == L"is_last") return PropertyValue::FromBool(count == 0 || index == count - 1);
        if (auto n = ParseDecimalIndex(name); n && *n < entries.size()) return ValueOf(&entries[*n]);
        return ExtendedPropertyInterface::GetProperty(name);
    }

    int32_t Size() const override { return static_cast<int32_t>(entries.size()); }

    // The element `offset` away from the index, wrapping; null for an empty list.
    const T* PeekAt(int32_t offset) const {
        const int32_t count = Size();
        if (count == 0) return nullptr;
        return &entries[static_cast<size_t>(Wrap(static_cast<int64_t>(index) + offset, count))];
    }

    // Keeps the list ascending by key(element), `key` giving any ordered value.
    template <class Key>
    void InsertSorted(T element, Key key) {
        const auto newKey = key(element);
        auto at = std::lower_bound(entries.begin(), entries.end(), newKey,
                                   [&key](const T& present, const auto& k) { return key(present) < k; });
        entries.insert(at, std::move(element));
    }

    void Clear() {
        entries.clear();
        index = 0;
    }

    std::vector<T> entries;

private:
    // Null: the query has no element to give.
    static PropertyValue ValueOf(const T* element) {
        if constexpr (std::is_pointer_v<T>) {
            return PropertyValue::FromPropertyInterface(element ? *element : nullptr);
        } else if constexpr (FindsRecord<T>) {
            return PropertyValue::FromPropertyInterface(element ? element->Get() : nullptr);
        } else {
            return PropertyValue::FromWString(element ? *element : std::wstring());
        }
    }
};
