#include "download/win_downloader.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <mutex>
#include <vector>

#include "download/escape_url.h"
#include "tests/download/download_test_support.h"
#include "tests/support/temp_folder.h"
#include "utils/file_md5.h"

namespace {

using namespace DownloadTest;
using TestSupport::TempFolder;

constexpr unsigned long kFinalWaitMs = 60000;

TEST(EscapeUrl, KeepsPrintableAsciiAndEscapesTheRestAsUtf8) {
    struct Case {
        const wchar_t* url;
        const wchar_t* escaped;
    } cases[] = {
        {L"http://h/a b/安装.exe", L"http://h/a+b/%E5%AE%89%E8%A3%85.exe"},
        {L"http://h/%E5%AE%89.exe?x=1&y=~", L"http://h/%E5%AE%89.exe?x=1&y=~"},  // escaped already
        {L"http://h/t\tab\u00e9", L"http://h/t%09ab%C3%A9"},
        {L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(Utils::EscapeUrl(c.url), c.escaped) << c.url;
}

// The system service as the tests play it: records what it is given, reports the
// progress steps of `g_Steps` and answers `g_Answer`.
struct FakeService {
    std::mutex lock;
    std::vector<std::wstring> urls;
    std::vector<std::pair<ULONG, ULONG>> steps;
    HRESULT answer = S_OK;
} g_Service;

HRESULT __stdcall FakeUrlDownload(IUnknown*, LPCWSTR url, LPCWSTR, DWORD, IBindStatusCallback* callback) {
    std::vector<std::pair<ULONG, ULONG>> steps;
    {
        std::lock_guard<std::mutex> guard(g_Service.lock);
        g_Service.urls.push_back(url);
        steps = g_Service.steps;
    }
    for (const auto& step : steps) callback->OnProgress(step.first, step.second, BINDSTATUS_DOWNLOADINGDATA, L"");
    return g_Service.answer;
}

void ResetService(HRESULT answer, std::vector<std::pair<ULONG, ULONG>> steps = {}) {
    std::lock_guard<std::mutex> guard(g_Service.lock);
    g_Service.urls.clear();
    g_Service.steps = std::move(steps);
    g_Service.answer = answer;
}

std::vector<std::wstring> ServiceUrls() {
    std::lock_guard<std::mutex> guard(g_Service.lock);
    return g_Service.urls;
}

TEST(CWinDownloader, EscapesHttpUrlsButHandsLocalFilesOnUnchanged) {
    struct Case {
        const wchar_t* url;
        const wchar_t* given;
    } cases[] = {
        {L"http://127.0.0.1/安装 包.exe", L"http://127.0.0.1/%E5%AE%89%E8%A3%85+%E5%8C%85.exe"},
        {L"file:///C:/安装 包.exe", L"file:///C:/安装 包.exe"},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        EventRecorder recorder;
        ResetService(S_OK);
        CWinDownloader downloader(recorder.Callback(), c.url, folder.File(L"p.exe"), FastOptions(), &FakeUrlDownload);
        downloader.Start();
        ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs));
        EXPECT_EQ(ServiceUrls(), (std::vector<std::wstring>{c.given}));
        EXPECT_EQ(recorder.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_SUCCESS}));
        EXPECT_EQ(recorder.Events().back().text, L"URLDownloadToFile");
    }
}

TEST(CWinDownloader, ForwardsProgressOnlyWhenTheServiceKnowsTheTotal) {
    TempFolder folder;
    EventRecorder recorder;
    ResetService(S_OK, {{10, 0}, {25, 100}, {0, 0}, {100, 100}});
    CWinDownloader downloader(recorder.Callback(), L"http://127.0.0.1/x", folder.File(L"p.exe"), FastOptions(),
                              &FakeUrlDownload);
    downloader.Start();
    ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs));
    EXPECT_EQ(recorder.ProgressValues(), (std::vector<double>{0.25, 1.0}));
}

TEST(CWinDownloader, ThreeFailuresWithOneSecondPausesThenFailWithTheServiceCode) {
    TempFolder folder;
    EventRecorder recorder;
    const HRESULT refused = static_cast<HRESULT>(0x800C0008);
    ResetService(refused);
    CWinDownloader downloader(recorder.Callback(), L"http://127.0.0.1/x", folder.File(L"p.exe"), DownloadOptions(),
                              &FakeUrlDownload);
    const ULONGLONG started = ::GetTickCount64();
    downloader.Start();
    ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs));
    EXPECT_GE(::GetTickCount64() - started, 3000u);
    EXPECT_EQ(ServiceUrls().size(), 3u);
    EXPECT_EQ(recorder.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_FAIL}));
    EXPECT_EQ(recorder.Events().back().value, static_cast<double>(refused));
    EXPECT_EQ(recorder.Events().back().text, L"URLDownloadToFile");
}

TEST(CWinDownloader, SecondStartRunsANewAttempt) {
    TempFolder folder;
    EventRecorder recorder;
    ResetService(S_OK);
    CWinDownloader downloader(recorder.Callback(), L"http://127.0.0.1/x", folder.File(L"p.exe"), FastOptions(),
                              &FakeUrlDownload);
    downloader.Start();
    ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs, 1));
    downloader.Start();
    ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs, 2));
    EXPECT_EQ(recorder.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_SUCCESS, DL_CODE_START, DL_CODE_SUCCESS}));
    EXPECT_EQ(ServiceUrls().size(), 2u);
}

TEST(CWinDownloader, NeverStartedIsDestroyedAtOnce) {
    TempFolder folder;
    EventRecorder recorder;
    ResetService(S_OK);
    DownloadOptions options;  // the shipped bound of the stop wait
    const ULONGLONG started = ::GetTickCount64();
    {
        CWinDownloader downloader(recorder.Callback(), L"http://127.0.0.1/x", folder.File(L"p.exe"), options,
                                  &FakeUrlDownload);
    }
    EXPECT_LT(::GetTickCount64() - started, options.timings.stopWaitMs / 2) << "waited for the suspended worker";
    EXPECT_EQ(recorder.Count(), 0u);
    EXPECT_TRUE(ServiceUrls().empty());
}

TEST(CWinDownloader, EmptySavePathFailsRightAfterStart) {
    EventRecorder recorder;
    ResetService(S_OK);
    CWinDownloader downloader(recorder.Callback(), L"http://127.0.0.1/x", L"", FastOptions(), &FakeUrlDownload);
    downloader.Start();
    ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs));
    ASSERT_EQ(recorder.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_FAIL}));
    EXPECT_EQ(recorder.Events().back().value, 1.0);
    EXPECT_EQ(recorder.Events().back().text, L"");
    EXPECT_TRUE(ServiceUrls().empty());
}

TEST(CWinDownloader, DownloadsThroughTheSystemServiceFromNginx) {
    TempFolder folder;
    EventRecorder recorder;
    const std::string name = "pkg-2m.bin";
    CWinDownloader downloader(recorder.Callback(), Wide(NginxUrl("/pkg/" + Md5Of(name) + "/" + name)),
                              folder.File(L"p.exe"), FastOptions());
    downloader.Start();
    ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs));
    EXPECT_EQ(recorder.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_SUCCESS}));
    EXPECT_EQ(Utils::GetFileMd5W(folder.File(L"p.exe")), Md5Of(name));
    for (double value : recorder.ProgressValues()) {
        EXPECT_GT(value, 0.0);
        EXPECT_LE(value, 1.0);
    }
}

}  // namespace
