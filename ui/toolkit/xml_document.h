// A small reader for the layout markup: elements, attributes, comments, processing
// instructions and the five predefined entities plus numeric character references.
// Text between elements is not used by the layouts and is dropped.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace SkinUI {

struct XmlElement {
    std::wstring name;
    std::vector<std::pair<std::wstring, std::wstring>> attributes;  // document order
    std::vector<XmlElement> children;

    // nullptr when absent; names compare exactly.
    const std::wstring* Attribute(const std::wstring& attributeName) const;
};

// Reads a whole document (UTF-8, with or without a byte-order mark, or UTF-16LE with one).
// False, with a short reason in `error`, when the text is not well-formed.
bool ParseXmlDocument(const std::string& bytes, XmlElement* root, std::wstring* error);

}  // namespace SkinUI
