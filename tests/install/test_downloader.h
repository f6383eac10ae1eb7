// A downloader for pipeline tests: each Start runs the next scripted attempt on a worker of
// its own, sending the notifications a real downloader sends, and a successful attempt
// copies a local file to the save path. Like the real ones, a Start from inside its own
// callback does not wait for the calling worker.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "download/downloader.h"
#include "utils/thread.h"

struct TestAttempt {
    enum Ending { kSuccess, kFail, kRetry };
    Ending ending = kSuccess;
    std::vector<double> progress;  // DL_CODE_PROGRESS values before the ending
    double value = 0.0;            // the ending's value for kFail and kRetry
};

class TestDownloader : public CDownloader {
public:
    TestDownloader(DownloadCallback callback, std::wstring sourceFile, std::wstring savePath,
                   std::vector<TestAttempt> attempts);
    ~TestDownloader() override;

    void Start() override;
    int Starts() const;
    // Waits until every attempt started so far, its callbacks included, has ended.
    void WaitForAttempts();

private:
    void RunAttempt(const TestAttempt& attempt);

    DownloadCallback m_Callback;
    std::wstring m_SourceFile;
    std::wstring m_SavePath;
    std::vector<TestAttempt> m_Attempts;
    mutable std::mutex m_Lock;
    int m_Starts = 0;
    std::vector<std::unique_ptr<Utils::Thread>> m_Workers;
    std::vector<std::unique_ptr<TestAttempt>> m_Running;
};
