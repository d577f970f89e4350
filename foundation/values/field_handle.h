#pragma once
// Handles through which scripts follow a live field: the value of every
// property whose name ends in "_ptr", read back by the expression functions
// intptr and realptr, shader-constant bindings and counters.
//
// A script value is never an address. The owner of a field keeps a
// FieldHandle next to it; the handle registers the field under a fresh id
// (an Int a script may copy anywhere) and withdraws it when destroyed. Reading
// an id that was never handed out, or whose handle is gone, yields 0.
// Ids are not reused while their handle lives. Any thread may read; the
// registry has its own lock.

#include <cstdint>
#include <memory>
#include <vector>

class PropertyValue;

class FieldHandle {
public:
    explicit FieldHandle(const int32_t* field);
    explicit FieldHandle(const float* field);
    ~FieldHandle();
    // The handle is tied to the address of its field: neither copied nor moved.
    FieldHandle(const FieldHandle&) = delete;
    FieldHandle& operator=(const FieldHandle&) = delete;

    int32_t Id() const { return id_; }
    // The Int a "_ptr" property answers.
    PropertyValue Value() const;

    // The field's current value converted to the asked kind; 0 for an unknown id.
    static int32_t ReadInt(int32_t id);
    static float ReadReal(int32_t id);
    // Whether the id names a field whose handle still lives.
    static bool IsLive(int32_t id);

private:
    int32_t id_;
};

// The handles one object hands out for its "_ptr" properties: made on the
// first request for a field, the same id on every later one, all withdrawn
// when the object (and so this set) dies. A copy of the object starts with
// none, since its fields live elsewhere. Not locked: the owner's thread only.
class FieldHandles {
public:
    FieldHandles() = default;
    FieldHandles(const FieldHandles&) {}
    FieldHandles& operator=(const FieldHandles&) { return *this; }

    const FieldHandle& For(float* field) { return Find(field, true); }
    const FieldHandle& For(int32_t* field) { return Find(field, false); }
    // The float field behind an id this set handed out; null for any other id.
    float* RealField(int32_t id) const;

private:
    struct Held {
        void* field;
        bool real;
        std::unique_ptr<FieldHandle> handle;
    };
    const FieldHandle& Find(void* field, bool real);

    std::vector<Held> held_;
};
