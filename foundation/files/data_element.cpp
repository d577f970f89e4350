#include "foundation/files/data_element.h"

std::unique_ptr<DataElement> SingleDataElement::Duplicate() const { return std::make_unique<SingleDataElement>(*this); }

ListDataElement::ListDataElement(const ListDataElement& other) : DataElement(true) {
    elements.reserve(other.elements.size());
    for (const auto& element : other.elements) elements.push_back(element->Duplicate());
}

ListDataElement& ListDataElement::operator=(const ListDataElement& other) {
    if (this != &other) {
        ListDataElement copy(other);
        elements = std::move(copy.elements);
    }
    return *this;
}

std::unique_ptr<DataElement> ListDataElement::Duplicate() const { return std::make_unique<ListDataElement>(*this); }

SingleDataElement& ListDataElement::AddSingle(std::wstring value) {
    auto element = std::make_unique<SingleDataElement>(std::move(value));
    SingleDataElement& added = *element;
    elements.push_back(std::move(element));
    return added;
}

ListDataElement& ListDataElement::AddList() {
    auto element = std::make_unique<ListDataElement>();
    ListDataElement& added = *element;
    elements.push_back(std::move(element));
    return added;
}
