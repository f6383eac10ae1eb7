#include "download/mt_curl_downloader.h"

#include <curl/curl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>

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

constexpr unsigned long kFinalWaitMs = 120000;
constexpr char kSmall[] = "mt-50k.bin";  // one part of 50000 bytes

std::string PackagePath(const std::string& name) { return "/pkg/" + Md5Of(name) + "/" + name; }
std::string FaultPath(const std::string& script, const std::string& digest, const std::string& name) {
    return "/f/" + UniqueToken() + "/" + script + "/" + digest + "/" + name;
}

void RestartOnRetry(EventRecorder& recorder, CDownloader*& downloader) {
    recorder.onEvent = [&downloader](const Event& event) {
        if (event.code == DL_CODE_RETRY) downloader->Start();
    };
}

std::vector<std::string> Ranges(const std::vector<std::string>& lines) {
    std::vector<std::string> ranges;
    for (const std::string& line : lines) {
        const size_t at = line.find("range=");
        ranges.push_back(line.substr(at + 6, line.find(' ', at) - at - 6));
    }
    std::sort(ranges.begin(), ranges.end());
    return ranges;
}

TEST(PartSizes, OnePartBelowTwentyMebibytesTwoFromThere) {
    EXPECT_EQ(Download::PartSizes(20971519), (std::vector<int32_t>{20971519}));
    EXPECT_EQ(Download::PartSizes(20971520), (std::vector<int32_t>{10485760, 10485760}));
    EXPECT_EQ(Download::PartSizes(20971521), (std::vector<int32_t>{10485760, 10485761}));
    EXPECT_EQ(Download::PartSizes(256), (std::vector<int32_t>{256}));
    EXPECT_EQ(Download::PartSizes(104857600), (std::vector<int32_t>{52428800, 52428800}));
    EXPECT_EQ(Download::RangeText(10485760, 20971520), "10485760-20971520");
}

TEST(WritePart, StoresExactlyTheRangeAndRefusesWhatIsNotIt) {
    TempFolder folder;
    char data[16];
    for (int i = 0; i < 16; ++i) data[i] = static_cast<char>('a' + i);
    auto makePart = [&](const wchar_t* name) {
        auto part = std::make_unique<DownloadPartNode>();
        part->partPath = folder.File(name);
        part->file.reset(Download::OpenFile(part->partPath, L"ab+"));
        part->nextOffset = 100;
        part->lastOffset = 109;  // ten bytes
        Download::ResetAnswer(*part);
        return part;
    };
    auto answer = [](DownloadPartNode& part, const char* status, const char* range) {
        std::string line = status;
        Download::ReadPartHeader(&line[0], 1, line.size(), &part);
        if (range != nullptr) {
            line = range;
            Download::ReadPartHeader(&line[0], 1, line.size(), &part);
        }
    };

    // A block that ends one byte before the part's end, then one with the last byte.
    auto exact = makePart(L"exact");
    answer(*exact, "HTTP/1.1 206 Partial Content\r\n", "Content-Range: bytes 100-109/200\r\n");
    EXPECT_EQ(Download::WritePart(data, 1, 9, exact.get()), 9u);
    EXPECT_EQ(Download::WritePart(data + 9, 1, 1, exact.get()), 1u);
    EXPECT_EQ(exact->nextOffset, 110);
    EXPECT_EQ(exact->downloaded.load(), 10);
    EXPECT_EQ(Download::WritePart(data, 1, 1, exact.get()), 0u) << "the part is complete";
    exact->file.reset();
    EXPECT_EQ(ReadBytes(exact->partPath), "abcdefghij");

    // More than the range: the range is stored, the shortfall ends the transfer (23).
    auto longer = makePart(L"longer");
    answer(*longer, "HTTP/1.1 206 Partial Content\r\n", "Content-Range: bytes 100-109/200\r\n");
    EXPECT_EQ(Download::WritePart(data, 1, 16, longer.get()), 10u);
    longer->file.reset();
    EXPECT_EQ(ReadBytes(longer->partPath), "abcdefghij");

    // Answers that are not the range asked store nothing; a redirect before a fitting
    // answer is fine.
    struct Case {
        const char* status;
        const char* range;
        size_t stored;
    } cases[] = {
        {"HTTP/1.1 200 OK\r\n", nullptr, 0},
        {"HTTP/1.1 206 Partial Content\r\n", "Content-Range: bytes 0-9/200\r\n", 0},
        {"HTTP/1.1 206 Partial Content\r\n", nullptr, 0},
        {"HTTP/1.1 302 Found\r\nHTTP/1.1 206 Partial Content\r\n", "content-range: bytes 100-109/200\r\n", 4},
    };
    for (const Case& c : cases) {
        auto part = makePart(L"case");
        std::string status = c.status;
        for (size_t start = 0, end; (end = status.find("\r\n", start)) != std::string::npos; start = end + 2) {
            std::string line = status.substr(start, end - start + 2);
            Download::ReadPartHeader(&line[0], 1, line.size(), part.get());
        }
        if (c.range != nullptr) {
            std::string line = c.range;
            Download::ReadPartHeader(&line[0], 1, line.size(), part.get());
        }
        EXPECT_EQ(Download::WritePart(data, 1, 4, part.get()), c.stored) << c.status << (c.range ? c.range : "");
        part->file.reset();
        EXPECT_EQ(SizeOf(part->partPath), static_cast<int64_t>(c.stored));
        Download::DeleteFileIfExists(part->partPath);
    }
}

int64_t g_FakeNow = 0;
int64_t FakeClock() { return g_FakeNow; }
// A second passes between any two readings: every progress call is evaluated.
int64_t TickingClock() {
    static std::atomic<int64_t> now{0};
    return ++now;
}

TEST(CMTCurlDownloaderProgress, ReportsWholePointGainsOncePerSecondAndNeverAbove100) {
    TempFolder folder;
    EventRecorder recorder;
    DownloadOptions options = FastOptions();
    options.clock = &FakeClock;
    CMTCurlDownloader downloader(recorder.Callback(), L"http://127.0.0.1:1/x", folder.File(L"p.exe"), options);
    auto& session = downloader.session();
    session.fileLength = 1000;
    session.parts.push_back(std::make_unique<DownloadPartNode>());
    session.parts.push_back(std::make_unique<DownloadPartNode>());

    struct Step {
        int64_t now;
        int64_t first, second;  // bytes in each part
        bool reported;
    } steps[] = {
        {1, 300, 200, true},    // 50 %
        {1, 400, 200, false},   // same second
        {2, 305, 200, false},   // half a point more
        {3, 310, 200, true},    // a whole point
        {4, 900, 200, false},   // 110 %: a server sent more than asked
        {5, 1000, 0, true},     // 100 %
    };
    std::vector<double> expected;
    for (const Step& step : steps) {
        g_FakeNow = step.now;
        session.parts[0]->downloaded = step.first;
        session.parts[1]->downloaded = step.second;
        EXPECT_EQ(CMTCurlDownloader::Session::ProgressFunction(&session, 0, 0, 0, 0), 0);
        if (step.reported) expected.push_back((step.first + step.second) / 1000.0);
    }
    EXPECT_EQ(recorder.ProgressValues(), expected);
    session.parts.clear();
}

TEST(CMTCurlDownloader, CutsThePackageIntoInclusiveRangesAroundTwentyMebibytes) {
    struct Case {
        const char* name;
        std::vector<std::string> ranges;
    } cases[] = {
        {"mt-20m-minus1.bin", {"bytes=0-20971518"}},
        {"mt-20m.bin", {"bytes=0-10485759", "bytes=10485760-20971519"}},
        {"mt-20m-plus1.bin", {"bytes=0-10485759", "bytes=10485760-20971520"}},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        EventRecorder recorder;
        CMTCurlDownloader downloader(recorder.Callback(), Wide(NginxUrl(PackagePath(c.name))), folder.File(L"p.exe"),
                                     FastOptions());
        downloader.Start();
        ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs)) << c.name;
        EXPECT_EQ(recorder.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_SUCCESS})) << c.name;
        EXPECT_EQ(Utils::GetFileMd5W(folder.File(L"p.exe")), Md5Of(c.name)) << c.name;
        ASSERT_TRUE(WaitForLogLines("nginx-access.log", "GET " + PackagePath(c.name), c.ranges.size(), 5000));
        EXPECT_EQ(Ranges(LogLines("nginx-access.log", "GET " + PackagePath(c.name))), c.ranges) << c.name;
        EXPECT_FALSE(Download::FileExists(folder.File(L"p.exe_0")));
        EXPECT_FALSE(Download::FileExists(folder.File(L"p.exe_1")));
    }
}

TEST(CMTCurlDownloader, RefusesAHundredBytesAndAcceptsTwoHundredFiftySix) {
    struct Case {
        const char* name;
        std::vector<int> codes;
    } cases[] = {
        {"tiny-100.bin", {DL_CODE_START, DL_CODE_FAIL}},
        {"tiny-256.bin", {DL_CODE_START, DL_CODE_SUCCESS}},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        EventRecorder recorder;
        CMTCurlDownloader downloader(recorder.Callback(), Wide(NginxUrl(PackagePath(c.name))), folder.File(L"p.exe"),
                                     FastOptions());
        downloader.Start();
        ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs)) << c.name;
        EXPECT_EQ(recorder.Codes(), c.codes) << c.name;
        EXPECT_EQ(recorder.Events().back().value, 0.0);
        EXPECT_EQ(recorder.Events().back().text, L"LibCurl");
    }
    EXPECT_EQ(Ranges(LogLines("nginx-access.log", "GET " + PackagePath("tiny-256.bin"))),
              (std::vector<std::string>{"bytes=0-255"}));
    EXPECT_TRUE(LogLines("nginx-access.log", "GET " + PackagePath("tiny-100.bin")).empty());
}

TEST(CMTCurlDownloader, ResumesAThousandBytePartFileAfterAFailedAttempt) {
    TempFolder folder;
    EventRecorder recorder;
    CDownloader* raw = nullptr;
    RestartOnRetry(recorder, raw);
    // 1000 bytes and a pause (progress is reported), a drop, then the part's whole budget
    // of 500s; the repeated attempt is served.
    const std::string path = FaultPath("g.waitdrop1000.s500x7.ok", Md5Of(kSmall), kSmall);
    CMTCurlDownloader downloader(recorder.Callback(), Wide(FaultUrl(path)), folder.File(L"p.exe"), FastOptions());
    raw = &downloader;
    downloader.Start();
    ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs));

    EXPECT_EQ(recorder.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_RETRY, DL_CODE_START, DL_CODE_SUCCESS}));
    const auto gets = LogLines("fault-requests.log", "GET " + path);
    ASSERT_EQ(gets.size(), 9u);
    EXPECT_NE(gets[0].find("range=bytes=0-49999"), std::string::npos) << gets[0];
    EXPECT_NE(gets[8].find("range=bytes=1000-49999"), std::string::npos) << gets[8];
    EXPECT_EQ(recorder.ProgressValues().front(), 0.02);
    EXPECT_EQ(Utils::GetFileMd5W(folder.File(L"p.exe")), Md5Of(kSmall));
}

TEST(CMTCurlDownloader, StalledPartEndsWith28AndIsRetried) {
    TraceCapture capture;
    TempFolder folder;
    EventRecorder recorder;
    const std::string path = FaultPath("g.stall5000.ok", Md5Of(kSmall), kSmall);
    CMTCurlDownloader downloader(recorder.Callback(), Wide(FaultUrl(path)), folder.File(L"p.exe"), FastOptions());
    downloader.Start();
    ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs));

    EXPECT_EQ(recorder.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_SUCCESS}));
    EXPECT_EQ(capture.LinesContaining(L"(CMTCurlDownloader::downloadThreadFun)<0513>: CurlDownLoader Code=28\r\n").size(),
              1u);
    const auto gets = LogLines("fault-requests.log", "GET " + path);
    ASSERT_EQ(gets.size(), 2u);
    EXPECT_NE(gets[1].find("range=bytes=5000-49999"), std::string::npos) << gets[1];
    EXPECT_EQ(Utils::GetFileMd5W(folder.File(L"p.exe")), Md5Of(kSmall));
}

TEST(CMTCurlDownloader, BothPartsFailingGiveOneRetryThenFail) {
    TempFolder folder;
    EventRecorder recorder;
    CDownloader* raw = nullptr;
    RestartOnRetry(recorder, raw);
    const int port = OneShotPort();  // the probe is answered, then the port is closed
    ASSERT_GT(port, 0);
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + PackagePath("mt-20m.bin");
    CMTCurlDownloader downloader(recorder.Callback(), Wide(url), folder.File(L"p.exe"), FastOptions());
    raw = &downloader;
    downloader.Start();
    ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs));

    EXPECT_EQ(recorder.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_RETRY, DL_CODE_START, DL_CODE_FAIL}));
    for (const Event& event : recorder.Events()) {
        if (event.code == DL_CODE_RETRY || event.code == DL_CODE_FAIL) {
            EXPECT_EQ(event.value, 7.0);
        }
    }
    EXPECT_EQ(downloader.session().fileLength, 20971520) << "the size learned once is kept";
}

TEST(CMTCurlDownloader, DigestMismatchAfterASpentRetryFailsAtOnce) {
    TraceCapture capture;
    TempFolder folder;
    EventRecorder recorder;
    CDownloader* raw = nullptr;
    RestartOnRetry(recorder, raw);
    // The part's budget of 500s spends the retry; then the bytes arrive, but the digest
    // directory is in capitals.
    const std::string path = FaultPath("g.s500x7.ok", Upper(Md5Of(kSmall)), kSmall);
    CMTCurlDownloader downloader(recorder.Callback(), Wide(FaultUrl(path)), folder.File(L"p.exe"), FastOptions());
    raw = &downloader;
    downloader.Start();
    ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs));

    EXPECT_EQ(recorder.Codes(),
              (std::vector<int>{DL_CODE_START, DL_CODE_RETRY, DL_CODE_START, DL_CODE_REPORT, DL_CODE_FAIL}));
    const auto events = recorder.Events();
    EXPECT_EQ(events[1].value, 22.0);
    EXPECT_EQ(events[3].text, L"mtcurl文件md5校验失败");
    EXPECT_EQ(events.back().value, 0.0);
    EXPECT_FALSE(Download::FileExists(folder.File(L"p.exe")));
    EXPECT_EQ(capture.LinesContaining(L"(CMTCurlDownloader::waitForFinishThreadFun)<0268>: finish recv, md5 chaek "
                                      L"failed and retry failed.")
                  .size(),
              1u);
}

TEST(CMTCurlDownloader, DigestMissingFromTheUrlIsReportedAndTheDownloadSucceeds) {
    TempFolder folder;
    EventRecorder recorder;
    CMTCurlDownloader downloader(recorder.Callback(), Wide(NginxUrl(std::string("/") + kSmall)), folder.File(L"p.exe"),
                                 FastOptions());
    downloader.Start();
    ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs));
    EXPECT_EQ(recorder.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_REPORT, DL_CODE_SUCCESS}));
    EXPECT_EQ(recorder.Events()[1].text, L"mtcurl获取url-md5失败");
    EXPECT_EQ(Utils::GetFileMd5W(folder.File(L"p.exe")), Md5Of(kSmall));
}

TEST(CMTCurlDownloader, ServerIgnoringRangeNeverYieldsASuccess) {
    TempFolder folder;
    EventRecorder recorder;
    CDownloader* raw = nullptr;
    RestartOnRetry(recorder, raw);
    // No digest directory, so only the range check stands between the bytes of offset 0
    // and the second part's file.
    // Every progress call is evaluated, so stored bytes are reported and their part files
    // kept for the retry, which would then join them.
    const std::string path = FaultPath("g.norange", "no-digest", "mt-20m.bin");
    DownloadOptions options = FastOptions();
    options.clock = &TickingClock;
    CMTCurlDownloader downloader(recorder.Callback(), Wide(FaultUrl(path)), folder.File(L"p.exe"), options);
    raw = &downloader;
    downloader.Start();
    ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs));

    EXPECT_EQ(recorder.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_RETRY, DL_CODE_START, DL_CODE_FAIL}));
    EXPECT_EQ(recorder.Events().back().value, 23.0);
    EXPECT_FALSE(Download::FileExists(folder.File(L"p.exe")));
    EXPECT_TRUE(recorder.ProgressValues().empty()) << "nothing was stored";
}

TEST(CMTCurlDownloader, DownloadsTwoPartsIntoAFolderNamedInChinese) {
    TempFolder folder;
    const std::wstring target = folder.File(L"下载测试");
    ASSERT_TRUE(::CreateDirectoryW(target.c_str(), nullptr));
    const std::wstring savePath = target + L"\\安装包.exe";
    EventRecorder recorder;
    CMTCurlDownloader downloader(recorder.Callback(), Wide(NginxUrl(PackagePath("mt-20m-plus1.bin"))), savePath,
                                 FastOptions());
    downloader.Start();
    ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs));
    EXPECT_EQ(recorder.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_SUCCESS}));
    EXPECT_EQ(Utils::GetFileMd5W(savePath), Md5Of("mt-20m-plus1.bin"));
}

// Wine's Schannel takes any server certificate when it validates on its own; with a
// certificate file libcurl validates itself, so the tests name one that does not sign the
// server's certificate. Verification then fails exactly when it is on.
TEST(CMTCurlDownloader, KeepsTlsVerificationOnForTheProbeAndTheParts) {
    const std::string url = HttpsUrl(PackagePath(kSmall));
    const std::string unrelatedCa = LogsFolder() + "\\unrelated.crt";
    // With verification off the server answers: only the certificate stands in the way.
    CURL* control = curl_easy_init();
    curl_easy_setopt(control, CURLOPT_URL, url.c_str());
    curl_easy_setopt(control, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(control, CURLOPT_CAINFO, unrelatedCa.c_str());
    curl_easy_setopt(control, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(control, CURLOPT_SSL_VERIFYHOST, 0L);
    ASSERT_EQ(curl_easy_perform(control), CURLE_OK) << "the HTTPS test server does not answer";
    curl_easy_cleanup(control);

    TempFolder folder;
    EventRecorder recorder;
    DownloadOptions options = FastOptions();
    options.caBundle = unrelatedCa;
    CMTCurlDownloader downloader(recorder.Callback(), Wide(url), folder.File(L"p.exe"), options);
    downloader.Start();
    ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs));
    EXPECT_EQ(recorder.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_FAIL}));
    EXPECT_EQ(recorder.Events().back().value, 0.0);

    // A part whose real URL is that server fails its transfer and stores nothing.
    DownloadPartNode part;
    part.url = url;
    part.curl.reset(curl_easy_init());
    part.partPath = folder.File(L"part");
    part.file.reset(Download::OpenFile(part.partPath, L"ab+"));
    part.nextOffset = 0;
    part.lastOffset = 49999;
    EXPECT_NE(downloader.session().downloadExe(&part), 0);
    part.file.reset();
    EXPECT_EQ(SizeOf(part.partPath), 0);

    // The same checks pass for the server's own certificate (issued to "localhost").
    options.caBundle = LogsFolder() + "\\self-signed.crt";
    EventRecorder trusting;
    const std::string localhostUrl = "https://localhost:" + std::to_string(HttpsPort()) + PackagePath(kSmall);
    CMTCurlDownloader trustingDownloader(trusting.Callback(), Wide(localhostUrl), folder.File(L"q.exe"), options);
    trustingDownloader.Start();
    ASSERT_TRUE(trusting.WaitForFinal(kFinalWaitMs));
    EXPECT_EQ(trusting.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_SUCCESS}));
}

TEST(CMTCurlDownloader, WithoutLibcurlReadyItFailsWithoutARequest) {
    TempFolder folder;
    EventRecorder recorder;
    DownloadOptions options = FastOptions();
    options.networkReady = false;
    const std::string path = FaultPath("g.ok", Md5Of(kSmall), kSmall);
    CMTCurlDownloader downloader(recorder.Callback(), Wide(FaultUrl(path)), folder.File(L"p.exe"), options);
    downloader.Start();
    ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs));
    EXPECT_EQ(recorder.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_FAIL}));
    EXPECT_TRUE(LogLines("fault-requests.log", path).empty());
}

TEST(CMTCurlDownloader, DestroyedDuringStalledPartsStopsAndWaitsForEveryThread) {
    TraceCapture capture;
    TempFolder folder;
    EventRecorder recorder;
    const std::string path = FaultPath("g.stall1000", Md5Of("mt-20m.bin"), "mt-20m.bin");
    {
        DownloadOptions options;  // shipped limits: the parts would stall for 5 s
        CMTCurlDownloader downloader(recorder.Callback(), Wide(FaultUrl(path)), folder.File(L"p.exe"), options);
        downloader.Start();
        ASSERT_TRUE(WaitForLogLines("fault-requests.log", "GET " + path, 2, 30000));
    }
    const size_t eventsAtDestruction = recorder.Count();
    EXPECT_EQ(capture.LinesContaining(L"THREAD BEGIN").size(), capture.LinesContaining(L"THREAD END").size());
    EXPECT_EQ(capture.LinesContaining(L"THREAD BEGIN").size(), 4u) << "setup, two parts, completion";
    ::Sleep(500);
    EXPECT_EQ(recorder.Count(), eventsAtDestruction) << "a notification after destruction";
    EXPECT_EQ(recorder.Codes(), (std::vector<int>{DL_CODE_START}));
}

}  // namespace
