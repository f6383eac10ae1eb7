// Two runs of a real program: what the first could not deliver waits in the staging file
// beside its identity file (named by a real "Set.ini" beside the program) and is delivered
// first by the second run.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "tests/analytics/sdk/collector_client.h"
#include "tests/analytics/tracker_fixture.h"
#include "tests/support/run_process.h"
#include "tests/support/temp_folder.h"
#include "utils/text_convert.h"

namespace {

using AnalyticsTest::Ansi;
using AnalyticsTest::ReadAnsiFile;

TEST(StagingFile, RecordsLeftAtExitAreDeliveredByTheNextRun) {
    SKIP_WITHOUT_COLLECTOR();
    TestSupport::TempFolder folder;
    const std::wstring probe = folder.File(L"analytics_probe.exe");
    ASSERT_TRUE(::CopyFileW((TestSupport::OwnFolder() + L"\\analytics_probe.exe").c_str(), probe.c_str(), FALSE));
    std::string identity = Ansi(folder.File(L"data\\id.ini"));
    std::replace(identity.begin(), identity.end(), '\\', '/');
    folder.Write(L"Set.ini", "[Install]\r\nQLAnalyticsIni=" + identity + "\r\n");

    const std::string tag = AnalyticsTest::UniqueTag("staging");
    // The collector refuses the first run's three final attempts and accepts the next.
    const std::wstring url = Utils::Utf8ToWide(AnalyticsTest::CollectorUrl(tag, "&status=500,500,500,200"));
    const std::wstring command = L"\"" + probe + L"\" probe.app \"" + url + L"\" ";
    ASSERT_EQ(TestSupport::RunProcess(command + L"first 5"), 0);

    const std::string data = Ansi(folder.File(L"data"));
    EXPECT_TRUE(AnalyticsTest::FileExists(data + "\\id.ini"));
    EXPECT_TRUE(AnalyticsTest::FileExists(data + "\\probe.app_QLSLog.txt"));
    const std::string staged = ReadAnsiFile(data + "\\probe.app_QLSQueue.txt");
    EXPECT_EQ(std::count(staged.begin(), staged.end(), '\n'), 5) << staged;
    EXPECT_EQ(AnalyticsTest::CollectorRequests(tag).size(), 3u);
    EXPECT_TRUE(AnalyticsTest::DeliveredRecords(tag).empty());

    ASSERT_EQ(TestSupport::RunProcess(command + L"second 1 crash"), 0);
    std::vector<std::string> names;
    for (const auto& record : AnalyticsTest::DeliveredRecords(tag)) {
        names.push_back(record["event"].asString() == "AppCrashed" ? "crash"
                                                                   : record["properties"]["ql_task_name"].asString());
    }
    const std::vector<std::string> expected = {"first-1", "first-2", "first-3", "first-4", "first-5", "second-1",
                                               "crash"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(ReadAnsiFile(data + "\\probe.app_QLSQueue.txt"), "");
}

}  // namespace
