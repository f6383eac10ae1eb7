// The one interface of the package downloaders. `Start` begins one attempt on a worker
// thread and returns at once; everything else arrives through the callback, on worker
// threads. An attempt ends with exactly one of DL_CODE_SUCCESS, DL_CODE_FAIL or
// DL_CODE_RETRY; on DL_CODE_RETRY the receiver calls `Start` again, possibly from inside the
// callback, in which case `Start` never waits for the calling worker.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "download/download_options.h"

enum DownloadCode : int {
    DL_CODE_START = 1001,
    DL_CODE_PROGRESS = 1002,
    DL_CODE_SUCCESS = 1003,
    DL_CODE_FAIL = 1004,
    DL_CODE_RETRY = 1005,
    DL_CODE_REPORT = 1006,
};

// (code, value, text)
using DownloadCallback = std::function<void(int code, double value, const std::wstring& text)>;

class CDownloader {
public:
    virtual ~CDownloader() = default;
    virtual void Start() = 0;
};

// The downloader of a download type: 3 multi-part, 2 the system service, any other value
// the single-stream downloader. The pipeline passes the settings' m_NetworkReady in
// `options.networkReady`; the other options keep their shipped defaults outside tests.
std::unique_ptr<CDownloader> CreateDownloader(int downloadType, const DownloadCallback& callback,
                                              const std::wstring& url, const std::wstring& savePath,
                                              const DownloadOptions& options = DownloadOptions());
