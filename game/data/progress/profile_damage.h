#pragma once
// What reading profiles.xml dropped or changed of what the file held.
//
// A save writes a known set of elements and attributes, each number a whole
// decimal and each flag "true", "false", "1" or "0". Anything else in the
// file is damage the reader would drop or read as something else (an unknown
// name, a number that is no number or lies outside its range, a flag that is
// neither); the reader notes it, with the place in the file, alongside what
// it finds itself (a level written twice, an unknown building type, an item
// off the grid, a fifth profile).

#include <string>
#include <string_view>
#include <vector>

#include "foundation/files/xml_parser.h"

class ProfileDamage {
public:
    struct Note {
        std::wstring where;  // the profile, and the level inside it
        std::wstring what;
    };

    // Notes every part of the element a save would not have written.
    void CheckElement(const XMLElement& element, std::wstring_view where);
    void Add(std::wstring_view where, std::wstring what);
    void Clear() { notes_.clear(); }

    bool Any() const { return !notes_.empty(); }
    const std::vector<Note>& Notes() const { return notes_; }
    // Each place that was damaged, once, in file order, joined by ", ".
    std::wstring Places() const;

private:
    std::vector<Note> notes_;
};
