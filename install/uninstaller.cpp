#include "install/uninstaller.h"

#include <windows.h>

#include "install/admin_facts.h"
#include "install/status_stream.h"
#include "utils/text_convert.h"

namespace {

const wchar_t* TrueFalse(bool value) { return value ? L"true" : L"false"; }

bool FileExists(const std::wstring& path) {
    return !path.empty() && ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

std::wstring BuildUninstallerCommandLine(const std::wstring& uninstallerPath, bool adminAct, bool authorizationAct,
                                         const std::wstring& previousInstallDir) {
    return L"\"" + uninstallerPath + L"\" /S -adminact=" + TrueFalse(adminAct) + L" -authorizationact=" +
           TrueFalse(authorizationAct) + L" -console=show _?=" + previousInstallDir;
}

UnInstaller::UnInstaller(InstallerCallback callback, std::wstring uninstallerPath, std::wstring previousInstallDir)
    : m_Callback(std::move(callback)),
      m_UninstallerPath(std::move(uninstallerPath)),
      m_PreviousInstallDir(std::move(previousInstallDir)) {}

// No bound: the worker ends when the uninstaller has ended, and the next phase must not
// begin while it still removes files.
UnInstaller::~UnInstaller() { m_Worker.reset(); }

void UnInstaller::Start() {
    const AdminFacts facts = ReadAdminFacts();
    m_CommandLine =
        BuildUninstallerCommandLine(m_UninstallerPath, facts.consoleUserAdmin, facts.processAdmin, m_PreviousInstallDir);
    m_Worker.reset();
    m_Worker =
        std::make_unique<Utils::Thread>(this, L"UnInstaller", [](void* self) { static_cast<UnInstaller*>(self)->Run(); });
    if (!m_Worker->Resume()) {
        m_Worker.reset();
        Send(UNIST_CODE_FAIL, 2.0);  // nothing could run it: a start failure
    }
}

void UnInstaller::Run() {
    if (!FileExists(m_UninstallerPath)) {
        Send(UNIST_CODE_FAIL, 1.0, L"可执行卸载文件不存在");
        return;
    }
    Send(UNIST_CODE_PROGRESS, 0.0);
    try {
        m_Child = std::make_unique<Utils::ChildProcess>();
        m_Child->Launch(m_CommandLine);
    } catch (const Utils::Exception&) {
        m_Child.reset();
        Send(UNIST_CODE_FAIL, 2.0);
        return;
    }

    // Everything the uninstaller writes is parsed until it ends, final state or not.
    int finalState = STATUS_NO_FINAL_STATE;
    ReadStatusLines(*m_Child, [this, &finalState](const std::string& bytes) {
        const int result = Parse(Utils::MultiByteToWide(bytes, static_cast<unsigned int>(m_CodePage)));
        if (result != STATUS_NO_FINAL_STATE) finalState = result;
        return true;
    });
    // No bound: its stream has ended, so it is about to end or has handed its work on.
    m_Child->WaitForExit(INFINITE);
    m_Child.reset();

    if (finalState == STATUS_NO_FINAL_STATE) Send(UNIST_CODE_SUCCESS, 1.0);
}

int UnInstaller::Parse(const std::wstring& chunk) {
    int result = STATUS_NO_FINAL_STATE;
    for (const std::wstring& line : SplitStatusLines(chunk)) {
        const int lineResult = ParseLine(line);
        if (lineResult != STATUS_NO_FINAL_STATE) result = lineResult;
    }
    return result;
}

int UnInstaller::ParseLine(const std::wstring& line) {
    std::wstring value;
    if (MatchStatusKey(line, L"Progress=", value)) {
        Send(UNIST_CODE_PROGRESS, ReadStatusNumber(value));
    } else if (MatchStatusKey(line, L"Error=", value)) {
        Send(UNIST_CODE_ERROR, 0.0, value);
        return STATUS_FAILURE;
    } else if (MatchStatusKey(line, L"State=", value)) {
        const std::wstring state = TrimStatusValue(value);
        if (state == L"Success") {
            Send(UNIST_CODE_SUCCESS, 0.0);
            return STATUS_SUCCESS;
        }
        if (state == L"Fail") {
            Send(UNIST_CODE_ERROR, 0.0, L"安装包卸载失败");
            return STATUS_FAILURE;
        }
    } else if (MatchStatusKey(line, L"Encode=", value)) {
        m_CodePage = TrimStatusValue(value) == L"UTF8" ? 65001 : 0;
    }
    return STATUS_NO_FINAL_STATE;
}

void UnInstaller::Send(int code, double progress, const std::wstring& text) const {
    m_Callback(code, progress, text.c_str());
}
