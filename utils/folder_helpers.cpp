#include "utils/folder_helpers.h"

#include <windows.h>

namespace Utils {

const wchar_t kWorkTempFolderName[] = L"~QuillonTemp.92482B06FB471E17\\";

namespace {

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool EnsureFolder(const std::wstring& path) {
    return Exists(path) || ::CreateDirectoryW(path.c_str(), nullptr) != FALSE;
}

}  // namespace

bool CreateDirectoryTree(const std::wstring& folderPath) {
    if (folderPath.size() > MAX_PATH) return false;
    size_t separator = folderPath.find(L'\\');
    while (separator != std::wstring::npos) {
        if (!EnsureFolder(folderPath.substr(0, separator + 1))) return false;
        separator = folderPath.find(L'\\', separator + 1);
    }
    const size_t lastSeparator = folderPath.rfind(L'\\');
    const bool textFollows = lastSeparator == std::wstring::npos ? !folderPath.empty()
                                                                 : lastSeparator + 1 < folderPath.size();
    if (textFollows && !EnsureFolder(folderPath)) return false;
    return true;
}

std::wstring GetWorkTempFolder() {
    wchar_t temp[MAX_PATH] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    const std::wstring folder = std::wstring(temp) + kWorkTempFolderName;
    if (Exists(folder)) return folder;
    if (::CreateDirectoryW(folder.c_str(), nullptr)) return folder;
    return std::wstring();
}

}  // namespace Utils
