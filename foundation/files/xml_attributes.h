#pragma once
// The attributes of one XML node, read back by name. A flat list kept sorted by
// name, whose strings keep their storage from node to node: the reader refills
// it for every tag without allocating once the longest names and values have
// been seen. Reads like the map it replaces (find, [], iteration by name).

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class XMLAttributes {
public:
    struct Entry {
        std::wstring first;   // name
        std::wstring second;  // value
    };
    using const_iterator = const Entry*;

    size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    void clear() { count_ = 0; }
    const Entry* begin() const { return slots_.data(); }
    const Entry* end() const { return slots_.data() + count_; }
    const Entry* find(std::wstring_view name) const;
    // The value under `name`, added empty in its sorted place when missing.
    std::wstring& operator[](std::wstring_view name);

private:
    size_t LowerBound(std::wstring_view name) const;

    std::vector<Entry> slots_;  // the first count_ are in use, the rest keep their storage
    size_t count_ = 0;
};

// Names in document order, repeats included; reuses its strings like XMLAttributes.
class XMLNameList {
public:
    size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    void clear() { count_ = 0; }
    const std::wstring* begin() const { return slots_.data(); }
    const std::wstring* end() const { return slots_.data() + count_; }
    const std::wstring& operator[](size_t i) const { return slots_[i]; }
    void push_back(std::wstring_view name);
    bool operator==(const std::vector<std::wstring>& other) const;

private:
    std::vector<std::wstring> slots_;
    size_t count_ = 0;
};
