// Runs the previous version's uninstaller (a working copy of it) hidden, follows its status
// stream and reports codes 5002 to 5005. One object runs once: Start returns at once and
// every event arrives on the worker thread "UnInstaller". Destroying the object waits for
// that worker, and so for the uninstaller to end.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "install/installer_callback.h"
#include "utils/child_process.h"
#include "utils/thread.h"

// The uninstaller's command line: its own path quoted (a path with blanks would otherwise
// make the system try shorter program paths first), the silent switches, and the folder to
// remove after "_?=", unquoted and last as uninstallers of this kind require.
std::wstring BuildUninstallerCommandLine(const std::wstring& uninstallerPath, bool adminAct, bool authorizationAct,
                                         const std::wstring& previousInstallDir);

class UnInstaller {
public:
    UnInstaller(InstallerCallback callback, std::wstring uninstallerPath, std::wstring previousInstallDir);
    ~UnInstaller();
    UnInstaller(const UnInstaller&) = delete;
    UnInstaller& operator=(const UnInstaller&) = delete;

    // Builds the command line (reading both administrator facts afresh) and runs it on the
    // worker thread. Called once.
    void Start();

    // Handles converted status text, line by line; returns the last final state seen
    // (StatusParseResult). Runs on the worker thread only.
    int Parse(const std::wstring& chunk);

    const std::wstring& CommandLine() const { return m_CommandLine; }

private:
    void Run();
    int ParseLine(const std::wstring& line);
    void Send(int code, double progress, const std::wstring& text = std::wstring()) const;

    InstallerCallback m_Callback;
    std::wstring m_CommandLine;
    std::wstring m_UninstallerPath;
    std::wstring m_PreviousInstallDir;
    int32_t m_CodePage = 0;
    std::unique_ptr<Utils::Thread> m_Worker;
    std::unique_ptr<Utils::ChildProcess> m_Child;  // present while the uninstaller runs
};
