// The keys the installer leaves for the installed product's own tracker: its "set.ini"
// names the installer, the product, a device id and the identity file under the user's
// application data ("QLAnalytics.ini"), which gets its "UpdateTime" stamp. Written once per
// installation on the window thread, whatever the analytics switch says.
#pragma once

#include <string>

namespace quillon {
namespace tracking {

// "%APPDATA%\QuillonData\<productId>" (the common documents folder without APPDATA).
std::wstring ProductAnalyticsFolder(const std::wstring& productId);

// Writes "APPStore", "AppName", "DeviceID" into "<installFolder>\set.ini" and, when the
// product analytics folder exists or can be created, "QLAnalyticsIni" and the "UpdateTime"
// of "QLAnalytics.ini" there. Failures are silent.
void WriteProductAnalyticsKeys(const std::wstring& installFolder, const std::wstring& installerFileName,
                               const std::wstring& productId, const std::wstring& deviceId);

// "%d-%02d-%02d %02d:%02d:%02d" of the given local time.
std::wstring FormatUpdateTime(int year, int month, int day, int hour, int minute, int second);

}  // namespace tracking
}  // namespace quillon
