#include "download/win_downloader.h"

#include "download/escape_url.h"
#include "utils/debug_trace.h"
#include "utils/win_handle.h"

namespace {

constexpr int kAttempts = 3;

}  // namespace

struct CWinDownloader::Session {
    CBindCallback bindCallback;
    DownloadCallback callback;
    std::wstring savePath;
    std::wstring url;
    Download::WorkerThreads workers;
    Utils::Thread* firstWorker = nullptr;  // created suspended; null once resumed

    DownloadOptions options;
    UrlDownloadFunction download = &::URLDownloadToFileW;
    std::atomic<bool> stopping{false};
    Utils::UniqueHandle stopEvent{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};

    void Notify(int code, double value, const wchar_t* text) {
        if (!stopping) callback(code, value, text);
    }

    static void Attempt(void* session);
};

CWinDownloader::CBindCallback::~CBindCallback() {
    abort = true;
    progressCallback = nullptr;
}

HRESULT CWinDownloader::CBindCallback::QueryInterface(REFIID, void** object) {
    if (object != nullptr) *object = nullptr;
    return E_NOTIMPL;
}

HRESULT CWinDownloader::CBindCallback::OnStartBinding(DWORD, IBinding* binding_) {
    binding = binding_;
    return E_NOTIMPL;
}

HRESULT CWinDownloader::CBindCallback::OnProgress(ULONG progress, ULONG progressMax, ULONG, LPCWSTR) {
    if (abort) return E_ABORT;
    if (progressMax == 0) return S_OK;
    if (progressCallback) {
        progressCallback(DL_CODE_PROGRESS,
                         static_cast<double>(static_cast<uint32_t>(progress)) / static_cast<uint32_t>(progressMax), L"");
    }
    return S_OK;
}

HRESULT CWinDownloader::CBindCallback::GetBindInfo(DWORD*, BINDINFO* bindInfo) {
    if (bindInfo != nullptr) bindInfo->dwCodePage = CP_UTF8;
    return E_NOTIMPL;
}

CWinDownloader::CWinDownloader(const DownloadCallback& callback, const std::wstring& url, const std::wstring& savePath,
                               const DownloadOptions& options, UrlDownloadFunction download)
    : m_Session(std::make_unique<Session>()) {
    Session& session = *m_Session;
    session.callback = callback;
    session.savePath = savePath;
    session.url = url;
    session.options = options;
    if (download != nullptr) session.download = download;
    session.firstWorker = session.workers.CreateSuspended(&session, L"ABDEF", &Session::Attempt);
}

CWinDownloader::~CWinDownloader() {
    Session& session = *m_Session;
    session.stopping = true;
    session.bindCallback.abort = true;
    ::SetEvent(session.stopEvent.get());
    // A worker that was never resumed sees the stop first thing and ends at once.
    if (session.firstWorker != nullptr) session.firstWorker->Resume();
    if (!session.workers.WaitAllButCaller(session.options.timings.stopWaitMs)) {
        Utils::TraceAt(L"CWinDownloader::~CWinDownloader", __LINE__, L"worker did not stop in time; left running");
        m_Session.release();  // deliberately leaked: the worker still uses it
    }
}

void CWinDownloader::Start() {
    Session& session = *m_Session;
    if (session.stopping) return;
    if (session.firstWorker != nullptr) {
        session.bindCallback.progressCallback = session.callback;
        Utils::Thread* first = session.firstWorker;
        session.firstWorker = nullptr;
        first->Resume();
        return;
    }
    // A repeated Start (the user starts the installation again after a failure) runs a new
    // attempt once the previous one, which has sent its last notification, has ended.
    session.workers.JoinAllButCaller();
    session.bindCallback.progressCallback = session.callback;
    if (!session.workers.Launch(&session, L"ABDEF", &Session::Attempt)) {
        Utils::TraceAt(L"CWinDownloader::Start", __LINE__, L"no worker thread: %lu", ::GetLastError());
    }
}

void CWinDownloader::Session::Attempt(void* data) {
    Session& session = *static_cast<Session*>(data);
    if (session.stopping) return;
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    session.Notify(DL_CODE_START, 1.0, L"");
    if (session.savePath.empty()) {
        session.Notify(DL_CODE_FAIL, 1.0, L"");
    } else {
        const bool localFile = session.url.compare(0, 8, L"file:///") == 0;
        const std::wstring preparedUrl = localFile ? session.url : Utils::EscapeUrl(session.url);
        for (int attempt = 1; attempt <= kAttempts && !session.stopping; ++attempt) {
            const HRESULT result = session.download(nullptr, preparedUrl.c_str(), session.savePath.c_str(), 0,
                                                    &session.bindCallback);
            if (SUCCEEDED(result)) {
                session.Notify(DL_CODE_SUCCESS, 0.0, L"URLDownloadToFile");
                break;
            }
            if (::WaitForSingleObject(session.stopEvent.get(), session.options.timings.winRetryPauseMs) != WAIT_TIMEOUT) {
                break;
            }
            if (attempt == kAttempts) session.Notify(DL_CODE_FAIL, static_cast<double>(result), L"URLDownloadToFile");
        }
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
}
