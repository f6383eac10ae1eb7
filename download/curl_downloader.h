// The default downloader: one resumable libcurl stream (CurlClient), a bounded number of
// retries with a short pause, and a check of the finished file against the MD5 that the
// package URL carries.
//
// Each attempt runs on its own worker. `Start` called from inside a notification (on that
// worker) never waits for it; called from elsewhere, it waits for the previous worker.
// Destroying the downloader stops a running transfer and waits, with a bound, for the
// worker; a stopping worker sends no further notifications.
#pragma once

#include <memory>
#include <string>

#include "download/download_options.h"
#include "download/downloader.h"

class CurlClient;

class CCurlDownloader : public CDownloader {
public:
    CCurlDownloader(const DownloadCallback& callback, const std::wstring& url, const std::wstring& savePath,
                    const DownloadOptions& options = DownloadOptions());
    ~CCurlDownloader() override;

    void Start() override;

    // Everything a worker touches. It lives apart from the downloader so that a worker
    // which does not stop within the bound at destruction keeps valid memory: the state
    // is then left to it rather than freed under it.
    struct Session;

    // The attempt, on a worker; `session` is the Session.
    static void dlThreadFun(void* session);
    // CurlClient's progress sink; `owner` is the Session.
    static void OnClientProgress(void* owner, double speed, double reserved, double percent);

    // For tests: what the client has learned.
    const CurlClient& client() const;

private:
    std::unique_ptr<Session> m_Session;
};
