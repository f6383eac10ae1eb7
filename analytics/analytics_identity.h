// The device's analytics identity between runs: an anonymous distinct id made on first use,
// the primary distinct id, and after a login the user id and VIP level, kept in an INI file
// together with the collector address they belong to. Used only by the tracker's start,
// teardown, login and payment, without a lock.
#pragma once

#include <cstdint>
#include <string>

namespace quillon {
namespace tracking {

struct IdentityRecord {
    std::string distinctId;
    std::string primaryDistinctId;
    std::string userId;
    int32_t vipLevel = 0;
    std::string url;
    bool loggedIn = false;
};

// Reads the "Base" section; a missing file gives an empty record. A record without a
// distinct id gets a new anonymous one, saved at once.
IdentityRecord LoadIdentity(const std::string& identityFile);

// After a change of collector address (or without a distinct id) the user is logged out and
// the distinct id returns to the primary one (both fresh when there is none); then saved.
void ReconcileIdentity(IdentityRecord& identity, const std::string& collectorUrl, const std::string& identityFile);

// Writes the six "Base" keys; does nothing without a file path.
void SaveIdentity(const IdentityRecord& identity, const std::string& identityFile);

// The "UninstallInfo" section: which application wrote the file last.
void WriteApplicationSection(const std::string& identityFile, const std::string& appStore,
                             const std::string& appName, const std::string& appVersion);

// A new GUID, "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX" in capitals; a random identifier of the
// same shape (small letters) when the system cannot make GUIDs.
std::string NewAnonymousId();
std::string RandomAnonymousId();

}  // namespace tracking
}  // namespace quillon
