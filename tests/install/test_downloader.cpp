#include "tests/install/test_downloader.h"

#include <windows.h>

TestDownloader::TestDownloader(DownloadCallback callback, std::wstring sourceFile, std::wstring savePath,
                               std::vector<TestAttempt> attempts)
    : m_Callback(std::move(callback)),
      m_SourceFile(std::move(sourceFile)),
      m_SavePath(std::move(savePath)),
      m_Attempts(std::move(attempts)) {}

TestDownloader::~TestDownloader() {
    std::vector<std::unique_ptr<Utils::Thread>> workers;
    {
        std::lock_guard<std::mutex> hold(m_Lock);
        workers.swap(m_Workers);
    }
    workers.clear();  // waits for every attempt
}

int TestDownloader::Starts() const {
    std::lock_guard<std::mutex> hold(m_Lock);
    return m_Starts;
}

void TestDownloader::WaitForAttempts() {
    std::lock_guard<std::mutex> hold(m_Lock);
    for (auto& worker : m_Workers) worker->Join();
}

void TestDownloader::Start() {
    std::lock_guard<std::mutex> hold(m_Lock);
    // Earlier workers are joined unless the caller is one of them.
    for (auto& worker : m_Workers) {
        if (worker && worker->threadId != ::GetCurrentThreadId()) worker->Join();
    }
    TestAttempt attempt;
    attempt.ending = TestAttempt::kFail;
    attempt.value = -1.0;  // more starts than scripted attempts
    if (m_Starts < static_cast<int>(m_Attempts.size())) attempt = m_Attempts[static_cast<size_t>(m_Starts)];
    ++m_Starts;
    m_Running.push_back(std::make_unique<TestAttempt>(attempt));
    TestAttempt* work = m_Running.back().get();
    auto worker = std::make_unique<Utils::Thread>(work, L"ABDEF", [this](void* argument) {
        RunAttempt(*static_cast<TestAttempt*>(argument));
    });
    worker->Resume();
    m_Workers.push_back(std::move(worker));
}

void TestDownloader::RunAttempt(const TestAttempt& attempt) {
    m_Callback(DL_CODE_START, 1.0, L"");
    for (double progress : attempt.progress) m_Callback(DL_CODE_PROGRESS, progress, L"");
    switch (attempt.ending) {
    case TestAttempt::kSuccess:
        if (!::CopyFileW(m_SourceFile.c_str(), m_SavePath.c_str(), FALSE)) {
            m_Callback(DL_CODE_FAIL, static_cast<double>(::GetLastError()), L"LibCurl");
            return;
        }
        m_Callback(DL_CODE_SUCCESS, 0.0, L"LibCurl");
        return;
    case TestAttempt::kFail:
        m_Callback(DL_CODE_FAIL, attempt.value, L"LibCurl");
        return;
    case TestAttempt::kRetry:
        m_Callback(DL_CODE_RETRY, attempt.value, L"LibCurl");
        return;
    }
}
