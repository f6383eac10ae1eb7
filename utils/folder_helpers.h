#pragma once

#include <string>

namespace Utils {

// Creates every missing folder of `folderPath`, left to right. False for a path longer than
// 260 characters or when a folder cannot be created (a drive that does not exist, say).
bool CreateDirectoryTree(const std::wstring& folderPath);

// The installer's working folder under the user's temp folder, ending with a backslash,
// created (one level) when missing. Empty when it can be neither found nor created.
std::wstring GetWorkTempFolder();

// Name of the working folder inside the temp folder.
extern const wchar_t kWorkTempFolderName[];

}  // namespace Utils
