// Owning wrappers for libcurl easy handles, header lists and C runtime files.
#pragma once

#include <curl/curl.h>

#include <cstdio>
#include <initializer_list>
#include <string>

#include "download/download_options.h"
#include "utils/win_handle.h"

namespace Download {

// libcurl's receive buffer for package transfers.
constexpr long kReceiveBufferBytes = 512L * 1024L;

struct CurlEasyTraits {
    using Type = CURL*;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type value) { return value != nullptr; }
    static void Close(Type value) { curl_easy_cleanup(value); }
};

struct CurlListTraits {
    using Type = curl_slist*;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type value) { return value != nullptr; }
    static void Close(Type value) { curl_slist_free_all(value); }
};

struct CFileTraits {
    using Type = FILE*;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type value) { return value != nullptr; }
    static void Close(Type value) { std::fclose(value); }
};

using UniqueCurl = Utils::UniqueResource<CurlEasyTraits>;
using UniqueCurlList = Utils::UniqueResource<CurlListTraits>;
using UniqueFile = Utils::UniqueResource<CFileTraits>;

// libcurl's text for a result code, as wide text for the trace.
std::wstring CurlErrorText(int code);

// A header list of the given lines.
UniqueCurlList MakeHeaderList(std::initializer_list<const char*> lines);

// Checks TLS peers against the certificates in `caBundle` (a PEM file) instead of the
// system's store; nothing to do for an empty name.
CURLcode UseCaBundle(CURL* handle, const std::string& caBundle);

// What every body-less probe sets: no body (thrown away if one comes), the connect and whole
// duration limits, TLS checked against `caBundle`, and `abort` as the progress function
// through which a stopping owner ends the probe.
CURLcode SetBodylessProbeOptions(CURL* handle, const DownloadTimings& timings, const std::string& caBundle,
                                 curl_xferinfo_callback abort, void* abortData);

// libcurl write function that throws the data away.
size_t DiscardBody(char* data, size_t size, size_t count, void* unused);

}  // namespace Download
