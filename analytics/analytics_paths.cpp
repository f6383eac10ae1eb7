#include "analytics/analytics_paths.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <mutex>

#include "analytics/sdk/no_destructor.h"
#include "utils/system_version.h"

namespace quillon {
namespace tracking {

namespace {

constexpr char kOverrideFileName[] = "Set.ini";
constexpr char kIdentityFileSuffix[] = "_QLSConfigure.ini";
constexpr char kLogFileSuffix[] = "_QLSLog.txt";
constexpr char kStagingFileSuffix[] = "_QLSQueue.txt";

struct OverrideFolder {
    std::mutex lock;
    std::string folder;
};

OverrideFolder& TheOverrideFolder() {
    static usage_analytics::NoDestructor<OverrideFolder> folder;
    return *folder;
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Creates every missing level of `directory`.
void CreateDirectoryTree(const std::string& directory) {
    std::string path;
    for (size_t at = 0; at <= directory.size(); ++at) {
        if (at == directory.size() || directory[at] == '\\') {
            if (!path.empty() && path.back() != ':' && !Exists(path)) ::CreateDirectoryA(path.c_str(), nullptr);
        }
        if (at < directory.size()) path += directory[at];
    }
}

std::string WithTrailingBackslash(std::string path) {
    if (path.empty() || path.back() != '\\') path += '\\';
    return path;
}

bool IsWindows7OrLater() {
    Utils::VersionNumbers numbers;
    if (!Utils::ReadSystemVersionNumbers(&numbers)) return false;
    return numbers.major > 6 || (numbers.major == 6 && numbers.minor >= 1);
}

std::string SpecialFolder(int csidl) {
    LPITEMIDLIST list = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, csidl, &list)) || list == nullptr) return {};
    char path[MAX_PATH] = {};
    const BOOL found = ::SHGetPathFromIDListA(list, path);
    ::CoTaskMemFree(list);
    return found ? path : std::string();
}

std::string ShortPath(const std::string& path) {
    char shortPath[MAX_PATH] = {};
    const DWORD length = ::GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    return length > 0 && length < MAX_PATH ? shortPath : path;
}

std::string ModuleFolder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    const size_t slash = folder.find_last_of('\\');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

}  // namespace

std::string OverrideFileFolder() {
    {
        std::lock_guard<std::mutex> guard(TheOverrideFolder().lock);
        if (!TheOverrideFolder().folder.empty()) return WithTrailingBackslash(TheOverrideFolder().folder);
    }
    return ModuleFolder();
}

void SetOverrideFileFolder(const std::string& folder) {
    std::lock_guard<std::mutex> guard(TheOverrideFolder().lock);
    TheOverrideFolder().folder = folder;
}

std::string ConfiguredIdentityPath() {
    const std::string overrideFile = OverrideFileFolder() + kOverrideFileName;
    if (!Exists(overrideFile)) return {};
    char value[128] = {};
    ::GetPrivateProfileStringA("Install", "QLAnalyticsIni", "", value, sizeof value, overrideFile.c_str());
    std::string path = value;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

AnalyticsPaths ResolveAnalyticsPaths(const std::string& appName) {
    AnalyticsPaths paths;
    const std::string configured = ConfiguredIdentityPath();
    if (configured.find('\\') != std::string::npos) {
        paths.identityFile = configured;
        paths.dataDirectory = configured.substr(0, configured.find_last_of('\\'));
        if (!Exists(paths.dataDirectory)) {
            CreateDirectoryTree(paths.dataDirectory);
            paths.dataDirectory += '\\';
        }
        return paths;
    }
    const int folder = IsWindows7OrLater() ? CSIDL_LOCAL_APPDATA : CSIDL_COMMON_DOCUMENTS;
    const std::string base = ShortPath(SpecialFolder(folder));
    paths.dataDirectory = base + "\\QLLocal\\" + appName + "\\";
    CreateDirectoryTree(paths.dataDirectory);
    paths.identityFile = paths.dataDirectory + appName + kIdentityFileSuffix;
    return paths;
}

std::string DefaultLogFilePath(const std::string& dataDirectory, const std::string& appName) {
    return WithTrailingBackslash(dataDirectory) + appName + kLogFileSuffix;
}

std::string StagingFilePath(const std::string& dataDirectory, const std::string& appName) {
    return WithTrailingBackslash(dataDirectory) + appName + kStagingFileSuffix;
}

}  // namespace tracking
}  // namespace quillon
