// What the download tests share: where the loopback servers are (the launcher
// tools/servers/with_servers.py exports their ports and folders), their request logs, a
// recorder of downloader notifications, and short pauses for the retry loops.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "download/download_options.h"
#include "download/downloader.h"

namespace DownloadTest {

int HttpPort();
int HttpsPort();
int FaultPort();
std::string NginxUrl(const std::string& path);
std::string HttpsUrl(const std::string& path);
std::string FaultUrl(const std::string& path);
std::wstring Wide(const std::string& text);
// Folder of the request logs and of the HTTPS server's certificates (Windows path, ANSI).
std::string LogsFolder();

// The original of a served package and its digest.
std::wstring OriginalPath(const std::string& name);
std::string Md5Of(const std::string& name);
std::string Upper(std::string text);
int64_t SizeOf(const std::wstring& path);
std::string ReadBytes(const std::wstring& path);

// Lines of a request log ("nginx-access.log", "fault-requests.log") that hold `fragment`,
// each "<method> <path> range=<Range or -> status=<code>". The fault server writes a line
// when an answer's head goes out, nginx when the answer is complete.
std::vector<std::string> LogLines(const std::string& logName, const std::string& fragment);
// Waits up to `timeoutMs` until the log holds at least `count` lines with `fragment`.
bool WaitForLogLines(const std::string& logName, const std::string& fragment, size_t count, unsigned long timeoutMs);

// Body of a GET (for the fault server's control paths); empty on failure.
std::string HttpGetText(const std::string& url);
// A port on which the HEAD of one connection is answered and every later connection refused.
int OneShotPort();

// A token that keeps request counters and log lines of one test apart.
std::string UniqueToken();

// Pauses and limits cut to test length; the shipped defaults are tested where they matter.
DownloadOptions FastOptions();

struct Event {
    int code;
    double value;
    std::wstring text;
    DWORD threadId;
};

// Records notifications; optionally calls back (for example `Start` on a retry) from the
// notifying thread, as the pipeline does.
class EventRecorder {
public:
    DownloadCallback Callback();
    // Called on the notifying thread after an event has been recorded.
    std::function<void(const Event&)> onEvent;

    // Waits up to `timeoutMs` until `count` final events (1003, 1004) have arrived.
    bool WaitForFinal(unsigned long timeoutMs, size_t count = 1);
    // Waits up to `timeoutMs` until an event with `code` has arrived.
    bool WaitForCode(int code, unsigned long timeoutMs);
    std::vector<Event> Events() const;
    // The codes in order, progress left out.
    std::vector<int> Codes() const;
    std::vector<double> ProgressValues() const;
    size_t Count() const;

private:
    mutable std::mutex m_Lock;
    std::condition_variable m_Changed;
    std::vector<Event> m_Events;
};

}  // namespace DownloadTest
