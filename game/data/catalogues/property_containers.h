#pragma once
// The containers of the data records, seen by scripts as property
// interfaces: a name-keyed map (a present name gives its value, a record as a
// reference) and an owning vector of records ("length", and each element by
// its decimal index). Other names get the base answer, Bool false.

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "foundation/values/property_value.h"
#include "game/data/catalogues/text_lists.h"

template <class V>
class ExtendedPropertyMap : public ExtendedPropertyInterface {
public:
    using Map = std::map<std::wstring, V, std::less<>>;

    PropertyValue GetProperty(std::wstring_view name) override {
        auto it = entries_.find(name);
        if (it == entries_.end()) return ExtendedPropertyInterface::GetProperty(name);
        if constexpr (std::is_pointer_v<V>)
            return PropertyValue::FromPropertyInterface(it->second);
        else
            return PropertyValue(it->second);
    }

    // The entry of the name, or null.
    const V* Find(std::wstring_view name) const {
        auto it = entries_.find(name);
        return it == entries_.end() ? nullptr : &it->second;
    }
    V& operator[](const std::wstring& name) { return entries_[name]; }
    void Clear() { entries_.clear(); }
    size_t Size() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }
    const Map& Entries() const { return entries_; }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

private:
    Map entries_;
};

template <class T>
class ExtendedPropertyVector : public ExtendedPropertyInterface {
public:
    PropertyValue GetProperty(std::wstring_view name) override {
        if (name == L"length") return PropertyValue(static_cast<int>(elements_.size()));
        if (auto index = ParseDecimalIndex(name); index && *index < elements_.size())
            return PropertyValue::FromPropertyInterface(elements_[*index].get());
        return ExtendedPropertyInterface::GetProperty(name);
    }

    T* Add(std::unique_ptr<T> element) {
        elements_.push_back(std::move(element));
        return elements_.back().get();
    }
    size_t Size() const { return elements_.size(); }
    bool Empty() const { return elements_.empty(); }
    T* At(size_t index) const { return elements_[index].get(); }
    void Clear() { elements_.clear(); }
    // Hands every element over and leaves the vector empty.
    std::vector<std::unique_ptr<T>> TakeAll() { return std::exchange(elements_, {}); }
    auto begin() const { return elements_.begin(); }
    auto end() const { return elements_.end(); }

private:
    std::vector<std::unique_ptr<T>> elements_;
};
