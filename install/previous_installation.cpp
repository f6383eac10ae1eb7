#include "install/previous_installation.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>

#include "install/admin_facts.h"
#include "utils/product_registry.h"

namespace {

constexpr wchar_t kInstallPathValue[] = L"InstallPath";
constexpr wchar_t kUninstallerValue[] = L"UnInstallEp";
constexpr wchar_t kProductFolderName[] = L"\\lumivoxApp";
constexpr wchar_t kDefaultUninstallerName[] = L"\\uninst.ep";

bool FileExists(const std::wstring& path) {
    return !path.empty() && ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring ReadValue(const wchar_t* name) {
    DWORD type = 0;
    std::wstring value;
    return Utils::ReadProductRegValue(name, type, value) ? value : std::wstring();
}

std::wstring SpecialFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    return SUCCEEDED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : L"";
}

std::wstring BaseFolder(const AdminFacts& facts) {
    if (facts.consoleUserAdmin && facts.processAdmin) {
        wchar_t appData[MAX_PATH] = {};
        const DWORD length = ::GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH);
        if (length > 0 && length < MAX_PATH) return std::wstring(appData) + L"\\quillon";
    }
    const std::wstring programFiles = SpecialFolder(CSIDL_PROGRAM_FILESX86);
    return programFiles.empty() ? SpecialFolder(CSIDL_PROGRAM_FILES) : programFiles;
}

// One spelling of a folder: backslashes, no trailing separator (except a drive root's).
std::wstring NormalisedFolder(std::wstring folder) {
    std::replace(folder.begin(), folder.end(), L'/', L'\\');
    while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    return folder;
}

}  // namespace

bool IsSameFolder(const std::wstring& first, const std::wstring& second) {
    if (first.empty() || second.empty()) return false;
    const std::wstring from = NormalisedFolder(first);
    const std::wstring to = NormalisedFolder(second);
    wchar_t relative[MAX_PATH] = {};
    if (!::PathRelativePathToW(relative, from.c_str(), FILE_ATTRIBUTE_DIRECTORY, to.c_str(), FILE_ATTRIBUTE_DIRECTORY)) {
        return false;
    }
    return std::wstring(relative) == L".";
}

void PreviousInstallation::ReadInstallRecord() {
    m_PreviousInstallDir = ReadValue(kInstallPathValue);
    m_PreviousUninstaller = ReadValue(kUninstallerValue);
    if (m_PreviousUninstaller.empty() && !m_PreviousInstallDir.empty()) {
        m_PreviousUninstaller = m_PreviousInstallDir + kDefaultUninstallerName;
    }
}

std::wstring PreviousInstallation::GetDefaultInstallDir() {
    const AdminFacts facts = ReadAdminFacts();
    m_AdminAct = facts.consoleUserAdmin;
    m_AuthorizationAct = facts.processAdmin;
    // An update goes where the product already is.
    if (!m_PreviousInstallDir.empty() && FileExists(m_PreviousUninstaller)) return m_PreviousInstallDir;
    return BaseFolder(facts) + kProductFolderName;
}

std::wstring PreviousInstallation::GetCustomInstallDir(const std::wstring& chosenFolder) {
    const std::wstring defaultDir = GetDefaultInstallDir();
    if (IsSameFolder(defaultDir, chosenFolder)) return defaultDir;
    std::wstring folder = chosenFolder;
    std::replace(folder.begin(), folder.end(), L'/', L'\\');
    return folder + kProductFolderName;
}

bool PreviousInstallation::IsOverrideOff(const std::wstring& installDir) const {
    if (!IsSameFolder(installDir, m_PreviousInstallDir)) return false;
    wchar_t value[20] = {};
    const std::wstring profile = installDir + L"\\set.ini";
    ::GetPrivateProfileStringW(L"Uninstall", L"IsOverride", L"true", value, 20, profile.c_str());
    return std::wstring(value) == L"false";
}

void WriteInstallRecord(const std::wstring& installDir, const std::wstring& reportedUninstaller) {
    if (!Utils::WriteProductRegValue(kInstallPathValue, installDir)) return;
    const std::wstring uninstaller =
        reportedUninstaller.empty() ? installDir + kDefaultUninstallerName : reportedUninstaller;
    if (FileExists(uninstaller)) Utils::WriteProductRegValue(kUninstallerValue, uninstaller);
}
