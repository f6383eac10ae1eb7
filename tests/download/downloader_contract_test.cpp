#include <gtest/gtest.h>

#include "download/curl_downloader.h"
#include "download/downloader.h"
#include "download/md5_from_url.h"
#include "download/mt_curl_downloader.h"
#include "download/win_downloader.h"
#include "tests/download/download_test_support.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(GetMd5FromUrl, TakesTheSecondToLastPathSegment) {
    struct Case {
        const char* url;
        const char* md5;
    } cases[] = {
        {"http://h/pkg/0123456789abcdef0123456789abcdef/setup.exe", "0123456789abcdef0123456789abcdef"},
        {"http://h/setup.exe", "h"},                     // no digest directory: the host
        {"http://h/a/b/setup.exe?x=1/2", "setup.exe?x=1"},  // a query with "/" shifts the segment
        {"setup.exe", ""},
        {"/setup.exe", ""},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(Utils::GetMd5FromUrl(c.url), c.md5) << c.url;
}

TEST(CreateDownloader, PicksTheImplementationByDownloadType) {
    TestSupport::TempFolder folder;
    DownloadTest::EventRecorder recorder;
    const std::wstring url = L"http://127.0.0.1:1/x";
    for (int type : {0, 1, 4, 7, -1, 99}) {
        auto downloader = CreateDownloader(type, recorder.Callback(), url, folder.File(L"p.exe"));
        EXPECT_NE(dynamic_cast<CCurlDownloader*>(downloader.get()), nullptr) << type;
    }
    EXPECT_NE(dynamic_cast<CMTCurlDownloader*>(CreateDownloader(3, recorder.Callback(), url, folder.File(L"p.exe")).get()),
              nullptr);
    EXPECT_NE(dynamic_cast<CWinDownloader*>(CreateDownloader(2, recorder.Callback(), url, folder.File(L"p.exe")).get()),
              nullptr);
    EXPECT_EQ(recorder.Count(), 0u) << "a downloader that is never started notifies nothing";
}

}  // namespace
