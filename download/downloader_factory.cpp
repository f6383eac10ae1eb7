#include "download/curl_downloader.h"
#include "download/downloader.h"
#include "download/mt_curl_downloader.h"
#include "download/win_downloader.h"

std::unique_ptr<CDownloader> CreateDownloader(int downloadType, const DownloadCallback& callback,
                                              const std::wstring& url, const std::wstring& savePath,
                                              const DownloadOptions& options) {
    switch (downloadType) {
        case 3:
            return std::make_unique<CMTCurlDownloader>(callback, url, savePath, options);
        case 2:
            return std::make_unique<CWinDownloader>(callback, url, savePath, options);
        default:
            return std::make_unique<CCurlDownloader>(callback, url, savePath, options);
    }
}
