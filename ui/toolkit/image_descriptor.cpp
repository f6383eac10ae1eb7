#include "ui/toolkit/image_descriptor.h"

#include <cwchar>

#include "ui/toolkit/markup_values.h"

namespace SkinUI {

namespace {

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

std::wstring Trim(const std::wstring& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsSpace(text[begin])) ++begin;
    while (end > begin && IsSpace(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// A descriptor with keys has "='" or "=\"" in it; anything else is a plain path.
bool HasKeys(const std::wstring& text) {
    return text.find(L"='") != std::wstring::npos || text.find(L"=\"") != std::wstring::npos;
}

void ApplyKey(ImageDescriptor* descriptor, const std::wstring& key, const std::wstring& value) {
    if (key == L"file" || key == L"res") {
        descriptor->file = value;
    } else if (key == L"dest") {
        descriptor->hasDest = true;
        descriptor->dest = ParseRectValue(value);
    } else if (key == L"source") {
        descriptor->hasSource = true;
        descriptor->source = ParseRectValue(value);
    } else if (key == L"corner") {
        descriptor->corner = ParseRectValue(value);
    } else if (key == L"mask") {
        descriptor->hasMask = true;
        descriptor->mask = ParseColour(value);
    } else if (key == L"fade") {
        const int fade = ParseIntValue(value);
        descriptor->fade = static_cast<unsigned char>(fade < 0 ? 0 : (fade > 255 ? 255 : fade));
    } else if (key == L"hole") {
        descriptor->hole = ParseBoolValue(value);
    } else if (key == L"xtiled") {
        descriptor->xTiled = ParseBoolValue(value);
    } else if (key == L"ytiled") {
        descriptor->yTiled = ParseBoolValue(value);
    }
}

}  // namespace

ImageDescriptor ParseImageDescriptor(const std::wstring& text) {
    ImageDescriptor descriptor;
    if (!HasKeys(text)) {
        descriptor.file = Trim(text);
        return descriptor;
    }
    size_t position = 0;
    while (position < text.size()) {
        while (position < text.size() && IsSpace(text[position])) ++position;
        const size_t equals = text.find(L'=', position);
        if (equals == std::wstring::npos) break;
        const std::wstring key = Trim(text.substr(position, equals - position));
        position = equals + 1;
        while (position < text.size() && IsSpace(text[position])) ++position;
        if (position >= text.size()) break;
        const wchar_t quote = text[position];
        std::wstring value;
        if (quote == L'\'' || quote == L'"') {
            const size_t close = text.find(quote, position + 1);
            const size_t end = close == std::wstring::npos ? text.size() : close;
            value = text.substr(position + 1, end - position - 1);
            position = end + 1;
        } else {
            size_t end = position;
            while (end < text.size() && !IsSpace(text[end])) ++end;
            value = text.substr(position, end - position);
            position = end;
        }
        ApplyKey(&descriptor, key, value);
    }
    return descriptor;
}

}  // namespace SkinUI
