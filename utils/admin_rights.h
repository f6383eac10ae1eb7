// The two administrator questions whose answers go to the package and the uninstaller:
// does this process run with administrator rights, and is the user logged on at the
// console an administrator (the two differ when the elevation used another account).
#pragma once

#include <string>

namespace Utils {

// This process's token is a member of the local Administrators group. False on any failure.
bool IsProcessAdmin();

// The user name of the console session; false (and `userName` unchanged) when unreadable.
bool GetConsoleUserName(std::wstring& userName);

// The local account `userName` has administrator privilege. False for an empty name and
// for an account the local account database does not hold (a domain account).
bool IsConsoleUserAdmin(const std::wstring& userName);

}  // namespace Utils
