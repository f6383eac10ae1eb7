#include "download/curl_downloader.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "download/curl_client.h"
#include "download/file_ops.h"
#include "tests/download/download_test_support.h"
#include "tests/support/temp_folder.h"
#include "tests/support/trace_capture.h"
#include "utils/file_md5.h"

namespace {

using namespace DownloadTest;
using TestSupport::TempFolder;
using TestSupport::TraceCapture;

constexpr char kPackage[] = "pkg-2m.bin";
constexpr unsigned long kFinalWaitMs = 120000;

std::string PackagePath(const std::string& digest, const std::string& name) { return "/pkg/" + digest + "/" + name; }

// The pipeline's answer to a retry: start again from inside the notification.
void RestartOnRetry(EventRecorder& recorder, CDownloader*& downloader) {
    recorder.onEvent = [&downloader](const Event& event) {
        if (event.code == DL_CODE_RETRY) downloader->Start();
    };
}

TEST(CCurlDownloader, DigestDirectoryDecidesTheOutcome) {
    const std::string md5 = Md5Of(kPackage);
    struct Case {
        std::string path;
        std::vector<int> codes;
        std::vector<std::wstring> reports;
    } cases[] = {
        {"/pkg/" + md5 + "/" + kPackage, {DL_CODE_START, DL_CODE_SUCCESS}, {}},
        {"/" + std::string(kPackage),
         {DL_CODE_START, DL_CODE_REPORT, DL_CODE_SUCCESS},
         {L"curl获取url-md5失败"}},
        // Digest in capitals: never equal; the one retry, started from inside the
        // notification, fails the same way.
        {"/PKG/" + Upper(md5) + "/" + kPackage,
         {DL_CODE_START, DL_CODE_REPORT, DL_CODE_RETRY, DL_CODE_START, DL_CODE_REPORT, DL_CODE_FAIL},
         {L"curl文件md5校验失败", L"curl文件md5校验失败"}},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        EventRecorder recorder;
        CDownloader* raw = nullptr;
        RestartOnRetry(recorder, raw);
        CCurlDownloader downloader(recorder.Callback(), Wide(NginxUrl(c.path)), folder.File(L"p.exe"), FastOptions());
        raw = &downloader;
        downloader.Start();
        ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs)) << c.path;

        EXPECT_EQ(recorder.Codes(), c.codes) << c.path;
        std::vector<std::wstring> reports;
        for (const Event& event : recorder.Events()) {
            if (event.code == DL_CODE_REPORT) reports.push_back(event.text);
            if (event.code == DL_CODE_SUCCESS || event.code == DL_CODE_FAIL || event.code == DL_CODE_RETRY) {
                EXPECT_EQ(event.text, L"LibCurl");
                EXPECT_EQ(event.value, 0.0);
            }
            if (event.code == DL_CODE_PROGRESS) {
                EXPECT_GT(event.value, 0.0);
                EXPECT_LE(event.value, 1.0);
            }
        }
        EXPECT_EQ(reports, c.reports) << c.path;
        EXPECT_EQ(Utils::GetFileMd5W(folder.File(L"p.exe")), md5) << c.path;
    }
}

TEST(CCurlDownloader, RetryStartedFromInsideTheNotificationRunsOnANewWorker) {
    TempFolder folder;
    EventRecorder recorder;
    CDownloader* raw = nullptr;
    RestartOnRetry(recorder, raw);
    const std::string path = "/PKG/" + Upper(Md5Of(kPackage)) + "/" + kPackage;
    CCurlDownloader downloader(recorder.Callback(), Wide(NginxUrl(path)), folder.File(L"p.exe"), FastOptions());
    raw = &downloader;
    downloader.Start();
    ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs));

    DWORD retryThread = 0, secondStartThread = 0;
    int starts = 0;
    for (const Event& event : recorder.Events()) {
        if (event.code == DL_CODE_RETRY) retryThread = event.threadId;
        if (event.code == DL_CODE_START && ++starts == 2) secondStartThread = event.threadId;
    }
    EXPECT_NE(retryThread, 0u);
    EXPECT_NE(secondStartThread, 0u);
    EXPECT_NE(retryThread, secondStartThread);
    EXPECT_NE(retryThread, ::GetCurrentThreadId());
}

TEST(CCurlDownloader, NoConnectionGivesSixTransfersWithPausesThenFailsWith7) {
    TraceCapture capture;
    TempFolder folder;
    EventRecorder recorder;
    // The probe is answered once; every transfer then finds the port closed.
    const int port = OneShotPort();
    ASSERT_GT(port, 0);
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + PackagePath(Md5Of(kPackage), kPackage);
    CCurlDownloader downloader(recorder.Callback(), Wide(url), folder.File(L"p.exe"));  // shipped pauses

    const ULONGLONG started = ::GetTickCount64();
    downloader.Start();
    ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs));
    const ULONGLONG elapsed = ::GetTickCount64() - started;

    EXPECT_EQ(recorder.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_FAIL}));
    EXPECT_EQ(recorder.Events().back().value, 7.0);
    EXPECT_EQ(recorder.Events().back().text, L"LibCurl");
    EXPECT_EQ(capture.LinesContaining(L"(CurlClient::Start)<0060>: start download").size(), 6u);
    EXPECT_EQ(capture.LinesContaining(L"(CurlClient::Start)<0207>: error:7:").size(), 6u);
    EXPECT_EQ(capture.LinesContaining(L"(CCurlDownloader::dlThreadFun)<0049>: CurlDownLoader Code=7\r\n").size(), 5u);
    EXPECT_GE(elapsed, 5u * 500u) << "five pauses of 500 ms between six transfers";
}

TEST(CCurlDownloader, DroppedConnectionsResumeTwelveTimesThenFailWith18) {
    TempFolder folder;
    EventRecorder recorder;
    const std::string path = "/f/" + UniqueToken() + "/g.drop100000/" + Md5Of(kPackage) + "/" + kPackage;
    CCurlDownloader downloader(recorder.Callback(), Wide(FaultUrl(path)), folder.File(L"p.exe"), FastOptions());
    downloader.Start();
    ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs));

    EXPECT_EQ(recorder.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_FAIL}));
    EXPECT_EQ(recorder.Events().back().value, 18.0);
    const auto gets = LogLines("fault-requests.log", "GET " + path);
    ASSERT_EQ(gets.size(), 12u);
    EXPECT_NE(gets[0].find("range=-"), std::string::npos) << gets[0];
    for (size_t i = 1; i < gets.size(); ++i) {
        EXPECT_NE(gets[i].find("range=bytes=" + std::to_string(i * 100000) + "-"), std::string::npos) << gets[i];
    }
}

TEST(CCurlDownloader, StallPastTheLowSpeedLimitIsRetriedAndResumed) {
    TraceCapture capture;
    TempFolder folder;
    EventRecorder recorder;
    const std::string path = "/f/" + UniqueToken() + "/g.stall500000.ok/" + Md5Of(kPackage) + "/" + kPackage;
    CCurlDownloader downloader(recorder.Callback(), Wide(FaultUrl(path)), folder.File(L"p.exe"), FastOptions());
    downloader.Start();
    ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs));

    EXPECT_EQ(recorder.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_SUCCESS}));
    EXPECT_EQ(capture.LinesContaining(L"CurlDownLoader Code=28\r\n").size(), 1u);
    const auto gets = LogLines("fault-requests.log", "GET " + path);
    ASSERT_EQ(gets.size(), 2u);
    EXPECT_NE(gets[1].find("range=bytes=500000-"), std::string::npos) << gets[1];
    EXPECT_EQ(Utils::GetFileMd5W(folder.File(L"p.exe")), Md5Of(kPackage));
}

TEST(CCurlDownloader, DownloadsIntoAFolderNamedInChinese) {
    TempFolder folder;
    const std::wstring target = folder.File(L"下载测试");
    ASSERT_TRUE(::CreateDirectoryW(target.c_str(), nullptr));
    const std::wstring savePath = target + L"\\安装包.exe";
    EventRecorder recorder;
    CCurlDownloader downloader(recorder.Callback(), Wide(NginxUrl(PackagePath(Md5Of(kPackage), kPackage))), savePath,
                               FastOptions());
    downloader.Start();
    ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs));
    EXPECT_EQ(recorder.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_SUCCESS}));
    EXPECT_EQ(Utils::GetFileMd5W(savePath), Md5Of(kPackage));
    EXPECT_FALSE(Download::FileExists(savePath + L".part"));
}

TEST(CCurlDownloader, LockedSavePathFailsTheAttemptInsteadOfReportingSuccess) {
    TempFolder folder;
    const std::wstring savePath = folder.File(L"p.exe");
    ASSERT_TRUE(::CreateDirectoryW(savePath.c_str(), nullptr));  // a folder in the way, for good
    EventRecorder recorder;
    CCurlDownloader downloader(recorder.Callback(), Wide(NginxUrl(PackagePath(Md5Of(kPackage), kPackage))), savePath,
                               FastOptions());
    downloader.Start();
    ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs));
    EXPECT_EQ(recorder.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_FAIL}));
    EXPECT_EQ(recorder.Events().back().value, static_cast<double>(CurlClient::kCannotMoveToSavePath));
}

TEST(CCurlDownloader, EmptySavePathFailsRightAfterStart) {
    EventRecorder recorder;
    CCurlDownloader downloader(recorder.Callback(), Wide(NginxUrl("/x")), L"", FastOptions());
    downloader.Start();
    ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs));
    const auto events = recorder.Events();
    ASSERT_EQ(recorder.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_FAIL}));
    EXPECT_EQ(events[1].value, 1.0);
    EXPECT_EQ(events[1].text, L"");
}

TEST(CCurlDownloader, DestroyedDuringAStallStopsAndWaitsForItsWorker) {
    TraceCapture capture;
    TempFolder folder;
    EventRecorder recorder;
    const std::string path = "/f/" + UniqueToken() + "/g.stall1000/" + Md5Of(kPackage) + "/" + kPackage;
    {
        CCurlDownloader downloader(recorder.Callback(), Wide(FaultUrl(path)), folder.File(L"p.exe"));  // 60 s limit
        downloader.Start();
        ASSERT_TRUE(WaitForLogLines("fault-requests.log", "GET " + path, 1, 30000));
    }
    const size_t eventsAtDestruction = recorder.Count();
    EXPECT_EQ(capture.LinesContaining(L"THREAD BEGIN").size(), capture.LinesContaining(L"THREAD END").size());
    EXPECT_FALSE(Download::FileExists(folder.File(L"p.exe.part")));
    ::Sleep(500);
    EXPECT_EQ(recorder.Count(), eventsAtDestruction) << "a notification after destruction";
    EXPECT_EQ(recorder.Codes(), (std::vector<int>{DL_CODE_START}));
}

}  // namespace
