#pragma once
// Values of the descriptor language: a scalar token kept exactly as written
// (a quoted string keeps its quotes, a number or a name is its raw text) or
// a parenthesised list of values.
//
// A list owns its elements and destroys them with itself; Duplicate and the
// list's copy make deep copies, so a define's value can be handed out
// without sharing. Callers must not keep pointers into a list they clear.
// Plain data, not shared between threads.

#include <memory>
#include <string>
#include <vector>

class DataElement {
public:
    explicit DataElement(bool isList) : isList_(isList) {}
    virtual ~DataElement() = default;
    DataElement(const DataElement&) = default;
    DataElement& operator=(const DataElement&) = default;

    virtual std::unique_ptr<DataElement> Duplicate() const = 0;
    bool IsList() const { return isList_; }

private:
    bool isList_;
};

class SingleDataElement final : public DataElement {
public:
    SingleDataElement() : DataElement(false) {}
    explicit SingleDataElement(std::wstring value) : DataElement(false), text(std::move(value)) {}
    std::unique_ptr<DataElement> Duplicate() const override;

    std::wstring text;
};

class ListDataElement final : public DataElement {
public:
    ListDataElement() : DataElement(true) {}
    ListDataElement(const ListDataElement& other);
    ListDataElement& operator=(const ListDataElement& other);
    ListDataElement(ListDataElement&&) = default;
    ListDataElement& operator=(ListDataElement&&) = default;
    std::unique_ptr<DataElement> Duplicate() const override;

    // Appends a scalar and returns it.
    SingleDataElement& AddSingle(std::wstring value = std::wstring());
    // Appends an empty list and returns it.
    ListDataElement& AddList();

    std::vector<std::unique_ptr<DataElement>> elements;
};
