// A tracker of its own for each test: a unique application name, the identity file in a
// temporary folder (through a "Set.ini" in a folder the paths are pointed at) and the
// loopback collector under a tag of its own.
#pragma once

#include <gtest/gtest.h>
#include <json/json.h>

#include <memory>
#include <string>
#include <vector>

#include "analytics/usage_tracker_wrapper.h"
#include "tests/support/temp_folder.h"

namespace AnalyticsTest {

std::string Ansi(const std::wstring& text);
std::string ReadAnsiFile(const std::string& path);
bool FileExists(const std::string& path);

class TrackerFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates and initialises the tracker; `extraQuery` goes into the collector URL.
    quillon::tracking::UsageTrackerWrapper& Start(const std::string& extraQuery = "");
    void Stop() { m_Tracker.reset(); }

    quillon::tracking::UsageTrackerImpl& Impl() { return *m_Tracker->implementation(); }
    int32_t Pending() { return Impl().context().delivery.Pending(); }

    // Records of one event name, delivered or still queued, oldest first (after waiting for
    // delivery threads).
    std::vector<Json::Value> Records(const std::string& eventName);
    // A record's own properties: without the super properties every record carries.
    Json::Value OwnProperties(const Json::Value& record);

    std::string m_Tag;
    std::string m_IdentityFile;
    std::string m_DataDirectory;
    quillon::tracking::TrackerConfig m_Config;
    std::unique_ptr<TestSupport::TempFolder> m_Folder;
    std::unique_ptr<quillon::tracking::UsageTrackerWrapper> m_Tracker;
};

}  // namespace AnalyticsTest
