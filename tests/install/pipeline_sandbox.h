// What a pipeline test changes in its process, undone at the end: the settings record, the
// administrator facts, and TMP/TEMP, so that the working temp folder (with the uninstaller's
// copy in it) lies in the test's own folder.
#pragma once

#include <windows.h>

#include <string>

#include "app/installer_settings.h"
#include "install/admin_facts.h"

class PipelineSandbox {
public:
    explicit PipelineSandbox(const std::wstring& tempFolder)
        : m_Saved(g_InstallerSettings),
          m_SavedTmp(Environment(L"TMP")),
          m_SavedTemp(Environment(L"TEMP")),
          m_PreviousAdminFacts(SetAdminFactsReader(&BothAdministrators)) {
        ::SetEnvironmentVariableW(L"TMP", (tempFolder + L"\\").c_str());
        ::SetEnvironmentVariableW(L"TEMP", (tempFolder + L"\\").c_str());
    }
    ~PipelineSandbox() {
        ::SetEnvironmentVariableW(L"TMP", m_SavedTmp.empty() ? nullptr : m_SavedTmp.c_str());
        ::SetEnvironmentVariableW(L"TEMP", m_SavedTemp.empty() ? nullptr : m_SavedTemp.c_str());
        SetAdminFactsReader(m_PreviousAdminFacts);
        g_InstallerSettings = m_Saved;
    }
    PipelineSandbox(const PipelineSandbox&) = delete;
    PipelineSandbox& operator=(const PipelineSandbox&) = delete;

private:
    static AdminFacts BothAdministrators() { return AdminFacts{true, true}; }
    static std::wstring Environment(const wchar_t* name) {
        wchar_t value[MAX_PATH] = {};
        return ::GetEnvironmentVariableW(name, value, MAX_PATH) ? value : L"";
    }

    InstallerSettings m_Saved;
    std::wstring m_SavedTmp, m_SavedTemp;
    AdminFactsReader m_PreviousAdminFacts;
};
