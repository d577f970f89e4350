#include "foundation/values/field_handle.h"

#include <limits>
#include <mutex>
#include <unordered_map>

#include "foundation/values/property_value.h"

namespace {

struct Field {
    const int32_t* intField;
    const float* realField;
};

class Registry {
public:
    int32_t Add(Field field) {
        std::lock_guard lock(mutex_);
        // Ids start far from small script numbers, so a stray constant is unlikely to name a field.
        do {
            next_ = next_ >= std::numeric_limits<int32_t>::max() ? kFirstId : next_ + 1;
        } while (fields_.contains(next_));
        fields_.emplace(next_, field);
        return next_;
    }
    void Remove(int32_t id) {
        std::lock_guard lock(mutex_);
        fields_.erase(id);
    }
    // Reads under the lock, so the owner cannot vanish half-way through.
    template <class Reader>
    auto Read(int32_t id, Reader reader) {
        std::lock_guard lock(mutex_);
        auto it = fields_.find(id);
        return reader(it == fields_.end() ? nullptr : &it->second);
    }

private:
    static constexpr int32_t kFirstId = 0x10000;
    std::mutex mutex_;
    std::unordered_map<int32_t, Field> fields_;
    int32_t next_ = kFirstId;
};

Registry& Fields() {
    static Registry registry;
    return registry;
}

}  // namespace

FieldHandle::FieldHandle(const int32_t* field) : id_(Fields().Add({field, nullptr})) {}
FieldHandle::FieldHandle(const float* field) : id_(Fields().Add({nullptr, field})) {}
FieldHandle::~FieldHandle() { Fields().Remove(id_); }

PropertyValue FieldHandle::Value() const { return PropertyValue(static_cast<int>(id_)); }

int32_t FieldHandle::ReadInt(int32_t id) {
    return Fields().Read(id, [](const Field* f) -> int32_t {
        if (!f) return 0;
        return f->intField ? *f->intField : PropertyValue(*f->realField).ToInt();
    });
}

float FieldHandle::ReadReal(int32_t id) {
    return Fields().Read(id, [](const Field* f) -> float {
        if (!f) return 0.0f;
        return f->realField ? *f->realField : static_cast<float>(*f->intField);
    });
}

bool FieldHandle::IsLive(int32_t id) {
    return Fields().Read(id, [](const Field* f) { return f != nullptr; });
}

const FieldHandle& FieldHandles::Find(void* field, bool real) {
    // An object has a handful of such fields; a scan beats any index.
    for (const Held& h : held_)
        if (h.field == field && h.real == real) return *h.handle;
    auto handle = real ? std::make_unique<FieldHandle>(static_cast<const float*>(field))
                       : std::make_unique<FieldHandle>(static_cast<const int32_t*>(field));
    held_.push_back({field, real, std::move(handle)});
    return *held_.back().handle;
}

float* FieldHandles::RealField(int32_t id) const {
    for (const Held& h : held_)
        if (h.real && h.handle->Id() == id) return static_cast<float*>(h.field);
    return nullptr;
}
