// Where the tracker keeps its identity file, log file and staging file. A "Set.ini" beside
// the running program may name the identity file ("QLAnalyticsIni" in section "Install");
// otherwise everything lives in "<local application data>\QLLocal\<appName>\". All paths are
// 8-bit text in the ANSI code page.
#pragma once

#include <string>

namespace quillon {
namespace tracking {

struct AnalyticsPaths {
    std::string identityFile;
    std::string dataDirectory;
};

// The folder searched for "Set.ini", with a trailing "\": the running program's folder,
// unless a test has named another.
std::string OverrideFileFolder();
// Replaces the folder searched for "Set.ini"; empty restores the program's own folder.
void SetOverrideFileFolder(const std::string& folder);

// The identity file path named by "Set.ini" ("/" turned into "\"), or empty.
std::string ConfiguredIdentityPath();

// Resolves both paths and creates the data directory with every missing level.
AnalyticsPaths ResolveAnalyticsPaths(const std::string& appName);

// "<data directory>\<appName>_QLSLog.txt".
std::string DefaultLogFilePath(const std::string& dataDirectory, const std::string& appName);
// "<data directory>\<appName>_QLSQueue.txt": records still queued at exit wait here.
std::string StagingFilePath(const std::string& dataDirectory, const std::string& appName);

}  // namespace tracking
}  // namespace quillon
