#include "install/previous_installation.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include "install/admin_facts.h"
#include "tests/support/temp_folder.h"
#include "tests/utils/test_registry_key.h"

namespace {

using TestSupport::TempFolder;
using TestSupport::TestRegistryKey;

AdminFacts g_Facts;
AdminFacts PresetFacts() { return g_Facts; }

std::wstring ProgramFilesX86() {
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILESX86, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::wstring ToUpper(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(::towupper(c));
    return text;
}

std::wstring Environment(const wchar_t* name) {
    wchar_t value[MAX_PATH] = {};
    return ::GetEnvironmentVariableW(name, value, MAX_PATH) ? value : L"";
}

std::wstring ReadValue(const wchar_t* name) {
    DWORD type = 0;
    std::wstring value;
    return Utils::ReadProductRegValue(name, type, value) ? value : L"<missing>";
}

// Every test gets its own registry key and its own administrator facts.
class PreviousInstallationTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_Facts = AdminFacts{};
        m_PreviousReader = SetAdminFactsReader(&PresetFacts);
    }
    void TearDown() override { SetAdminFactsReader(m_PreviousReader); }

    TestRegistryKey m_Key;
    TempFolder m_Folder;
    AdminFactsReader m_PreviousReader = nullptr;
};

TEST_F(PreviousInstallationTest, ReadsTheRecordAndDerivesTheUninstaller) {
    PreviousInstallation none;
    none.m_PreviousInstallDir = L"stale";
    none.ReadInstallRecord();
    EXPECT_EQ(none.m_PreviousInstallDir, L"");
    EXPECT_EQ(none.m_PreviousUninstaller, L"");

    ASSERT_TRUE(Utils::WriteProductRegValue(L"InstallPath", L"D:\\Apps\\lumivoxApp"));
    PreviousInstallation pathOnly;
    pathOnly.ReadInstallRecord();
    EXPECT_EQ(pathOnly.m_PreviousInstallDir, L"D:\\Apps\\lumivoxApp");
    EXPECT_EQ(pathOnly.m_PreviousUninstaller, L"D:\\Apps\\lumivoxApp\\uninst.ep");

    ASSERT_TRUE(Utils::WriteProductRegValue(L"UnInstallEp", L"D:\\Apps\\lumivoxApp\\bin\\remove.exe"));
    PreviousInstallation both;
    both.ReadInstallRecord();
    EXPECT_EQ(both.m_PreviousUninstaller, L"D:\\Apps\\lumivoxApp\\bin\\remove.exe");
}

TEST_F(PreviousInstallationTest, DefaultFolderForAFirstInstall) {
    struct Case {
        const char* name;
        AdminFacts facts;
        std::wstring expected;
    } cases[] = {
        {"elevated administrator: own profile", {true, true}, Environment(L"APPDATA") + L"\\quillon\\lumivoxApp"},
        {"elevated with another account's credentials", {false, true}, ProgramFilesX86() + L"\\lumivoxApp"},
        {"administrator without elevation", {true, false}, ProgramFilesX86() + L"\\lumivoxApp"},
    };
    ASSERT_FALSE(Environment(L"APPDATA").empty());
    ASSERT_NE(ProgramFilesX86(), L"");
    for (const Case& c : cases) {
        g_Facts = c.facts;
        PreviousInstallation previous;
        previous.ReadInstallRecord();
        EXPECT_EQ(previous.GetDefaultInstallDir(), c.expected) << c.name;
        EXPECT_EQ(previous.m_AdminAct, c.facts.consoleUserAdmin) << c.name;
        EXPECT_EQ(previous.m_AuthorizationAct, c.facts.processAdmin) << c.name;
    }

    // Without APPDATA an elevated administrator installs into the program files too.
    const std::wstring appData = Environment(L"APPDATA");
    ::SetEnvironmentVariableW(L"APPDATA", nullptr);
    g_Facts = AdminFacts{true, true};
    PreviousInstallation previous;
    const std::wstring folder = previous.GetDefaultInstallDir();
    ::SetEnvironmentVariableW(L"APPDATA", appData.c_str());
    EXPECT_EQ(folder, ProgramFilesX86() + L"\\lumivoxApp");
}

TEST_F(PreviousInstallationTest, AnUpdateGoesWhereTheProductIsWhileItsUninstallerExists) {
    const std::wstring installed = m_Folder.File(L"Installed Here");
    ::CreateDirectoryW(installed.c_str(), nullptr);
    ASSERT_TRUE(Utils::WriteProductRegValue(L"InstallPath", installed));
    g_Facts = AdminFacts{true, true};

    PreviousInstallation uninstallerGone;
    uninstallerGone.ReadInstallRecord();
    EXPECT_EQ(uninstallerGone.GetDefaultInstallDir(), Environment(L"APPDATA") + L"\\quillon\\lumivoxApp");

    m_Folder.Write(L"Installed Here\\uninst.ep", "MZ");
    PreviousInstallation present;
    present.ReadInstallRecord();
    EXPECT_EQ(present.GetDefaultInstallDir(), installed);
    EXPECT_EQ(present.m_PreviousUninstaller, installed + L"\\uninst.ep");
}

TEST_F(PreviousInstallationTest, CustomFolderGetsAFolderOfItsOwnUnlessItIsTheDefault) {
    g_Facts = AdminFacts{false, true};
    PreviousInstallation previous;
    const std::wstring defaultDir = previous.GetDefaultInstallDir();
    struct Case {
        std::wstring chosen;
        std::wstring expected;
    } cases[] = {
        {L"D:/Apps", L"D:\\Apps\\lumivoxApp"},
        {L"D:\\Apps", L"D:\\Apps\\lumivoxApp"},
        {L"D:\\", L"D:\\\\lumivoxApp"},
        {defaultDir, defaultDir},
        {defaultDir + L"\\", defaultDir},
        {ToUpper(defaultDir), defaultDir},
        {ProgramFilesX86(), ProgramFilesX86() + L"\\lumivoxApp"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(previous.GetCustomInstallDir(c.chosen), c.expected) << "case " << (&c - cases);
    }
}

TEST_F(PreviousInstallationTest, OverrideOffOnlyForTheSameFolderWithIsOverrideFalse) {
    const std::wstring same = m_Folder.File(L"same");
    const std::wstring other = m_Folder.File(L"other");
    ::CreateDirectoryW(same.c_str(), nullptr);
    ::CreateDirectoryW(other.c_str(), nullptr);
    struct Case {
        const char* name;
        const char* setIni;  // nullptr: no file
        std::wstring previousDir;
        std::wstring installDir;
        bool expected;
    } cases[] = {
        {"same folder, false", "[Uninstall]\r\nIsOverride=false\r\n", same, same, true},
        {"same folder written differently", "[Uninstall]\r\nIsOverride=false\r\n", same, same + L"\\", true},
        {"same folder, key missing", "[Uninstall]\r\nOther=1\r\n", same, same, false},
        {"same folder, no set.ini", nullptr, same, same, false},
        {"same folder, False", "[Uninstall]\r\nIsOverride=False\r\n", same, same, false},
        {"same folder, 0", "[Uninstall]\r\nIsOverride=0\r\n", same, same, false},
        {"same folder, true", "[Uninstall]\r\nIsOverride=true\r\n", same, same, false},
        {"other folder, false", "[Uninstall]\r\nIsOverride=false\r\n", same, other, false},
        {"no previous installation", "[Uninstall]\r\nIsOverride=false\r\n", L"", same, false},
    };
    for (const Case& c : cases) {
        ::DeleteFileW((same + L"\\set.ini").c_str());
        ::DeleteFileW((other + L"\\set.ini").c_str());
        if (c.setIni != nullptr) {
            m_Folder.Write(L"same\\set.ini", c.setIni);
            m_Folder.Write(L"other\\set.ini", c.setIni);
        }
        PreviousInstallation previous;
        previous.m_PreviousInstallDir = c.previousDir;
        EXPECT_EQ(previous.IsOverrideOff(c.installDir), c.expected) << c.name;
    }
}

TEST_F(PreviousInstallationTest, WritesTheRecordAfterASuccessfulInstall) {
    const std::wstring folder = m_Folder.Path();
    WriteInstallRecord(folder, L"");
    EXPECT_EQ(ReadValue(L"InstallPath"), folder);
    EXPECT_EQ(ReadValue(L"UnInstallEp"), L"<missing>") << "no uninst.ep in the folder";

    m_Folder.Write(L"uninst.ep", "MZ");
    WriteInstallRecord(folder, L"");
    EXPECT_EQ(ReadValue(L"UnInstallEp"), folder + L"\\uninst.ep");

    const std::wstring reported = m_Folder.Write(L"remove.exe", "MZ");
    WriteInstallRecord(folder, reported);
    EXPECT_EQ(ReadValue(L"UnInstallEp"), reported);

    WriteInstallRecord(m_Folder.File(L"elsewhere"), m_Folder.File(L"missing.exe"));
    EXPECT_EQ(ReadValue(L"InstallPath"), m_Folder.File(L"elsewhere"));
    EXPECT_EQ(ReadValue(L"UnInstallEp"), reported) << "a missing uninstaller leaves the value as it was";
}

}  // namespace
