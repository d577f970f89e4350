#pragma once
// Objects that expose named properties to scripts, and the liveness handle
// through which a PropertyValue refers to them.
//
// A PropertyValue may be copied into maps that outlive the object it refers
// to (script variables, a player's symbols). So a value never holds the raw
// pointer: every ExtendedPropertyInterface owns a small shared anchor holding
// a back pointer and a process-wide serial id. The destructor clears the back
// pointer, after which every value still holding the anchor reads as a null
// reference; the id stays, so identity comparison keeps working.
// Objects are created and destroyed on the main thread; the anchor itself is
// immutable apart from that one clear.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class PropertyValue;
class ExtendedPropertyInterface;

struct LiveAnchor {
    ExtendedPropertyInterface* target;
    uint32_t id;
};

// How one property of an object is read, found once by name
// (ResolveProperty) and kept by a reader that asks the same object for the
// same property again and again: read(object, entry) answers what
// GetProperty(name) of that object would, without finding the name again.
// It lives as long as the object's class's property table, for good.
struct PropertyReading {
    PropertyValue (*read)(ExtendedPropertyInterface& object, const void* entry);
    const void* entry;
};

class ExtendedPropertyInterface {
public:
    ExtendedPropertyInterface();
    // A copy is a different object with an identity of its own.
    ExtendedPropertyInterface(const ExtendedPropertyInterface&);
    ExtendedPropertyInterface& operator=(const ExtendedPropertyInterface&) { return *this; }
    virtual ~ExtendedPropertyInterface();

    // The base answers Bool false for every name.
    virtual PropertyValue GetProperty(std::wstring_view name);
    // The reading of `name` for this very object, where every later
    // GetProperty(name) is answered the same way whatever changes; null
    // (the default) where a read must find the name each time.
    virtual const PropertyReading* ResolveProperty(std::wstring_view) { return nullptr; }

    // The text a value referring to this object converts to: a widget's
    // object id, an image's name. Empty by default.
    virtual std::wstring ReferenceText() const { return {}; }

    const std::shared_ptr<LiveAnchor>& Anchor() const { return anchor_; }
    uint32_t LiveId() const { return anchor_->id; }

private:
    std::shared_ptr<LiveAnchor> anchor_;
};
