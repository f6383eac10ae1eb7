#include "install/failure_report.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/temp_folder.h"
#include "utils/hard_disk_manager.h"
#include "utils/win_handle.h"

namespace {

using TestSupport::TempFolder;

TEST(FailureReport, ShortReasons) {
    struct Case {
        double code;
        std::wstring text;
        std::wstring reason;
    };
    const Case cases[] = {
        {1000.0, L"x", L":1.code=1000；2.msg=x"},
        {2.0, L"", L":1.code=2；2.msg="},
        {0.0, L"安装包安装失败", L":1.code=0；2.msg=安装包安装失败"},
        {-997.9, L"50%s%d", L":1.code=-997；2.msg=50%s%d"},  // truncated toward zero; text taken literally
    };
    for (const Case& c : cases) EXPECT_EQ(FormatShortFailureReason(c.code, c.text), c.reason);
}

TEST(FailureReport, DownloadReason) {
    EXPECT_EQ(FormatDownloadFailureReason(28.0, L"LibCurl", 3.5, true, 0x60),
              L"1.code=28；2.msg=LibCurl；3.缓存磁盘容量=3.50G；4.缓存读写权限=可读；5.服务器连接状态code=96");
    EXPECT_EQ(FormatDownloadFailureReason(7.0, L"LibCurl", 0.0, false, 0x10000),
              L"1.code=7；2.msg=LibCurl；3.缓存磁盘容量=0.00G；4.缓存读写权限=无权限；5.服务器连接状态code=65536");
}

TEST(FailureReport, OverlongTextsAreCutToTheBuffer) {
    const std::wstring errorText(771, L'e');
    const std::wstring shortReason = FormatShortFailureReason(1000.0, errorText);
    EXPECT_EQ(shortReason.size(), kFailureReasonCapacity - 1);
    EXPECT_EQ(shortReason.substr(0, 20), L":1.code=1000；2.msg=e");
    EXPECT_EQ(FormatDownloadFailureReason(7.0, errorText, 1.0, true, 0).size(), kFailureReasonCapacity - 1);
}

TEST(FailureReport, WritePermissionOfThePackagePath) {
    TempFolder folder;
    const std::wstring fresh = folder.File(L"__Package_lumivoxApp.exe");
    EXPECT_TRUE(CanWritePackageFile(fresh));
    EXPECT_EQ(::GetFileAttributesW(fresh.c_str()), INVALID_FILE_ATTRIBUTES) << "the probe file is removed";

    const std::wstring leftOver = folder.Write(L"old.exe", "old");
    EXPECT_TRUE(CanWritePackageFile(leftOver));
    EXPECT_EQ(::GetFileAttributesW(leftOver.c_str()), INVALID_FILE_ATTRIBUTES);

    const std::wstring locked = folder.Write(L"locked.exe", "in use");
    Utils::UniqueHandle holder(
        ::CreateFileW(locked.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.valid());
    EXPECT_FALSE(CanWritePackageFile(locked)) << "a file that cannot be deleted";
    holder.reset();

    EXPECT_FALSE(CanWritePackageFile(folder.File(L"missing folder\\pkg.exe")));
}

TEST(FailureReport, FreeSpaceOfTheDriveInGigabytes) {
    static std::wstring asked;
    Utils::SetFreeSpaceReader([](const std::wstring& directory, Utils::FreeSpace* space) {
        asked = directory;
        space->freeBytesAvailable = 3758096384ull;  // 3.5 x 2^30
        return true;
    });
    EXPECT_DOUBLE_EQ(FreeGigabytesOnDriveOf(L"D:\\Apps\\lumivoxApp\\__Package_lumivoxApp.exe"), 3.5);
    EXPECT_EQ(asked, L"D:");
    Utils::SetFreeSpaceReader([](const std::wstring&, Utils::FreeSpace*) { return false; });
    EXPECT_DOUBLE_EQ(FreeGigabytesOnDriveOf(L"Q:\\x\\p.exe"), 0.0);
    Utils::SetFreeSpaceReader(nullptr);
}

}  // namespace
