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

private:
    int32_t id_;
};
