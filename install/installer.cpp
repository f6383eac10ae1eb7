#include "install/installer.h"

#include "app/installer_settings.h"
#include "install/status_stream.h"
#include "utils/debug_trace.h"
#include "utils/text_convert.h"

namespace {

const wchar_t* TrueFalse(bool value) { return value ? L"true" : L"false"; }

// "Encode=": "UTF8", "ACP" or a code page number; an unreadable or out-of-range number
// means the ANSI code page.
int32_t CodePageFromEncodeValue(const std::wstring& value) {
    if (value == L"UTF8") return 65001;
    if (value == L"ACP") return 0;
    const int32_t number = ReadStatusInteger(value);
    return number == INT32_MAX || number == INT32_MIN ? 0 : number;
}

double StartupStyleValue(const std::wstring& value) {
    if (value == L"AutoStartup") return 1.0;
    if (value == L"UserStartup") return 2.0;
    return 0.0;  // "NonStartup" and anything else
}

}  // namespace

std::wstring BuildPackageCommandLine(const std::wstring& quotedPackagePath, bool adminAct, bool authorizationAct,
                                     bool dsc, bool ssc, const std::wstring& insLang, const std::wstring& instCmd,
                                     const std::wstring& installDir) {
    std::wstring line = quotedPackagePath;
    line += L" /S -console=show -version=1.0.0";
    line += std::wstring(L" -adminact=") + TrueFalse(adminAct);
    line += std::wstring(L" -authorizationact=") + TrueFalse(authorizationAct);
    line += std::wstring(L" -dsc=") + TrueFalse(dsc);
    line += std::wstring(L" -ssc=") + TrueFalse(ssc);
    if (!insLang.empty()) line += L" -inslang=\"" + insLang + L"\"";
    if (!instCmd.empty()) line += L" " + instCmd;
    if (!installDir.empty()) {
        line += L" -instdir=\"" + installDir + L"\"";
        // Packages of this kind take the rest of the line after "/D=" as the folder, so it
        // stays unquoted and last.
        line += L" /D=" + installDir;
    }
    return line;
}

CInstaller::CInstaller(InstallerCallback callback, std::wstring packagePath, std::wstring installDir)
    : m_InstallDir(std::move(installDir)), m_Callback(std::move(callback)), m_PackagePath(std::move(packagePath)) {}

// Waits for the worker without a bound: it ends when its package has ended, and the
// package must not be left running unobserved with its file still in the install folder.
CInstaller::~CInstaller() { m_Worker.reset(); }

void CInstaller::Start() {
    m_CommandLine = BuildPackageCommandLine(m_PackagePath, m_AdminAct, m_AuthorizationAct, m_Dsc, m_Ssc, m_InsLang,
                                            g_InstallerSettings.m_InstCmd, m_InstallDir);
    m_Worker.reset();  // an earlier run's worker: see the destructor for why it has no bound
    m_Worker = std::make_unique<Utils::Thread>(this, L"ABDEF", [](void* self) { static_cast<CInstaller*>(self)->Run(); });
    if (!m_Worker->Resume()) {
        m_Worker.reset();
        Send(IST_CODE_FAIL, 2.0);  // no worker, no package: a start failure like any other
    }
}

void CInstaller::Run() {
    Send(IST_CODE_START, 0.0);
    Send(IST_CODE_PROGRESS, 0.0);
    try {
        m_Child = std::make_unique<Utils::ChildProcess>();
        m_Child->Launch(m_CommandLine);
    } catch (const Utils::Exception&) {
        m_Child.reset();
        Send(IST_CODE_FAIL, 2.0);
        return;
    }

    int finalState = STATUS_NO_FINAL_STATE;
    ReadStatusLines(*m_Child, [this, &finalState](const std::string& bytes) {
        const int result = Parse(Utils::MultiByteToWide(bytes, static_cast<unsigned int>(m_CodePage)));
        if (result != STATUS_NO_FINAL_STATE) finalState = result;
        return finalState == STATUS_NO_FINAL_STATE;
    });
    // Past a final state nothing more is read. Closing the stream makes the package's later
    // writes fail instead of blocking it on a full pipe while it is waited for below.
    m_Child->CloseOutput();

    // No bound: the package decides how long it runs; the owner expects this wait.
    m_Child->WaitForExit(INFINITE);
    m_Child.reset();
    if (m_PackageEnded) m_PackageEnded();

    if (finalState == STATUS_NO_FINAL_STATE) Send(INSTALL_SUCCESS, 1.0);
}

int CInstaller::Parse(const std::wstring& chunk) {
    int result = STATUS_NO_FINAL_STATE;
    for (const std::wstring& line : SplitStatusLines(chunk)) {
        const int lineResult = ParseLine(line);
        if (lineResult != STATUS_NO_FINAL_STATE) result = lineResult;
    }
    return result;
}

int CInstaller::ParseLine(const std::wstring& line) {
    std::wstring value;
    if (MatchStatusKey(line, L"Progress=", value)) {
        Send(IST_CODE_PROGRESS, ReadStatusNumber(value));
    } else if (MatchStatusKey(line, L"InstPath=", value)) {
        Send(IST_INFO_INSTALL_PATH, 0.0, value);
    } else if (MatchStatusKey(line, L"State=", value)) {
        const std::wstring state = TrimStatusValue(value);
        if (state == L"Success") {
            Send(INSTALL_SUCCESS, 0.0);
            return STATUS_SUCCESS;
        }
        if (state == L"Fail") {
            Send(IST_CODE_FAIL, 0.0, L"安装包安装失败");
            return STATUS_FAILURE;
        }
    } else if (MatchStatusKey(line, L"InstallVersion=", value)) {
        // The package's version: read by nobody.
    } else if (MatchStatusKey(line, L"ExePath=", value)) {
        Utils::TraceExactAt(L"CInstaller::Parse", 207, L"ExePath: %s", value.c_str());
        Send(IST_INFO_EXE_PATH, 0.0, value);
    } else if (MatchStatusKey(line, L"StartExe=", value)) {
        Send(IST_INFO_EXE_PATH, 0.0, value);
    } else if (MatchStatusKey(line, L"UninstExePath=", value) || MatchStatusKey(line, L"UninstExe=", value)) {
        Send(IST_INFO_UNINSTALL_EXE, 0.0, value);
    } else if (MatchStatusKey(line, L"UninstEp=", value)) {
        Send(IST_INFO_UNINSTALL_EP, 0.0, value);
    } else if (MatchStatusKey(line, L"Error=", value)) {
        Send(IST_CODE_FAIL, 1000.0, value);
        return STATUS_FAILURE;
    } else if (MatchStatusKey(line, L"TopShowDetention=", value)) {
        Send(IST_INFO_TOP_SHOW_DELAY, static_cast<double>(static_cast<uint32_t>(ReadStatusInteger(value))));
    } else if (MatchStatusKey(line, L"FinsihCloseDetention=", value)) {
        Send(IST_INFO_CLOSE_DELAY, static_cast<double>(static_cast<uint32_t>(ReadStatusInteger(value))));
    } else if (MatchStatusKey(line, L"StartUrl=", value)) {
        Send(IST_INFO_START_URL, 0.0, value);
    } else if (MatchStatusKey(line, L"StartupStyle=", value)) {
        Send(IST_INFO_STARTUP_STYLE, StartupStyleValue(TrimStatusValue(value)));
    } else if (MatchStatusKey(line, L"Encode=", value)) {
        m_CodePage = CodePageFromEncodeValue(TrimStatusValue(value));
    } else if (MatchStatusKey(line, L"Message=", value)) {
        Send(IST_INFO_MESSAGE, 0.0, value);
    }
    return STATUS_NO_FINAL_STATE;
}

void CInstaller::Send(int code, double progress, const std::wstring& text) const { m_Callback(code, progress, text.c_str()); }
