#include "utils/admin_rights.h"

#include <windows.h>
#include <lm.h>
#include <wtsapi32.h>

namespace Utils {

bool IsProcessAdmin() {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0,
                                    0, 0, &administrators)) {
        return false;
    }
    BOOL member = FALSE;
    if (!::CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
    ::FreeSid(administrators);
    return member != FALSE;
}

bool GetConsoleUserName(std::wstring& userName) {
    const DWORD session = ::WTSGetActiveConsoleSessionId();
    LPWSTR buffer = nullptr;
    DWORD bytes = 0;
    if (!::WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, session, WTSUserName, &buffer, &bytes) ||
        buffer == nullptr) {
        return false;
    }
    userName = buffer;
    ::WTSFreeMemory(buffer);
    return true;
}

bool IsConsoleUserAdmin(const std::wstring& userName) {
    if (userName.empty()) return false;
    LPBYTE buffer = nullptr;
    if (::NetUserGetInfo(nullptr, userName.c_str(), 1, &buffer) != NERR_Success || buffer == nullptr) {
        if (buffer != nullptr) ::NetApiBufferFree(buffer);
        return false;
    }
    const bool admin = reinterpret_cast<USER_INFO_1*>(buffer)->usri1_priv == USER_PRIV_ADMIN;
    ::NetApiBufferFree(buffer);
    return admin;
}

}  // namespace Utils
