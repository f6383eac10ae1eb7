#include "download/curl_client.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <mutex>
#include <vector>

#include "download/file_ops.h"
#include "tests/download/download_test_support.h"
#include "tests/support/temp_folder.h"
#include "tests/support/trace_capture.h"
#include "utils/file_md5.h"

namespace {

using namespace DownloadTest;
using TestSupport::TempFolder;
using TestSupport::TraceCapture;

constexpr char kPackage[] = "pkg-2m.bin";  // a little over 2 MiB

struct ProgressLog {
    std::mutex lock;
    std::vector<double> percents;

    static void Record(void* owner, double, double, double percent) {
        auto* log = static_cast<ProgressLog*>(owner);
        std::lock_guard<std::mutex> guard(log->lock);
        log->percents.push_back(percent);
    }
};

struct Report {
    std::wstring taskName;
    std::wstring reason;
    ExperimentValues experimentValues;
};
std::vector<Report> g_Reports;
void RecordReport(const std::wstring& taskName, const std::wstring& reason, ExperimentValues values, float) {
    g_Reports.push_back(Report{taskName, reason, values});
}

DownloadOptions ClientOptions() {
    DownloadOptions options = FastOptions();
    options.report = &RecordReport;
    g_Reports.clear();
    return options;
}

std::string PackagePath(const std::string& name) { return "/pkg/" + Md5Of(name) + "/" + name; }

TEST(TransferPercent, CountsResumedBytesOnceTheSizeIsKnown) {
    struct Case {
        double fileLength;
        int64_t resumeOffset;
        curl_off_t total, now;
        double percent;
    } cases[] = {
        {4194304.0, 2097152, 2097152, 1048576, 75.0},  // resumed half, then a quarter more
        {4194304.0, 0, 0, 0, 0.0},                     // nothing yet
        {1048576.0, 0, 524288, 262144, 50.0},          // exactly 1 MiB: the transfer's own totals
        {1048576.0, 0, 0, 262144, 0.0},                // ... which must be known
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(TransferPercent(c.fileLength, c.resumeOffset, c.total, c.now), c.percent)
            << c.fileLength << " " << c.resumeOffset << " " << c.now;
    }
}

int64_t g_FakeNow = 100;
int64_t FakeClock() { return g_FakeNow; }

TEST(CurlClientProgress, EvaluatesAtMostOncePerSecondAndStopsOnRequest) {
    TempFolder folder;
    ProgressLog log;
    DownloadOptions options = ClientOptions();
    options.clock = &FakeClock;
    CurlClient client(L"http://127.0.0.1/x", folder.File(L"p.exe"), &log, &ProgressLog::Record, options);
    client.fileLength = 4194304.0;
    client.resumeOffset = 0;

    g_FakeNow = 100;
    EXPECT_EQ(CurlClient::ProgressCallback(&client, 4194304, 1048576, 0, 0), 0);
    EXPECT_EQ(CurlClient::ProgressCallback(&client, 4194304, 2097152, 0, 0), 0);  // same second
    g_FakeNow = 101;
    EXPECT_EQ(CurlClient::ProgressCallback(&client, 4194304, 3145728, 0, 0), 0);
    EXPECT_EQ(log.percents, (std::vector<double>{25.0, 75.0}));

    client.stopRequested = true;
    g_FakeNow = 102;
    EXPECT_EQ(CurlClient::ProgressCallback(&client, 4194304, 4194304, 0, 0), 1);
    EXPECT_EQ(log.percents.size(), 2u);
}

TEST(CurlClient, FollowsTheRedirectOnceAndDownloadsFromTheRealUrl) {
    TempFolder folder;
    const std::wstring savePath = folder.File(L"package.exe");
    CurlClient client(Wide(NginxUrl(std::string("/software/") + kPackage)), savePath, nullptr, nullptr, ClientOptions());

    ASSERT_EQ(client.Start(), 0);
    EXPECT_EQ(client.realUrl, NginxUrl(PackagePath(kPackage)));
    EXPECT_EQ(client.fileLength, static_cast<double>(SizeOf(OriginalPath(kPackage))));
    EXPECT_EQ(Utils::GetFileMd5W(savePath), Md5Of(kPackage));
    EXPECT_FALSE(Download::FileExists(client.GetFilePath(true)));
    const size_t probes = LogLines("nginx-access.log", "HEAD /software/" + std::string(kPackage)).size();
    EXPECT_GE(probes, 1u);

    // A second call goes straight to the real URL: no probe, a whole new transfer.
    const size_t transfers = LogLines("nginx-access.log", "GET " + PackagePath(kPackage)).size();
    ASSERT_EQ(client.Start(), 0);
    EXPECT_EQ(LogLines("nginx-access.log", "HEAD /software/" + std::string(kPackage)).size(), probes);
    EXPECT_TRUE(WaitForLogLines("nginx-access.log", "GET " + PackagePath(kPackage), transfers + 1, 5000));
    EXPECT_EQ(Utils::GetFileMd5W(savePath), Md5Of(kPackage));
}

TEST(CurlClient, RefusesAFileBelowOneMebibyteWithoutTransferring) {
    TempFolder folder;
    CurlClient client(Wide(NginxUrl(PackagePath("small-512k.bin"))), folder.File(L"p.exe"), nullptr, nullptr,
                      ClientOptions());
    EXPECT_EQ(client.Start(), CurlClient::kSizeUnknown);
    EXPECT_EQ(client.fileLength, 524288.0);
    EXPECT_TRUE(LogLines("nginx-access.log", "GET " + PackagePath("small-512k.bin")).empty());
    EXPECT_FALSE(Download::FileExists(folder.File(L"p.exe.part")));
}

TEST(CurlClient, HeadWith404ReportsItsStatusAndTriesTheSecondProbe) {
    struct Case {
        const char* script;
        int result;
        size_t reports;
        size_t heads;
    } cases[] = {
        {"h.s404", CurlClient::kSizeUnknown, 2, 3},  // both length probes see 404
        {"h.s404.ok", 0, 1, 3},                      // the second probe finds the size
    };
    for (const Case& c : cases) {
        TempFolder folder;
        const std::string path = "/f/" + UniqueToken() + "/" + c.script + "/" + Md5Of(kPackage) + "/" + kPackage;
        CurlClient client(Wide(FaultUrl(path)), folder.File(L"p.exe"), nullptr, nullptr, ClientOptions());
        EXPECT_EQ(client.Start(), c.result) << c.script;
        EXPECT_EQ(LogLines("fault-requests.log", "HEAD " + path).size(), c.heads) << c.script;
        ASSERT_EQ(g_Reports.size(), c.reports) << c.script;
        for (const Report& report : g_Reports) {
            EXPECT_EQ(report.taskName, L"下载失败原因");
            EXPECT_EQ(report.reason, L"1.获取文件大小的状态码为=404；");
            EXPECT_EQ(report.experimentValues, (ExperimentValues{{L"AB", L"IN"}}));
        }
    }
}

TEST(CurlClient, HttpErrorOnTheTransferGives22AndKeepsTheSideFile) {
    const std::string original = ReadBytes(OriginalPath(kPackage));
    struct Case {
        const char* script;
        size_t sideBytes;  // left by an earlier transfer
    } cases[] = {{"g.s416", 0}, {"g.s500", 1000}};
    for (const Case& c : cases) {
        TempFolder folder;
        const std::wstring sidePath = folder.Write(L"p.exe.part", original.substr(0, c.sideBytes));
        const std::string path = "/f/" + UniqueToken() + "/" + c.script + "/" + Md5Of(kPackage) + "/" + kPackage;
        CurlClient client(Wide(FaultUrl(path)), folder.File(L"p.exe"), nullptr, nullptr, ClientOptions());
        EXPECT_EQ(client.Start(), 22) << c.script;
        EXPECT_EQ(ReadBytes(sidePath), original.substr(0, c.sideBytes)) << c.script;
        EXPECT_FALSE(Download::FileExists(folder.File(L"p.exe"))) << c.script;
    }
}

TEST(CurlClient, ResumesASideFileOfTenMebibytesAndCountsItAtOnce) {
    const std::string name = "pkg-12m.bin";
    TempFolder folder;
    ProgressLog log;
    // The first transfer drops after 10 MiB; the rest comes slowly enough to be reported.
    const std::string path = "/f/" + UniqueToken() + "/g.drop10485760.rate1000000/" + Md5Of(name) + "/" + name;
    CurlClient client(Wide(FaultUrl(path)), folder.File(L"p.exe"), &log, &ProgressLog::Record, ClientOptions());

    EXPECT_EQ(client.Start(), 18);
    EXPECT_EQ(SizeOf(client.GetFilePath(true)), 10485760);
    {
        std::lock_guard<std::mutex> guard(log.lock);
        log.percents.clear();
    }
    EXPECT_EQ(client.Start(), 0);

    const auto gets = LogLines("fault-requests.log", "GET " + path);
    ASSERT_EQ(gets.size(), 2u);
    EXPECT_NE(gets[0].find("range=-"), std::string::npos) << gets[0];
    EXPECT_NE(gets[1].find("range=bytes=10485760-"), std::string::npos) << gets[1];
    std::lock_guard<std::mutex> guard(log.lock);
    ASSERT_FALSE(log.percents.empty());
    EXPECT_GE(log.percents.front(), 10485760.0 * 100.0 / 12582912.0);
    EXPECT_EQ(Utils::GetFileMd5W(folder.File(L"p.exe")), Md5Of(name));
}

TEST(CurlClient, StallPastTheLowSpeedLimitEndsWith28AndTheNextCallResumes) {
    TempFolder folder;
    const std::string path = "/f/" + UniqueToken() + "/g.stall300000.ok/" + Md5Of(kPackage) + "/" + kPackage;
    CurlClient client(Wide(FaultUrl(path)), folder.File(L"p.exe"), nullptr, nullptr, ClientOptions());
    EXPECT_EQ(client.Start(), 28);
    EXPECT_EQ(SizeOf(client.GetFilePath(true)), 300000);
    EXPECT_EQ(client.Start(), 0);
    const auto gets = LogLines("fault-requests.log", "GET " + path);
    ASSERT_EQ(gets.size(), 2u);
    EXPECT_NE(gets[1].find("range=bytes=300000-"), std::string::npos) << gets[1];
    EXPECT_EQ(Utils::GetFileMd5W(folder.File(L"p.exe")), Md5Of(kPackage));
}

TEST(CurlClient, ProbeThatGetsNoAnswerEndsWithinItsTimeLimit) {
    TraceCapture capture;
    TempFolder folder;
    const std::string path = "/f/" + UniqueToken() + "/h.hang/" + Md5Of(kPackage) + "/" + kPackage;
    CurlClient client(Wide(FaultUrl(path)), folder.File(L"p.exe"), nullptr, nullptr, ClientOptions());
    EXPECT_EQ(client.Start(), CurlClient::kSizeUnknown);
    EXPECT_FALSE(capture.LinesContaining(L"(CurlClient::Head)<0330>: error:28:").empty());
}

TEST(CurlClient, SavePathThatCannotBeReplacedFailsAndKeepsTheSideFileForTheRetry) {
    enum class Obstacle { Folder, OpenWithoutSharing };
    for (Obstacle obstacle : {Obstacle::Folder, Obstacle::OpenWithoutSharing}) {
        TraceCapture capture;
        TempFolder folder;
        const std::wstring savePath = folder.File(L"p.exe");
        Utils::UniqueHandle held;
        if (obstacle == Obstacle::Folder) {
            ASSERT_TRUE(::CreateDirectoryW(savePath.c_str(), nullptr));
        } else {
            folder.Write(L"p.exe", "old");
            held.reset(::CreateFileW(savePath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(held.valid());
        }
        const std::string path = PackagePath(kPackage);
        CurlClient client(Wide(NginxUrl(path)), savePath, nullptr, nullptr, ClientOptions());
        EXPECT_EQ(client.Start(), CurlClient::kCannotMoveToSavePath);
        EXPECT_EQ(SizeOf(client.GetFilePath(true)), SizeOf(OriginalPath(kPackage)));
        EXPECT_FALSE(capture.LinesContaining(L"cannot move").empty());

        // Once the obstacle is gone the retry only moves the complete side file.
        held.reset();
        if (obstacle == Obstacle::Folder) ::RemoveDirectoryW(savePath.c_str());
        const size_t transfers = LogLines("nginx-access.log", "GET " + path).size();
        EXPECT_EQ(client.Start(), 0);
        EXPECT_EQ(LogLines("nginx-access.log", "GET " + path).size(), transfers);
        EXPECT_EQ(Utils::GetFileMd5W(savePath), Md5Of(kPackage));
    }
}

TEST(CurlClient, LocalFileUrlWithANonAsciiPathIsCopied) {
    TempFolder folder;
    // A character of the ANSI code page that UTF-8 writes differently.
    const std::wstring name = L"caf\u00e9-package.bin";
    const std::wstring source = folder.Write(name, ReadBytes(OriginalPath(kPackage)));
    std::wstring url = L"file:///" + source;
    for (wchar_t& c : url) {
        if (c == L'\\') c = L'/';
    }
    const std::wstring savePath = folder.File(L"copy.exe");
    CurlClient client(url, savePath, nullptr, nullptr, ClientOptions());
    ASSERT_EQ(client.Start(), 0);
    EXPECT_EQ(Utils::GetFileMd5W(savePath), Md5Of(kPackage));
    // A local file answers no status: both length probes report it.
    ASSERT_EQ(g_Reports.size(), 2u);
    EXPECT_EQ(g_Reports[0].reason, L"1.获取文件大小的状态码为=0；");
}

}  // namespace
