#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <string>

#include "tests/support/temp_folder.h"
#include "utils/admin_rights.h"
#include "utils/folder_helpers.h"
#include "utils/message_pump.h"
#include "utils/process_lookup.h"
#include "utils/win_handle.h"

namespace {

using TestSupport::TempFolder;

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring OwnExeName() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return ::PathFindFileNameW(path);
}

std::wstring MissingDrive() {
    const DWORD drives = ::GetLogicalDrives();
    for (wchar_t letter = L'Q'; letter <= L'Y'; ++letter) {
        if ((drives & (1u << (letter - L'A'))) == 0) return std::wstring(1, letter) + L":";
    }
    return std::wstring();
}

TEST(AdminRights, ProcessAndConsoleUserQuestions) {
    EXPECT_EQ(Utils::IsProcessAdmin(), ::IsUserAnAdmin() != FALSE) << "the system's own answer to the same question";
    EXPECT_FALSE(Utils::IsConsoleUserAdmin(L""));
    EXPECT_FALSE(Utils::IsConsoleUserAdmin(L"no-such-account-4f1c2b"));

    std::wstring user = L"unchanged";
    if (Utils::GetConsoleUserName(user)) {
        EXPECT_FALSE(user.empty());
        EXPECT_NE(user, L"unchanged");
    } else {
        EXPECT_EQ(user, L"unchanged") << "a failure leaves the output as it was";
    }
}

TEST(FindProcessByName, MatchesTheExecutableNameExactly) {
    const std::wstring own = OwnExeName();
    EXPECT_EQ(Utils::FindProcessByName(own), ::GetCurrentProcessId());

    std::wstring otherCapitals = own;
    for (wchar_t& c : otherCapitals) c = static_cast<wchar_t>(::towupper(c));
    ASSERT_NE(otherCapitals, own);
    EXPECT_EQ(Utils::FindProcessByName(otherCapitals), 0u) << "names are compared case-sensitively";
    EXPECT_EQ(Utils::FindProcessByName(L"no-such-program.exe"), 0u);
}

TEST(CreateDirectoryTree, CreatesEveryMissingFolder) {
    TempFolder folder;
    const std::wstring deep = folder.File(L"a\\b\\c");
    EXPECT_TRUE(Utils::CreateDirectoryTree(deep));
    EXPECT_TRUE(::PathIsDirectoryW(deep.c_str()));

    const std::wstring trailing = folder.File(L"x\\y\\");
    EXPECT_TRUE(Utils::CreateDirectoryTree(trailing));
    EXPECT_TRUE(::PathIsDirectoryW(trailing.c_str()));

    EXPECT_TRUE(Utils::CreateDirectoryTree(deep)) << "a path that exists already";

    // A file in the way of a folder.
    folder.Write(L"file", "x");
    EXPECT_FALSE(Utils::CreateDirectoryTree(folder.File(L"file\\sub")));
}

TEST(CreateDirectoryTree, RefusesAMissingDriveAndOverlongPaths) {
    const std::wstring drive = MissingDrive();
    ASSERT_FALSE(drive.empty());
    EXPECT_FALSE(Utils::CreateDirectoryTree(drive + L"\\Apps\\lumivoxApp"));

    TempFolder folder;
    std::wstring longPath = folder.File(L"first\\");
    longPath.append(MAX_PATH + 1 - longPath.size(), L'z');
    ASSERT_EQ(longPath.size(), static_cast<size_t>(MAX_PATH + 1));
    EXPECT_FALSE(Utils::CreateDirectoryTree(longPath));
    EXPECT_FALSE(Exists(folder.File(L"first"))) << "an overlong path is refused before anything is made";
}

class WorkTempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        m_Tmp = Read(L"TMP");
        m_Temp = Read(L"TEMP");
    }
    void TearDown() override {
        Restore(L"TMP", m_Tmp);
        Restore(L"TEMP", m_Temp);
    }
    static std::wstring Read(const wchar_t* name) {
        wchar_t value[MAX_PATH] = {};
        return ::GetEnvironmentVariableW(name, value, MAX_PATH) ? value : L"";
    }
    static void Restore(const wchar_t* name, const std::wstring& value) {
        ::SetEnvironmentVariableW(name, value.empty() ? nullptr : value.c_str());
    }
    // Points the user's temp folder somewhere else for this process.
    static void UseTemp(const std::wstring& folder) {
        ::SetEnvironmentVariableW(L"TMP", folder.c_str());
        ::SetEnvironmentVariableW(L"TEMP", folder.c_str());
    }

private:
    std::wstring m_Tmp, m_Temp;
};

TEST_F(WorkTempFolder, IsMadeOnceUnderTheTempFolderAndFoundAgain) {
    TempFolder temp;
    UseTemp(temp.Path() + L"\\");
    const std::wstring expected = temp.Path() + L"\\~QuillonTemp.92482B06FB471E17\\";

    const std::wstring first = Utils::GetWorkTempFolder();
    EXPECT_EQ(first, expected);
    EXPECT_TRUE(::PathIsDirectoryW(first.c_str()));
    temp.Write(L"~QuillonTemp.92482B06FB471E17\\kept.txt", "kept");

    EXPECT_EQ(Utils::GetWorkTempFolder(), first);
    EXPECT_TRUE(Exists(first + L"kept.txt")) << "the second call reuses the folder as it is";
}

TEST_F(WorkTempFolder, IsEmptyWhenItCannotBeMade) {
    UseTemp(MissingDrive() + L"\\Temp\\");
    EXPECT_EQ(Utils::GetWorkTempFolder(), L"");
}

LRESULT CALLBACK CountingWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        ++*reinterpret_cast<int*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

TEST(PumpMessages, DispatchesWaitingMessagesAndKeepsAQuitForTheOuterLoop) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &CountingWindowProcedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"LumivoxPumpTest";
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    int dispatched = 0;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&dispatched));

    ::PostMessageW(window, WM_APP, 0, 0);
    ::PostMessageW(window, WM_APP, 0, 0);
    Utils::PumpMessages(window);
    EXPECT_EQ(dispatched, 2);

    Utils::PumpMessages(nullptr);  // nothing waiting: returns after its time slice

    ::PostQuitMessage(5);
    Utils::PumpMessages(window);
    MSG message{};
    ASSERT_TRUE(::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit message is kept";
    EXPECT_EQ(message.wParam, 5u);

    ::DestroyWindow(window);
    ::PostMessageW(nullptr, WM_APP, 0, 0);
    Utils::PumpMessages(window);  // the window is gone: nothing is dispatched for it
    EXPECT_TRUE(::PeekMessageW(&message, nullptr, WM_APP, WM_APP, PM_REMOVE)) << "left for the outer loop";
    ::UnregisterClassW(windowClass.lpszClassName, windowClass.hInstance);
}

}  // namespace
