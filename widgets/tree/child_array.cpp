#include "widgets/tree/child_array.h"

#include <algorithm>
#include <memory>

ChildArray::~ChildArray() {
    if (capacity_ != 1) delete[] many_;
}

void ChildArray::Insert(size_t at, Widget* child) {
    if (size_ == capacity_) {
        const uint32_t capacity = capacity_ < 4 ? 4 : capacity_ * 2;
        auto grown = std::make_unique<Widget*[]>(capacity);
        std::copy(begin(), end(), grown.get());
        // The lone child's word becomes the block's: the old block, if any, goes.
        if (capacity_ != 1) delete[] many_;
        many_ = grown.release();
        capacity_ = capacity;
    }
    Widget** data = Data();
    std::copy_backward(data + at, data + size_, data + size_ + 1);
    data[at] = child;
    ++size_;
}

void ChildArray::Erase(size_t at) {
    Widget** data = Data();
    std::copy(data + at + 1, data + size_, data + at);
    --size_;
    data[size_] = nullptr;
}

size_t ChildArray::IndexOf(const Widget* child, size_t hint) const {
    const_iterator data = begin();
    if (hint < size_ && data[hint] == child) return hint;
    return static_cast<size_t>(std::find(data, end(), child) - data);
}
