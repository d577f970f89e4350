#pragma once
// A container's children in order, in one array. A lone child is held in the
// array object itself: the park's visitors, their task sequences and their
// tasks are chains of only children, and a walk down such a chain then reads
// each next widget's address from the header of the one above instead of
// from a block of its own elsewhere in memory.
//
// Inserting and erasing move the children behind the place; the container
// keeps its walks' cursors in step. The lone child and the block share one
// word, told apart by the capacity (1: held in place), so that the array
// takes two words of the container's first line, not three. Pointers into the array are invalidated
// by any insertion or erasure. Main thread only, as the tree.

#include <cstddef>
#include <cstdint>
#include <iterator>

class Widget;

class ChildArray {
public:
    using value_type = Widget*;
    using const_iterator = Widget* const*;
    using iterator = const_iterator;
    using const_reverse_iterator = std::reverse_iterator<const_iterator>;

    ChildArray() = default;
    ~ChildArray();
    ChildArray(const ChildArray&) = delete;
    ChildArray& operator=(const ChildArray&) = delete;

    const_iterator begin() const { return Data(); }
    const_iterator end() const { return Data() + size_; }
    const_reverse_iterator rbegin() const { return const_reverse_iterator(end()); }
    const_reverse_iterator rend() const { return const_reverse_iterator(begin()); }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    Widget* front() const { return Data()[0]; }
    Widget* back() const { return Data()[size_ - 1]; }
    Widget* operator[](size_t i) const { return Data()[i]; }

    // The lone child held in place; null when there are none or they live in
    // a block of their own (reading it then touches no other memory).
    Widget* Lone() const { return capacity_ == 1 ? one_ : nullptr; }

    // `at` <= size().
    void Insert(size_t at, Widget* child);
    // `at` < size().
    void Erase(size_t at);
    // Where the child is, size() when it is not here; `hint` is tried first.
    size_t IndexOf(const Widget* child, size_t hint) const;
    // Puts childAt(i) at each place i: the same children in another order.
    template <typename ChildAt>
    void Reorder(ChildAt childAt) {
        Widget** out = Data();
        for (size_t i = 0; i < size_; ++i) out[i] = childAt(i);
    }

private:
    Widget* const* Data() const { return capacity_ == 1 ? &one_ : many_; }
    Widget** Data() { return capacity_ == 1 ? &one_ : many_; }

    // capacity_ 1: one_, the lone child or null; else many_, the block this
    // array owns (freed by the destructor and by the growth that replaces it).
    union {
        Widget* one_ = nullptr;
        Widget** many_;
    };
    uint32_t size_ = 0;
    uint32_t capacity_ = 1;
};
