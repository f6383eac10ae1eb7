// One file over HTTP(S) or file:/// with libcurl, for the single-stream downloader.
//
// Before transferring, body-less probes learn the real URL (after redirects) and the size.
// The body goes into a side file (savePath + ".part") that a later `Start` resumes from its
// current size; when the transfer is complete the side file becomes savePath. What the
// probes learned survives between calls, so retries go straight to the transfer.
//
// Threads: everything except the destructor and `stopRequested` runs on the owner's
// worker, one call at a time. Any thread may set `stopRequested`; the running transfer or
// probe then ends at libcurl's next progress call (within about a second).
#pragma once

#include <curl/curl.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "download/curl_handles.h"
#include "download/download_options.h"

class CurlClient {
public:
    // (owner, speed in bytes per second, reserved, percent); the percent may exceed 100.
    using ProgressFunction = void (*)(void* owner, double speed, double reserved, double percent);

    // Results of `Start` besides 0 and libcurl's codes.
    static constexpr int kSizeUnknown = -998;         // size unknown or below 1 MiB after both probes
    static constexpr int kNoHandle = -997;            // no libcurl easy handle
    static constexpr int kSideFileUnopenable = -996;  // the side file cannot be opened
    static constexpr int kCannotMoveToSavePath = -995;  // complete, but savePath cannot be replaced

    CurlClient(const std::wstring& url, const std::wstring& savePath, void* owner, ProgressFunction progressFn,
               const DownloadOptions& options = DownloadOptions());
    ~CurlClient();

    CurlClient(const CurlClient&) = delete;
    CurlClient& operator=(const CurlClient&) = delete;

    // One transfer, blocking until it ends: 0 when savePath holds the complete file.
    int Start();

    // A handle on which a body-less request has been performed (null without a handle);
    // the caller reads from it and releases it.
    Download::UniqueCurl Head(const std::string& url);
    static std::string GetEffectiveUrl(CURL* handle);
    double GetDownloadFileLength(CURL* handle);
    std::string GetRealUrl_Str(const std::string& url);
    double GetDownloadFileLength_Str(const std::string& url);
    // libcurl's transfer-info function; `client` is this object. 1 abandons the transfer.
    static int ProgressCallback(void* client, curl_off_t totalToDownload, curl_off_t downloadedNow,
                                curl_off_t totalToUpload, curl_off_t uploadedNow);
    std::wstring GetFilePath(bool withPartSuffix) const;

    std::wstring url;
    std::wstring savePath;
    void* owner = nullptr;
    Download::UniqueCurl curl;
    ProgressFunction progressFn = nullptr;
    double fileLength = -1.0;
    int64_t resumeOffset = -1;
    int64_t lastProgressTime = 0;
    std::atomic<bool> stopRequested{false};
    std::string realUrl;

private:
    // The URL as libcurl gets it: UTF-8, or the ANSI code page for a local file:/// URL so
    // that the path reaches the file system as written.
    std::string UrlForCurl() const;
    // Options shared by the probes; their combined result.
    CURLcode SetProbeOptions(CURL* handle, const std::string& probeUrl);
    // Learns realUrl and fileLength unless an earlier call did.
    void ProbeIfNeeded(const std::string& curlUrl);
    void ReportBadStatus(long status);
    int Transfer(FILE* sideFile);
    int MoveSideFileToSavePath();

    DownloadOptions m_Options;
};

// Percent of the file present once `downloadedNow` bytes of this transfer have arrived; 0
// when nothing can be said. `fileLength` above 1 MiB counts the resumed bytes too.
double TransferPercent(double fileLength, int64_t resumeOffset, curl_off_t totalToDownload, curl_off_t downloadedNow);
