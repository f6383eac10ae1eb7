// Runs the product's full installer package silently as a hidden child program, hands it
// the user's choices on its command line and turns the status lines it writes to its
// standard output into pipeline events (codes 2001 to 2004 and 3000 to 3009).
//
// The owner (the pipeline) sets the public choices, then calls Start, which returns at once;
// every event arrives on the runner's own worker thread. A package that ends without
// reporting a final state counts as a success. Destroying the runner waits for its worker,
// and so for a package that is still running.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "install/installer_callback.h"
#include "utils/child_process.h"
#include "utils/thread.h"

// The package's command line: the quoted package path, the fixed silent switches, the
// user's choices and the settings' extra switches, with the install folder last.
std::wstring BuildPackageCommandLine(const std::wstring& quotedPackagePath, bool adminAct, bool authorizationAct,
                                     bool dsc, bool ssc, const std::wstring& insLang, const std::wstring& instCmd,
                                     const std::wstring& installDir);

class CInstaller {
public:
    // `packagePath` is already wrapped in double quotes.
    CInstaller(InstallerCallback callback, std::wstring packagePath, std::wstring installDir);
    ~CInstaller();
    CInstaller(const CInstaller&) = delete;
    CInstaller& operator=(const CInstaller&) = delete;

    // Builds the command line, waits for the worker of an earlier start (it ends when its
    // package has ended) and runs the package on a new worker named "ABDEF".
    void Start();

    // Handles converted status text, line by line; returns the last final state seen
    // (StatusParseResult). Runs on the worker thread only.
    int Parse(const std::wstring& chunk);

    // Called on the worker thread once a started package process has ended, after its
    // final state (which may have come long before). Set before Start.
    void SetPackageEndedHandler(std::function<void()> handler) { m_PackageEnded = std::move(handler); }

    const std::wstring& CommandLine() const { return m_CommandLine; }

    // The user's choices, set by the owner before every start.
    std::wstring m_InstallDir;  // may be empty
    bool m_Ssc = false;         // quick-launch shortcut
    bool m_Dsc = false;         // desktop shortcut
    bool m_AdminAct = false;    // the console user is an administrator
    bool m_AuthorizationAct = true;  // this process runs with administrator rights
    std::wstring m_InsLang;     // interface language tag for the package; may be empty

private:
    void Run();
    int ParseLine(const std::wstring& line);
    void Send(int code, double progress, const std::wstring& text = std::wstring()) const;

    InstallerCallback m_Callback;
    std::wstring m_PackagePath;
    std::wstring m_CommandLine;
    int32_t m_CodePage = 0;  // only the worker touches it; kept between runs
    std::unique_ptr<Utils::Thread> m_Worker;
    std::unique_ptr<Utils::ChildProcess> m_Child;  // present while the package runs
    std::function<void()> m_PackageEnded;
};
