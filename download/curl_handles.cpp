#include "download/curl_handles.h"

#include <string>

#include "utils/text_convert.h"

namespace Download {

std::wstring CurlErrorText(int code) {
    return Utils::MultiByteToWide(curl_easy_strerror(static_cast<CURLcode>(code)), CP_ACP);
}

UniqueCurlList MakeHeaderList(std::initializer_list<const char*> lines) {
    curl_slist* list = nullptr;
    for (const char* line : lines) {
        curl_slist* longer = curl_slist_append(list, line);
        if (longer == nullptr) break;
        list = longer;
    }
    return UniqueCurlList(list);
}

CURLcode UseCaBundle(CURL* handle, const std::string& caBundle) {
    if (caBundle.empty()) return CURLE_OK;
    return curl_easy_setopt(handle, CURLOPT_CAINFO, caBundle.c_str());
}

size_t DiscardBody(char*, size_t size, size_t count, void*) { return size * count; }

}  // namespace Download
