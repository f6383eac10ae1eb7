#include "ui/toolkit/xml_document.h"

#include <cwchar>

#include "utils/text_convert.h"

namespace SkinUI {

namespace {

class XmlReader {
public:
    explicit XmlReader(const std::wstring& text) : m_Text(text) {}

    bool ReadDocument(XmlElement* root, std::wstring* error) {
        if (!SkipMisc()) return Fail(error);
        if (!ReadElement(root)) return Fail(error);
        if (!SkipMisc() || m_Position != m_Text.size()) {
            if (m_Error.empty()) m_Error = L"content after the root element";
            return Fail(error);
        }
        return true;
    }

private:
    bool Fail(std::wstring* error) {
        if (error != nullptr) *error = m_Error + L" at offset " + std::to_wstring(m_Position);
        return false;
    }

    bool AtEnd() const { return m_Position >= m_Text.size(); }
    wchar_t Peek(size_t ahead = 0) const {
        return m_Position + ahead < m_Text.size() ? m_Text[m_Position + ahead] : L'\0';
    }
    bool StartsWith(const wchar_t* prefix) const { return m_Text.compare(m_Position, std::wcslen(prefix), prefix) == 0; }
    static bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }
    static bool IsNameChar(wchar_t c) {
        return !IsSpace(c) && c != L'=' && c != L'>' && c != L'/' && c != L'<' && c != L'"' && c != L'\'' && c != 0;
    }
    void SkipSpaces() {
        while (!AtEnd() && IsSpace(Peek())) ++m_Position;
    }

    bool SkipPast(const wchar_t* terminator) {
        const size_t found = m_Text.find(terminator, m_Position);
        if (found == std::wstring::npos) {
            m_Error = std::wstring(L"missing ") + terminator;
            return false;
        }
        m_Position = found + std::wcslen(terminator);
        return true;
    }

    // Comments, processing instructions, a document type and white space.
    bool SkipMisc() {
        for (;;) {
            SkipSpaces();
            if (StartsWith(L"<!--")) {
                if (!SkipPast(L"-->")) return false;
            } else if (StartsWith(L"<?")) {
                if (!SkipPast(L"?>")) return false;
            } else if (StartsWith(L"<!DOCTYPE")) {
                if (!SkipPast(L">")) return false;
            } else {
                return true;
            }
        }
    }

    std::wstring ReadName() {
        const size_t start = m_Position;
        while (!AtEnd() && IsNameChar(Peek())) ++m_Position;
        return m_Text.substr(start, m_Position - start);
    }

    bool DecodeEntities(const std::wstring& raw, std::wstring* out) {
        out->clear();
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] != L'&') {
                out->push_back(raw[i]);
                continue;
            }
            const size_t end = raw.find(L';', i);
            if (end == std::wstring::npos) {
                m_Error = L"unterminated entity";
                return false;
            }
            const std::wstring entity = raw.substr(i + 1, end - i - 1);
            if (entity == L"amp") out->push_back(L'&');
            else if (entity == L"lt") out->push_back(L'<');
            else if (entity == L"gt") out->push_back(L'>');
            else if (entity == L"quot") out->push_back(L'"');
            else if (entity == L"apos") out->push_back(L'\'');
            else if (entity.size() > 1 && entity[0] == L'#') {
                const bool hex = entity[1] == L'x' || entity[1] == L'X';
                const unsigned long code = std::wcstoul(entity.c_str() + (hex ? 2 : 1), nullptr, hex ? 16 : 10);
                if (code >= 0x10000) {
                    const unsigned long value = code - 0x10000;
                    out->push_back(static_cast<wchar_t>(0xD800 + (value >> 10)));
                    out->push_back(static_cast<wchar_t>(0xDC00 + (value & 0x3FF)));
                } else {
                    out->push_back(static_cast<wchar_t>(code));
                }
            } else {
                m_Error = L"unknown entity &" + entity + L";";
                return false;
            }
            i = end;
        }
        return true;
    }

    bool ReadElement(XmlElement* element) {
        if (Peek() != L'<') {
            m_Error = L"expected an element";
            return false;
        }
        ++m_Position;
        element->name = ReadName();
        if (element->name.empty()) {
            m_Error = L"element without a name";
            return false;
        }
        for (;;) {
            SkipSpaces();
            if (StartsWith(L"/>")) {
                m_Position += 2;
                return true;
            }
            if (Peek() == L'>') {
                ++m_Position;
                break;
            }
            std::wstring name = ReadName();
            if (name.empty()) {
                m_Error = L"bad attribute in <" + element->name + L">";
                return false;
            }
            SkipSpaces();
            if (Peek() != L'=') {
                m_Error = L"attribute " + name + L" without a value";
                return false;
            }
            ++m_Position;
            SkipSpaces();
            const wchar_t quote = Peek();
            if (quote != L'"' && quote != L'\'') {
                m_Error = L"attribute " + name + L" not quoted";
                return false;
            }
            ++m_Position;
            const size_t end = m_Text.find(quote, m_Position);
            if (end == std::wstring::npos) {
                m_Error = L"attribute " + name + L" not closed";
                return false;
            }
            std::wstring value;
            if (!DecodeEntities(m_Text.substr(m_Position, end - m_Position), &value)) return false;
            m_Position = end + 1;
            element->attributes.emplace_back(std::move(name), std::move(value));
        }
        // Content: child elements, comments and text up to the matching end tag.
        for (;;) {
            if (AtEnd()) {
                m_Error = L"<" + element->name + L"> not closed";
                return false;
            }
            if (StartsWith(L"</")) {
                m_Position += 2;
                const std::wstring name = ReadName();
                SkipSpaces();
                if (name != element->name || Peek() != L'>') {
                    m_Error = L"</" + name + L"> does not close <" + element->name + L">";
                    return false;
                }
                ++m_Position;
                return true;
            }
            if (StartsWith(L"<!--")) {
                if (!SkipPast(L"-->")) return false;
            } else if (StartsWith(L"<![CDATA[")) {
                if (!SkipPast(L"]]>")) return false;
            } else if (StartsWith(L"<?")) {
                if (!SkipPast(L"?>")) return false;
            } else if (Peek() == L'<') {
                element->children.emplace_back();
                if (!ReadElement(&element->children.back())) return false;
            } else {
                ++m_Position;  // text content is not used
            }
        }
    }

    const std::wstring& m_Text;
    size_t m_Position = 0;
    std::wstring m_Error;
};

std::wstring DecodeDocumentText(const std::string& bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::wstring text;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                                (static_cast<unsigned char>(bytes[i + 1]) << 8)));
        }
        return text;
    }
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return Utils::Utf8ToWide(bytes.substr(3));
    return Utils::Utf8ToWide(bytes);
}

}  // namespace

const std::wstring* XmlElement::Attribute(const std::wstring& attributeName) const {
    for (const auto& attribute : attributes) {
        if (attribute.first == attributeName) return &attribute.second;
    }
    return nullptr;
}

bool ParseXmlDocument(const std::string& bytes, XmlElement* root, std::wstring* error) {
    *root = XmlElement{};
    const std::wstring text = DecodeDocumentText(bytes);
    if (text.empty()) {
        if (error != nullptr) *error = L"empty or undecodable document";
        return false;
    }
    XmlReader reader(text);
    return reader.ReadDocument(root, error);
}

}  // namespace SkinUI
