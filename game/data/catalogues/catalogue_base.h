#pragma once
// What every catalogue and every data record shares.
//
// A catalogue is an XML loader (Parser) and a StatsManager: the application
// creates it and calls Load once while resources load; Load reads its file
// under "properties/" and makes the catalogue the process-wide one of its
// kind (each catalogue's Current()), until it is destroyed. A malformed record
// is reported through the loader's error text (shown once when the file ends)
// and the rest of the file is kept. Records are not changed after loading.
//
// Records are Indexable: found by the text of their name, and answering the
// scripts' property lookups by their XML attribute names.

#include <optional>
#include <string_view>

#include "foundation/files/parser.h"
#include "foundation/values/property_interface.h"
#include "foundation/values/property_table.h"

class StatsManager {
public:
    virtual ~StatsManager() = default;
    virtual void Load() = 0;
    bool IsLoaded() const { return loaded_; }

protected:
    bool loaded_ = false;
};

// The loader base of the item and level catalogues.
class GridParser : public Parser {
public:
    ~GridParser() override = default;

protected:
    // Keeps the first complaint of a file; the loader shows it when the file ends.
    void ReportMalformed(std::wstring text) {
        if (errorText_.empty()) errorText_ = std::move(text);
    }
};

class Indexable : public ExtendedPropertyInterface {
public:
    // True when the record's name text equals `text` exactly.
    virtual bool Matches(std::wstring_view text) const = 0;
    bool DiffersFrom(std::wstring_view text) const { return !Matches(text); }
};

// A record's answer from its property table, or nothing when the table does
// not know the name. Records hand out no "_ptr" handles.
template <class Owner>
std::optional<PropertyValue> ReadRecordProperty(const PropertyTable<Owner>& table, Owner& owner,
                                                std::wstring_view name) {
    const auto reader = table.FindReader(name);
    if (!reader) return std::nullopt;
    FieldHandles none;
    return reader.Read(owner, none);
}
