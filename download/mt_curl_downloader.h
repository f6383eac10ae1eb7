// The multi-part downloader: one body-less request learns the package's real URL and
// size, the package is cut into at most two byte ranges, each range is fetched on its own
// thread with its own libcurl handle into its own part file (savePath + "_0", "_1") and
// retried on its own; a completion thread joins the parts into savePath, checks the MD5
// that the URL carries and sends the attempt's final notification. One retry is spent per
// object, on a failed part or a digest mismatch, whichever comes first.
//
// Threads per attempt: the setup thread (DL_CODE_START), a thread per pending part
// (DL_CODE_PROGRESS) and the completion thread (everything that ends the attempt, sent
// only after every part thread has finished). Destroying the downloader stops the
// transfers and waits, with a bound, for all of them; a stopping attempt sends nothing more.
#pragma once

#include <curl/curl.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "download/download_options.h"
#include "download/download_part.h"
#include "download/downloader.h"
#include "download/worker_threads.h"
#include "utils/win_handle.h"

class CMTCurlDownloader : public CDownloader {
public:
    using DownloadPartNode = ::DownloadPartNode;

    CMTCurlDownloader(const DownloadCallback& callback, const std::wstring& url, const std::wstring& savePath,
                      const DownloadOptions& options = DownloadOptions());
    ~CMTCurlDownloader() override;

    void Start() override;

    // Everything the attempt's threads touch. It lives apart from the downloader so that
    // threads which do not stop within the bound at destruction keep valid memory: the
    // session is then left to them rather than freed under them.
    class Session;
    Session& session() { return *m_Session; }

private:
    std::unique_ptr<Session> m_Session;
};

class CMTCurlDownloader::Session {
public:
    Session(const DownloadCallback& callback, const std::wstring& url, const std::wstring& savePath,
            const DownloadOptions& options);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Launches the setup thread of a new attempt.
    void Start();
    // Ends transfers at libcurl's next progress call, cuts pauses short, silences notifications.
    void RequestStop();
    bool WaitForThreads(unsigned long milliseconds) { return workers.WaitAllButCaller(milliseconds); }
    unsigned long StopWaitMs() const { return m_Options.timings.stopWaitMs; }

    // The setup thread: probe, cut into parts, launch the part and completion threads.
    void Start_Down();
    // Learns realUrl, fileLength and expectedMd5; true when the package can be fetched.
    bool getRealDownloadUrl(const std::string& curlUrl);
    // A part thread: transfers with retries until the part is complete or its budget spent.
    void downloadThreadFun(DownloadPartNode* part);
    // One transfer of the part's remaining range; libcurl's result.
    int downloadExe(DownloadPartNode* part);
    // The completion thread: waits for the parts, joins, verifies, ends the attempt.
    void waitForFinishThreadFun();
    // libcurl transfer-info function; `session` is this object.
    static int ProgressFunction(void* session, curl_off_t, curl_off_t, curl_off_t, curl_off_t);

    std::vector<std::unique_ptr<DownloadPartNode>> parts;  // the current attempt's; empty between attempts
    DownloadCallback callback;
    std::wstring savePath;
    std::wstring url;
    std::string realUrl;             // effective URL after redirects; kept across attempts
    int32_t fileLength = -1;         // package size; 0 while a probe runs; kept across attempts
    std::string expectedMd5;         // from the effective URL
    double lastPercent = 0.0;        // last percentage reported; above 0 keeps part files for the retry
    std::atomic<int32_t> runningParts{0};
    std::mutex lock;                 // serialises the progress evaluation of the part threads
    int64_t lastProgressTime = 0;
    bool md5Retried = false;         // the one retry of this object is spent
    Download::WorkerThreads workers;

private:
    void Notify(int code, double value, const wchar_t* text);
    bool Pause(unsigned long milliseconds);
    std::wstring PartPath(int index) const;
    void DeletePartFiles();
    void BuildParts();
    void ReleaseParts();
    // Joins the part files into savePath; false when savePath cannot be made.
    bool JoinParts();
    // Ends the attempt after a failure: the one retry first, then for good.
    void EndAttempt(int failCode);

    DownloadOptions m_Options;
    std::atomic<bool> m_Stopping{false};
    Utils::UniqueHandle m_StopEvent;
};
