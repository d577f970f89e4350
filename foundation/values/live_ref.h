#pragma once
// LiveRef: a typed reference to an object that carries a liveness anchor
// (property_interface.h), for holders that keep an object they do not own
// beyond the call that handed it over. It reads null once the object is
// deleted, as a PropertyValue reference does, so a holder that outlives the
// object, or that is never told it went, cannot follow a freed pointer.
// It never keeps the object alive. Same thread as the object.

#include <memory>

#include "foundation/values/property_interface.h"

template <class T>
class LiveRef {
public:
    LiveRef() = default;
    // Implicit: a holder's setter takes a plain pointer.
    LiveRef(T* object) : anchor_(object ? static_cast<const ExtendedPropertyInterface*>(object)->Anchor() : nullptr) {}

    // The object, or null when none was given or it is gone.
    T* Get() const {
        ExtendedPropertyInterface* target = anchor_ ? anchor_->target : nullptr;
        return target ? dynamic_cast<T*>(target) : nullptr;
    }
    T* operator->() const { return Get(); }
    explicit operator bool() const { return Get() != nullptr; }
    void Reset() { anchor_.reset(); }

private:
    std::shared_ptr<LiveAnchor> anchor_;
};
