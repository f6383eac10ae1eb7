// What the downloaders take besides (callback, url, savePath): whether libcurl is ready, the
// limits and pauses of their retry loops, and the seams that tests steer. The defaults are
// the shipped behaviour; tests shorten the pauses and limits so that stalls and retries run
// in seconds.
#pragma once

#include <cstdint>
#include <string>

#include "analytics/installer_reporting.h"

struct DownloadTimings {
    // Single-stream transfers (CurlClient): a transfer slower than `lowSpeedLimitBytes` per
    // second for `lowSpeedTimeSeconds` ends with libcurl's 28 and is resumed by the retry
    // loop, so a server that keeps the connection open without sending cannot hang us.
    long lowSpeedLimitBytes = 1;
    long lowSpeedTimeSeconds = 60;
    // Body-less probes (size and real URL) have no body to measure a speed on; they get a
    // limit on their whole duration instead.
    long probeTimeoutSeconds = 90;
    long connectTimeoutSeconds = 60;
    // Pause between two transfers of the single-stream downloader.
    unsigned long retryPauseMs = 500;

    // Multi-part downloader.
    long partLowSpeedTimeSeconds = 5;
    unsigned long partRetryPauseMs = 400;
    unsigned long secondPartDelayMs = 100;
    unsigned long finishPollMs = 200;

    // System downloader: pause after each failed attempt.
    unsigned long winRetryPauseMs = 1000;

    // How long destroying a downloader waits for its workers after asking them to stop.
    // A stop takes effect at libcurl's next progress call (about once a second), so this
    // is a generous bound, not an expected duration.
    unsigned long stopWaitMs = 15000;
};

// Wall-clock time in whole seconds.
using SecondsClock = int64_t (*)();
int64_t WallClockSeconds();

// Where a bad status seen by a length probe is reported; the installer's analytics.
using TaskReporter = void (*)(const std::wstring& taskName, const std::wstring& reason,
                              ExperimentValues experimentValues, float elapsedSeconds);

struct DownloadOptions {
    // libcurl initialised at process start (the settings record's m_NetworkReady). The
    // pipeline passes the flag; the multi-part downloader refuses to probe without it.
    bool networkReady = true;
    DownloadTimings timings;
    // Certificates (PEM file, ANSI path) that TLS peers are checked against instead of the
    // system's store; empty for the system's store.
    std::string caBundle;
    SecondsClock clock = &WallClockSeconds;
    TaskReporter report = &ReportTask;
};
