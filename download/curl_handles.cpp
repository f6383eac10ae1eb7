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

CURLcode SetBodylessProbeOptions(CURL* handle, const DownloadTimings& timings, const std::string& caBundle,
                                 curl_xferinfo_callback abort, void* abortData) {
    int options = 0;
    options |= curl_easy_setopt(handle, CURLOPT_NOBODY, 1L);
    options |= curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &DiscardBody);
    options |= curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, timings.connectTimeoutSeconds);
    options |= UseCaBundle(handle, caBundle);
    // A probe has no body whose speed could be watched; its whole duration is bounded.
    options |= curl_easy_setopt(handle, CURLOPT_TIMEOUT, timings.probeTimeoutSeconds);
    options |= curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    options |= curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, abort);
    options |= curl_easy_setopt(handle, CURLOPT_XFERINFODATA, abortData);
    return static_cast<CURLcode>(options);
}

}  // namespace Download
