#include "download/curl_downloader.h"

#include <windows.h>

#include <atomic>

#include "download/curl_client.h"
#include "download/file_ops.h"
#include "download/md5_from_url.h"
#include "download/worker_threads.h"
#include "utils/debug_trace.h"
#include "utils/file_md5.h"
#include "utils/win_handle.h"

namespace {

constexpr int kTransferBudget = 12;
constexpr int kPartialFile = 18;  // CURLE_PARTIAL_FILE: the connection dropped mid-body

}  // namespace

struct CCurlDownloader::Session {
    Session(const DownloadCallback& callback_, const std::wstring& url_, const std::wstring& savePath_,
            const DownloadOptions& options_)
        : callback(callback_),
          savePath(savePath_),
          url(url_),
          client(url_, savePath_, this, &CCurlDownloader::OnClientProgress, options_),
          options(options_),
          stopEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

    // Drops everything once the owner is going away: the receiver may be gone too.
    void Notify(int code, double value, const wchar_t* text) {
        if (!stopping) callback(code, value, text);
    }

    // Sleeps, but returns at once (false) when a stop is requested.
    bool Pause(unsigned long milliseconds) {
        return ::WaitForSingleObject(stopEvent.get(), milliseconds) == WAIT_TIMEOUT;
    }

    DownloadCallback callback;
    std::wstring savePath;
    std::wstring url;
    CurlClient client;
    Download::WorkerThreads workers;
    bool md5Retried = false;

    DownloadOptions options;
    std::atomic<bool> stopping{false};
    Utils::UniqueHandle stopEvent;
};

CCurlDownloader::CCurlDownloader(const DownloadCallback& callback, const std::wstring& url, const std::wstring& savePath,
                                 const DownloadOptions& options)
    : m_Session(std::make_unique<Session>(callback, url, savePath, options)) {
    // A new downloader never resumes what an earlier process left behind.
    Download::DeleteFileIfExists(m_Session->client.GetFilePath(true));
}

CCurlDownloader::~CCurlDownloader() {
    Session& session = *m_Session;
    session.stopping = true;
    session.client.stopRequested = true;
    ::SetEvent(session.stopEvent.get());
    if (!session.workers.WaitAllButCaller(session.options.timings.stopWaitMs)) {
        Utils::TraceAt(L"CCurlDownloader::~CCurlDownloader", __LINE__, L"worker did not stop in time; left running");
        m_Session.release();  // deliberately leaked: the worker still uses it
    }
}

void CCurlDownloader::Start() {
    Session& session = *m_Session;
    if (session.stopping) return;
    // From another thread, the previous attempt has already sent its last notification
    // (the receiver starts again only after one), so its worker is about to end.
    session.workers.JoinAllButCaller();
    if (!session.workers.Launch(&session, L"ABDEF", &CCurlDownloader::dlThreadFun)) {
        Utils::TraceAt(L"CCurlDownloader::Start", __LINE__, L"no worker thread: %lu", ::GetLastError());
    }
}

const CurlClient& CCurlDownloader::client() const { return m_Session->client; }

void CCurlDownloader::OnClientProgress(void* owner, double speed, double, double percent) {
    Session& session = *static_cast<Session*>(owner);
    if (speed > 0.0 && percent <= 100.0) session.Notify(DL_CODE_PROGRESS, percent / 100.0, L"");
}

void CCurlDownloader::dlThreadFun(void* data) {
    Session& session = *static_cast<Session*>(data);
    session.Notify(DL_CODE_START, 1.0, L"");
    if (session.savePath.empty()) {
        session.Notify(DL_CODE_FAIL, 1.0, L"");
        return;
    }

    int budget = kTransferBudget;
    int result = session.client.Start();
    while (result != 0) {
        if (session.stopping) return;
        budget -= result == kPartialFile ? 1 : 2;
        if (budget <= 0) {
            session.Notify(DL_CODE_FAIL, result, L"LibCurl");
            return;
        }
        Utils::TraceAt(L"CCurlDownloader::dlThreadFun", 49, L"CurlDownLoader Code=%d", result);
        if (!session.Pause(session.options.timings.retryPauseMs)) return;
        result = session.client.Start();
    }

    const std::string expectedMd5 = Utils::GetMd5FromUrl(session.client.realUrl);
    if (expectedMd5.size() != 32) {
        session.Notify(DL_CODE_REPORT, 0.0, L"curl获取url-md5失败");
        session.Notify(DL_CODE_SUCCESS, 0.0, L"LibCurl");
        return;
    }
    const std::string actualMd5 = Utils::GetFileMd5W(session.savePath);
    if (actualMd5.size() == 32 && actualMd5 != expectedMd5) {
        session.Notify(DL_CODE_REPORT, 0.0, L"curl文件md5校验失败");
        if (!session.md5Retried) {
            session.md5Retried = true;
            session.Notify(DL_CODE_RETRY, 0.0, L"LibCurl");
        } else {
            session.Notify(DL_CODE_FAIL, 0.0, L"LibCurl");
        }
        return;
    }
    session.Notify(DL_CODE_SUCCESS, 0.0, L"LibCurl");
}
