#include "install/status_stream.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <cwchar>
#include <cwctype>

std::vector<std::string> StatusLineAssembler::Append(const char* bytes, size_t size) {
    const void* zero = size > 0 ? std::memchr(bytes, '\0', size) : nullptr;
    if (zero != nullptr) size = static_cast<size_t>(static_cast<const char*>(zero) - bytes);
    m_Pending.append(bytes, size);

    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t feed = m_Pending.find('\n'); feed != std::string::npos; feed = m_Pending.find('\n', start)) {
        lines.push_back(m_Pending.substr(start, feed - start));
        start = feed + 1;
    }
    m_Pending.erase(0, start);
    return lines;
}

bool StatusLineAssembler::TakeRemainder(std::string& line) {
    if (m_Pending.empty()) return false;
    line.swap(m_Pending);
    m_Pending.clear();
    return true;
}

bool MatchStatusKey(const std::wstring& line, const wchar_t* key, std::wstring& value) {
    const size_t keyLength = std::wcslen(key);
    if (line.compare(0, keyLength, key) != 0) return false;
    value = line.substr(keyLength);
    // A package that ends its lines with CR LF must not get the CR into its values.
    if (!value.empty() && value.back() == L'\r') value.pop_back();
    if (value.size() > kStatusValueMaxLength) value.resize(kStatusValueMaxLength);
    return true;
}

std::wstring TrimStatusValue(const std::wstring& value) {
    size_t begin = 0;
    size_t end = value.size();
    while (begin < end && std::iswspace(value[begin])) ++begin;
    while (end > begin && std::iswspace(value[end - 1])) --end;
    return value.substr(begin, end - begin);
}

double ReadStatusNumber(const std::wstring& value) {
    const wchar_t* begin = value.c_str();
    wchar_t* end = nullptr;
    const double number = std::wcstod(begin, &end);
    return end == begin ? 0.0 : number;
}

int32_t ReadStatusInteger(const std::wstring& value) {
    const wchar_t* begin = value.c_str();
    wchar_t* end = nullptr;
    errno = 0;
    const long long number = std::wcstoll(begin, &end, 10);
    if (end == begin) return 0;
    if (number > INT32_MAX) return INT32_MAX;
    if (number < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(number);
}

std::vector<std::wstring> SplitStatusLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t feed = text.find(L'\n', start);
        if (feed == std::wstring::npos) feed = text.size();
        lines.push_back(text.substr(start, feed - start));
        start = feed + 1;
    }
    return lines;
}
