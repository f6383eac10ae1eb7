// An earlier installation of the product and where a new one goes. The install record is
// the product's registry key (utils/product_registry.h) with the values "InstallPath" and
// "UnInstallEp"; each install folder may hold a "set.ini" whose key "IsOverride" in section
// "Uninstall" keeps the earlier version in place when it is "false".
//
// Used by the main window on its own thread.
#pragma once

#include <string>

class PreviousInstallation {
public:
    // Reads the record: the previous install folder and its uninstaller, which defaults to
    // "uninst.ep" in that folder. A missing key or value leaves the fact empty.
    void ReadInstallRecord();

    // Reads both administrator facts, then: the previous install folder when its
    // uninstaller still exists; otherwise "%APPDATA%\quillon\lumivoxApp" for an elevated
    // administrator and "<program files (x86)>\lumivoxApp" for everyone else.
    std::wstring GetDefaultInstallDir();

    // The default folder when the user kept it; otherwise a folder "lumivoxApp" inside the
    // chosen one (with "/" turned into "\").
    std::wstring GetCustomInstallDir(const std::wstring& chosenFolder);

    // True when the earlier version stays in place: the new install goes into the same
    // folder and that folder's "set.ini" says "IsOverride=false".
    bool IsOverrideOff(const std::wstring& installDir) const;

    std::wstring m_PreviousInstallDir;
    std::wstring m_PreviousUninstaller;
    bool m_AdminAct = false;          // the user logged on at the console is an administrator
    bool m_AuthorizationAct = false;  // this process runs with administrator rights
};

// Records a successful install: "InstallPath" always, "UnInstallEp" when the uninstaller
// (the reported one, or "uninst.ep" in the folder) exists. Failures are not reported.
void WriteInstallRecord(const std::wstring& installDir, const std::wstring& reportedUninstaller);

// Whether two paths name the same folder.
bool IsSameFolder(const std::wstring& first, const std::wstring& second);
