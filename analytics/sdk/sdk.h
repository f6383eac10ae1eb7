// The SDK core: a process-wide singleton that turns property sets into JSON records of one
// action type each ("track", "track_signup", "profile_set", "profile_set_once",
// "profile_increment", "profile_append") and queues them in its consumer. Invalid records
// are reported on standard error and dropped; nothing here throws.
//
// Init and Shutdown run on one thread while no other thread uses the SDK. Records may be
// built on any thread. Login and RegisterSuperProperties change what every record carries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analytics/sdk/properties_node.h"

namespace usage_analytics {

class Sdk {
public:
    static constexpr char kLibrary[] = "cpp";
    static constexpr char kLibraryVersion[] = "0.9";

    // Creates the singleton once; false when the distinct id is not a valid identifier.
    // A second Init while the singleton exists changes nothing.
    static bool Init(const std::string& stagingFilePath, const std::string& serverUrl,
                     const std::string& distinctId, bool isLoginId);
    static bool IsInitialized();

    static void Track(const std::string& eventName, const PropertiesNode& properties);
    // Tracks "$SignUp" linking the login id to the current distinct id, then makes the
    // login id the current distinct id with the login flag set.
    static void Login(const std::string& loginId);

    static void ProfileSet(const PropertiesNode& properties);
    static void ProfileSet(const std::string& name, const std::string& value);
    static void ProfileSet(const std::string& name, int32_t value);
    static void ProfileSet(const std::string& name, int64_t value);
    static void ProfileSet(const std::string& name, double value);
    static void ProfileSetOnce(const PropertiesNode& properties);
    static void ProfileSetOnce(const std::string& name, const std::string& value);
    static void ProfileSetOnce(const std::string& name, int32_t value);
    static void ProfileSetOnce(const std::string& name, int64_t value);
    static void ProfileSetOnce(const std::string& name, double value);
    static void ProfileIncrement(const PropertiesNode& properties);
    static void ProfileIncrement(const std::string& name, int64_t value);
    static void ProfileAppend(const std::string& name, const std::string& value);

    static void RegisterSuperProperties(const PropertiesNode& properties);
    static void ClearSuperProperties();

    // Sends everything queued (full flush); false when a batch failed or there is no SDK.
    static bool Flush();
    // Closes the consumer (which saves the queue to the staging file) and ends the singleton.
    static void Shutdown();

    // Builds one record, validates it and queues its JSON text. False when the record was
    // dropped (or there is no singleton).
    static bool AddEvent(const std::string& actionType, const std::string& eventName, const PropertiesNode& properties,
                         const std::string& distinctId, const std::string& originalId);

    // What the singleton holds, for the tracker and for tests.
    static std::string DistinctId();
    static bool IsLoginId();
    static PropertiesNode SuperProperties();
    static std::vector<std::string> QueuedRecords();
};

// Milliseconds since 1970-01-01 UTC.
int64_t CurrentTimeMilliseconds();

// The record's random identifier: two digits from one random number, three from another and
// the last four digits of `nowMilliseconds`, read as one integer.
int64_t NewTrackId(int64_t nowMilliseconds);

}  // namespace usage_analytics
