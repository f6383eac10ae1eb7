// Runs one download with a downloader of the installer and prints how long it took and
// the process's peak working set:
//   download_bench.exe single|multi <url> <savePath>
// Output: "seconds=<s> code=<final code> value=<final value> peak_working_set=<bytes>".
#include <windows.h>
#include <psapi.h>

#include <curl/curl.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

#include "download/curl_downloader.h"
#include "download/mt_curl_downloader.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: download_bench single|multi <url> <savePath>\n");
        return 2;
    }
    curl_global_init(CURL_GLOBAL_ALL);
    std::mutex lock;
    std::condition_variable finished;
    int finalCode = 0;
    double finalValue = 0.0;
    DownloadCallback callback = [&](int code, double value, const std::wstring&) {
        if (code != DL_CODE_SUCCESS && code != DL_CODE_FAIL && code != DL_CODE_RETRY) return;
        std::lock_guard<std::mutex> guard(lock);
        finalCode = code;
        finalValue = value;
        finished.notify_all();
    };

    const std::wstring mode = argv[1];
    const auto started = std::chrono::steady_clock::now();
    std::unique_ptr<CDownloader> downloader;
    if (mode == L"multi") {
        downloader = std::make_unique<CMTCurlDownloader>(callback, argv[2], argv[3]);
    } else {
        downloader = std::make_unique<CCurlDownloader>(callback, argv[2], argv[3]);
    }
    downloader->Start();
    {
        std::unique_lock<std::mutex> guard(lock);
        // A benchmark run that needs more than ten minutes has failed anyway.
        finished.wait_for(guard, std::chrono::minutes(10), [&] { return finalCode != 0; });
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    downloader.reset();

    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
    std::printf("seconds=%.3f code=%d value=%g peak_working_set=%llu\n", seconds, finalCode, finalValue,
                static_cast<unsigned long long>(counters.PeakWorkingSetSize));
    curl_global_cleanup();
    return finalCode == DL_CODE_SUCCESS ? 0 : 1;
}
