#pragma once
// The variable maps expressions read, and the hook through which an
// expression reaches the script variables of a widget it holds.
//
// A VariableMap is ordered by name; operator[] is the insert-on-read lookup
// (an absent name is entered as Int 0), find and contains only test.
// Names compare by character value, which is UTF-16 code-unit order for
// every character below U+10000: the order std::less gives wide strings,
// compared in line because names are short and looked up every frame.
//
// Every change to which names a map holds (a name entered or removed, the
// map cleared, assigned, swapped or moved from) advances its Generation();
// changing a held value does not. While the generation stands, a value found
// by name stays at the same address and an absent name stays absent, so a
// reader may keep what it found instead of searching again.
// Its Stamp() advances with the generation and also at every call that can
// hand out a held value to write (operator[], and the non-const find, at,
// begin, end and their kin), whether or not anything was then written: while
// the stamp stands, every value holds what it held, so a reader may keep
// what it read of a value too. A writer that keeps a handed-out value and
// writes it later, without asking the map again, goes unseen: only a map
// whose owner writes no value that way may be read by its stamp.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "foundation/values/property_value.h"

struct NameLess {
    using is_transparent = void;
    bool operator()(std::wstring_view a, std::wstring_view b) const noexcept {
        size_t n = a.size() < b.size() ? a.size() : b.size();
        for (size_t i = 0; i < n; ++i) {
            if (a[i] != b[i]) return a[i] < b[i];
        }
        return a.size() < b.size();
    }
};

// The counts of a VariableMap: a base of their own, ahead of the map's, so
// that they lie first in it, the stamp before all. A reader that keeps only
// the stamp (a script's condition wait) reads it on the line it shares with
// whatever lies just before the map, not on a line of the map's own.
struct VariableCounts {
    uint64_t stamp_ = 0;
    uint64_t generation_ = 0;
};

// The standard ordered map with every call that adds or removes names
// counted. The base is private so that nothing can change the names behind
// the count's back.
class VariableMap : private VariableCounts, private std::map<std::wstring, PropertyValue, NameLess> {
    using Base = std::map<std::wstring, PropertyValue, NameLess>;

public:
    using Base::const_iterator;
    using Base::const_reverse_iterator;
    using Base::iterator;
    using Base::key_type;
    using Base::mapped_type;
    using Base::reverse_iterator;
    using Base::size_type;
    using Base::value_type;

    VariableMap() = default;
    VariableMap(std::initializer_list<value_type> entries) : Base(entries) {}
    VariableMap(const VariableMap& o) : Base(o) {}
    VariableMap(VariableMap&& o) noexcept : Base(std::move(o)) { o.Changed(); }
    VariableMap& operator=(const VariableMap& o) {
        if (this != &o) {
            Base::operator=(o);
            Changed();
        }
        return *this;
    }
    VariableMap& operator=(VariableMap&& o) noexcept {
        if (this != &o) {
            Base::operator=(std::move(o));
            Changed();
            o.Changed();
        }
        return *this;
    }
    ~VariableMap() = default;

    using Base::cbegin;
    using Base::cend;
    using Base::contains;
    using Base::count;
    using Base::crbegin;
    using Base::crend;
    using Base::empty;
    using Base::size;

    // Reading through a const map leaves the stamp; the writable forms may
    // change a value behind it, so they advance it.
    const_iterator begin() const { return Base::begin(); }
    const_iterator end() const { return Base::end(); }
    const_reverse_iterator rbegin() const { return Base::rbegin(); }
    const_reverse_iterator rend() const { return Base::rend(); }
    const PropertyValue& at(const std::wstring& name) const { return Base::at(name); }
    template <class K>
    const_iterator find(const K& name) const {
        return Base::find(name);
    }
    template <class K>
    const_iterator lower_bound(const K& name) const {
        return Base::lower_bound(name);
    }
    template <class K>
    const_iterator upper_bound(const K& name) const {
        return Base::upper_bound(name);
    }
    iterator begin() { return Written(Base::begin()); }
    iterator end() { return Written(Base::end()); }
    reverse_iterator rbegin() { return Written(Base::rbegin()); }
    reverse_iterator rend() { return Written(Base::rend()); }
    PropertyValue& at(const std::wstring& name) { return Written(Base::at(name)); }
    template <class K>
    iterator find(const K& name) {
        return Written(Base::find(name));
    }
    template <class K>
    iterator lower_bound(const K& name) {
        return Written(Base::lower_bound(name));
    }
    template <class K>
    iterator upper_bound(const K& name) {
        return Written(Base::upper_bound(name));
    }

    PropertyValue& operator[](const std::wstring& name) { return try_emplace(name).first->second; }
    PropertyValue& operator[](std::wstring&& name) { return try_emplace(std::move(name)).first->second; }

    template <class... Args>
    std::pair<iterator, bool> emplace(Args&&... args) {
        return Counted(Base::emplace(std::forward<Args>(args)...));
    }
    template <class... Args>
    std::pair<iterator, bool> try_emplace(const std::wstring& name, Args&&... args) {
        return Counted(Base::try_emplace(name, std::forward<Args>(args)...));
    }
    template <class... Args>
    std::pair<iterator, bool> try_emplace(std::wstring&& name, Args&&... args) {
        return Counted(Base::try_emplace(std::move(name), std::forward<Args>(args)...));
    }
    template <class V>
    std::pair<iterator, bool> insert_or_assign(const std::wstring& name, V&& value) {
        return Counted(Base::insert_or_assign(name, std::forward<V>(value)));
    }
    template <class V>
    std::pair<iterator, bool> insert_or_assign(std::wstring&& name, V&& value) {
        return Counted(Base::insert_or_assign(std::move(name), std::forward<V>(value)));
    }
    std::pair<iterator, bool> insert(const value_type& entry) { return Counted(Base::insert(entry)); }
    std::pair<iterator, bool> insert(value_type&& entry) { return Counted(Base::insert(std::move(entry))); }
    template <class It>
    void insert(It first, It last) {
        const size_type before = size();
        Base::insert(first, last);
        if (size() != before) Changed();
    }

    iterator erase(const_iterator at) {
        Changed();
        return Base::erase(at);
    }
    iterator erase(iterator at) {
        Changed();
        return Base::erase(at);
    }
    iterator erase(const_iterator first, const_iterator last) {
        Changed();
        return Base::erase(first, last);
    }
    size_type erase(std::wstring_view name) {
        auto it = Base::find(name);
        if (it == Base::end()) return 0;
        erase(it);
        return 1;
    }
    void clear() noexcept {
        Base::clear();
        Changed();
    }
    void swap(VariableMap& o) noexcept {
        Base::swap(o);
        Changed();
        o.Changed();
    }
    friend void swap(VariableMap& a, VariableMap& b) noexcept { a.swap(b); }

    // Advances whenever the set of names may have changed.
    uint64_t Generation() const { return generation_; }
    // Advances whenever a held value may have changed, or the names.
    uint64_t Stamp() const { return stamp_; }
    // Where the stamp lies: the first bytes of the map.
    const uint64_t* StampField() const { return &stamp_; }

private:
    void Changed() {
        ++generation_;
        ++stamp_;
    }
    // What a writable call hands out, the stamp advanced first.
    template <class T>
    T Written(T handed) {
        ++stamp_;
        return handed;
    }
    PropertyValue& Written(PropertyValue& handed) {
        ++stamp_;
        return handed;
    }
    // An entry found rather than made is handed out to write all the same.
    std::pair<iterator, bool> Counted(std::pair<iterator, bool> result) {
        if (result.second) ++generation_;
        ++stamp_;
        return result;
    }
};

// Where a name was last looked up in a map: its value, or null when absent.
// Good while the map is the same one and its names have not changed since.
struct NameSlot {
    const VariableMap* map = nullptr;
    uint64_t generation = 0;
    const PropertyValue* value = nullptr;
};

inline const PropertyValue* FindName(const VariableMap& map, const std::wstring& name, NameSlot& slot) {
    if (slot.map != &map || slot.generation != map.Generation()) {
        auto it = map.find(name);
        slot = {&map, map.Generation(), it == map.end() ? nullptr : &it->second};
    }
    return slot.value;
}

// Mixed into the widgets that run scene scripts, so that w[name] and
// exists(w, name) can see their script variables without this layer
// knowing the widget classes.
class ScriptVariableOwner {
public:
    virtual ~ScriptVariableOwner() = default;
    virtual const VariableMap& ScriptVariables() const = 0;
};
