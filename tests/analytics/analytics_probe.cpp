// A small program that runs one tracker and exits: tests start it (twice, to show that what
// one run could not deliver is sent by the next) from a folder with a "Set.ini" beside it.
//
//   analytics_probe.exe <appName> <collectorUrl> <taskPrefix> <taskCount> [crash]
//
// Exit code 0 when the tracker initialised, 2 otherwise.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <string>

#include "analytics/usage_tracker_wrapper.h"

int main(int argc, char** argv) {
    if (argc < 5) return 1;
    using namespace quillon::tracking;
    TrackerConfig config;
    config.appName = argv[1];
    config.appVersion = "1.0";
    config.appStore = "analytics_probe.exe";
    config.serverUrl = argv[2];
    auto implementation = std::make_unique<UsageTrackerImpl>(config);
    try {
        implementation->init();
    } catch (const std::exception&) {
        return 2;
    }
    UsageTrackerWrapper tracker(std::move(implementation));
    const QlContextProperties context;
    const int count = std::atoi(argv[4]);
    for (int i = 1; i <= count; ++i) {
        QlEventTask task;
        task.name = std::string(argv[3]) + "-" + std::to_string(i);
        tracker.trackTask(task, context);
    }
    if (argc > 5 && std::strcmp(argv[5], "crash") == 0) tracker.trackCrash("probe");
    return 0;
}
