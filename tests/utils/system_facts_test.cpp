#include <gtest/gtest.h>
#include <windows.h>

#include <cwctype>
#include <string>

#include "tests/support/temp_folder.h"
#include "tests/support/trace_capture.h"
#include "utils/elapsed_seconds.h"
#include "utils/file_md5.h"
#include "utils/guid_string.h"
#include "utils/hard_disk_manager.h"
#include "utils/text_convert.h"

namespace {

using TestSupport::TempFolder;
using TestSupport::TraceCapture;

TEST(FileMd5, EmptyMissingAndKnownFiles) {
    TempFolder folder;
    const std::wstring empty = folder.Write(L"empty.bin", "");
    const std::wstring known = folder.Write(L"known.bin", "The quick brown fox jumps over the lazy dog");
    // Spans several 1024-byte blocks and ends inside one.
    const std::wstring large = folder.Write(L"large.bin", std::string(3000, 'a'));

    EXPECT_EQ(Utils::GetFileMd5W(empty), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Utils::GetFileMd5W(known), "9e107d9d372bb6826bd81d3542a419d6");
    EXPECT_EQ(Utils::GetFileMd5W(large), "6ca003d00c9bb4569a4a27d751db7a89");
    EXPECT_EQ(Utils::GetFileMd5W(folder.File(L"missing.bin")), "");
    EXPECT_EQ(Utils::GetFileMd5(""), "");
    EXPECT_EQ(Utils::GetFileMd5(Utils::WideToMultiByte(known, CP_ACP)), "9e107d9d372bb6826bd81d3542a419d6");
}

TEST(FileMd5, WidePathOutsideTheAnsiCodePage) {
    TempFolder folder;
    const std::wstring path = folder.Write(L"\u5b89\u88c5\u5305.bin", "abc");
    EXPECT_EQ(Utils::GetFileMd5W(path), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(NewGuidString, ShapeAndCase) {
    const std::wstring first = Utils::NewGuidString();
    ASSERT_EQ(first.size(), 32u);
    for (size_t i = 0; i < first.size(); ++i) {
        const wchar_t c = first[i];
        const bool thirdGroup = i >= 12 && i < 16;  // characters 13 to 16
        if (thirdGroup) {
            EXPECT_TRUE(std::iswdigit(c) || (c >= L'a' && c <= L'f')) << first;
        } else {
            EXPECT_TRUE(std::iswdigit(c) || (c >= L'A' && c <= L'F')) << first;
        }
    }
    EXPECT_NE(first, Utils::NewGuidString());
}

TEST(HardDiskManager, MissingDriveFailsTracesAndLeavesZeros) {
    TraceCapture capture;
    Utils::HardDiskManager disk;
    // Wine maps only a few drive letters; Q: is never one of them in a fresh prefix.
    EXPECT_FALSE(disk.CheckFreeSpace(L"Q:"));
    EXPECT_EQ(disk.freeBytesAvailable, 0u);
    EXPECT_EQ(disk.totalBytes, 0u);
    EXPECT_EQ(disk.totalFreeBytes, 0u);
    const auto lines = capture.LinesContaining(
        L"(Utils::HardDiskManager::CheckFreeSpace)<0035>: HardDiskManager::CheckFreeSpace FAIL code=");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].find(L"code=0\r\n"), std::wstring::npos) << lines[0];
}

TEST(HardDiskManager, ExistingDriveAndTheSeam) {
    Utils::HardDiskManager disk;
    ASSERT_TRUE(disk.CheckFreeSpace(L"C:"));
    EXPECT_GT(disk.totalBytes, 0u);
    EXPECT_LE(disk.freeBytesAvailable, disk.totalBytes);

    Utils::SetFreeSpaceReader([](const std::wstring&, Utils::FreeSpace* space) {
        space->freeBytesAvailable = 512ull << 20;
        space->totalBytes = 8ull << 30;
        space->totalFreeBytes = 600ull << 20;
        return true;
    });
    Utils::HardDiskManager steered;
    EXPECT_TRUE(steered.CheckFreeSpace(L"D:"));
    Utils::SetFreeSpaceReader(nullptr);
    EXPECT_EQ(steered.freeBytesAvailable, 512ull << 20);
    EXPECT_EQ(steered.totalFreeBytes, 600ull << 20);
}

TEST(ElapsedSeconds, UnarmedIsZeroArmedCounts) {
    EXPECT_EQ(Utils::ElapsedSeconds(Utils::ElapsedStart{}), 0.0f);
    EXPECT_EQ(Utils::ElapsedSeconds(Utils::ElapsedStart{::GetTickCount() - 5000, false}), 0.0f);
    const float armed = Utils::ElapsedSeconds(Utils::ElapsedStart{::GetTickCount() - 5000, true});
    EXPECT_GE(armed, 5.0f);
    EXPECT_LT(armed, 60.0f);
}

TEST(TextConvert, RoundTripsAndFailures) {
    const std::wstring chinese = L"\u6b63\u5728\u5b89\u88c5\u4e2d:35%";
    const std::string utf8 = "\xe6\xad\xa3\xe5\x9c\xa8\xe5\xae\x89\xe8\xa3\x85\xe4\xb8\xad:35%";
    EXPECT_EQ(Utils::WideToMultiByte(chinese, CP_UTF8), utf8);
    EXPECT_EQ(Utils::MultiByteToWide(utf8, CP_UTF8), chinese);
    EXPECT_EQ(Utils::MultiByteToWide("", CP_UTF8), L"");
    EXPECT_EQ(Utils::WideToMultiByte(L"", CP_ACP), "");
    EXPECT_EQ(Utils::MultiByteToWide("abc", 12345), L"") << "unknown code page";
    // Embedded NULs are kept, not taken as the end.
    EXPECT_EQ(Utils::MultiByteToWide(std::string("a\0b", 3), CP_UTF8), std::wstring(L"a\0b", 3));
}

}  // namespace
