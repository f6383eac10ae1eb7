#include "utils/text_convert.h"

#include <windows.h>

namespace Utils {

std::wstring MultiByteToWide(const std::string& text, unsigned int codePage) {
    if (text.empty()) return {};
    const int length = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) return {};
    std::wstring result(static_cast<size_t>(length), L'\0');
    if (::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &result[0], length) != length) {
        return {};
    }
    return result;
}

std::string WideToMultiByte(const std::wstring& text, unsigned int codePage) {
    if (text.empty()) return {};
    const int length =
        ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string result(static_cast<size_t>(length), '\0');
    if (::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &result[0], length, nullptr,
                              nullptr) != length) {
        return {};
    }
    return result;
}

}  // namespace Utils
