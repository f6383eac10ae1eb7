#include "download/md5_from_url.h"

namespace Utils {

std::string GetMd5FromUrl(const std::string& url) {
    if (url.empty()) return {};
    const size_t last = url.rfind('/');
    if (last == std::string::npos || last == 0) return {};
    const size_t previous = url.rfind('/', last - 1);
    if (previous == std::string::npos) return {};
    return url.substr(previous + 1, last - previous - 1);
}

}  // namespace Utils
