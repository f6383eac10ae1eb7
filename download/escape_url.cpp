#include "download/escape_url.h"

#include "utils/text_convert.h"

namespace Utils {

std::wstring EscapeUrl(const std::wstring& url) {
    static const char kDigits[] = "0123456789ABCDEF";
    const std::string bytes = WideToUtf8(url);
    std::string escaped;
    escaped.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte >= 33 && byte <= 126) {
            escaped.push_back(c);
        } else if (byte == ' ') {
            escaped.push_back('+');
        } else {
            escaped.push_back('%');
            escaped.push_back(kDigits[byte >> 4]);
            escaped.push_back(kDigits[byte & 0x0F]);
        }
    }
    return Utf8ToWide(escaped);
}

}  // namespace Utils
