#include "analytics/analytics_identity.h"

#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>

namespace quillon {
namespace tracking {

namespace {

constexpr char kBase[] = "Base";
constexpr int kGuidAttempts = 11;

std::string ReadString(const std::string& file, const char* key) {
    char value[128] = {};
    ::GetPrivateProfileStringA(kBase, key, "", value, sizeof value, file.c_str());
    return value;
}

void WriteString(const std::string& file, const char* section, const char* key, const std::string& value) {
    ::WritePrivateProfileStringA(section, key, value.c_str(), file.c_str());
}

unsigned RandomWord() { return static_cast<unsigned>(std::rand()) & 0xFFFF; }

}  // namespace

IdentityRecord LoadIdentity(const std::string& identityFile) {
    IdentityRecord identity;
    if (!identityFile.empty() && ::GetFileAttributesA(identityFile.c_str()) != INVALID_FILE_ATTRIBUTES) {
        identity.distinctId = ReadString(identityFile, "DistinctId");
        identity.primaryDistinctId = ReadString(identityFile, "PrimaryDistinctId");
        if (identity.primaryDistinctId.empty()) identity.primaryDistinctId = identity.distinctId;
        identity.userId = ReadString(identityFile, "UserId");
        identity.vipLevel = static_cast<int32_t>(::GetPrivateProfileIntA(kBase, "UserVipLevel", 0, identityFile.c_str()));
        identity.loggedIn = ReadString(identityFile, "isLogined") == "OK";
        identity.url = ReadString(identityFile, "URL");
    }
    if (identity.distinctId.empty()) {
        identity.distinctId = NewAnonymousId();
        SaveIdentity(identity, identityFile);
    }
    return identity;
}

void ReconcileIdentity(IdentityRecord& identity, const std::string& collectorUrl, const std::string& identityFile) {
    if (identity.url != collectorUrl || identity.distinctId.empty()) {
        identity.userId.clear();
        identity.loggedIn = false;
        if (identity.primaryDistinctId.empty()) {
            identity.distinctId = NewAnonymousId();
            identity.primaryDistinctId = identity.distinctId;
        } else {
            identity.distinctId = identity.primaryDistinctId;
        }
        identity.url = collectorUrl;
        SaveIdentity(identity, identityFile);
    }
    if (identity.userId.empty()) identity.loggedIn = false;
}

void SaveIdentity(const IdentityRecord& identity, const std::string& identityFile) {
    if (identityFile.empty()) return;
    WriteString(identityFile, kBase, "DistinctId", identity.distinctId);
    WriteString(identityFile, kBase, "PrimaryDistinctId", identity.primaryDistinctId);
    WriteString(identityFile, kBase, "UserId", identity.userId);
    WriteString(identityFile, kBase, "UserVipLevel", std::to_string(identity.vipLevel));
    WriteString(identityFile, kBase, "URL", identity.url);
    WriteString(identityFile, kBase, "isLogined", identity.loggedIn ? "OK" : "NG");
}

void WriteApplicationSection(const std::string& identityFile, const std::string& appStore,
                             const std::string& appName, const std::string& appVersion) {
    if (identityFile.empty()) return;
    WriteString(identityFile, "UninstallInfo", "AppStore", appStore);
    WriteString(identityFile, "UninstallInfo", "AppName", appName);
    WriteString(identityFile, "UninstallInfo", "AppVersion", appVersion);
}

std::string NewAnonymousId() {
    GUID guid{};
    bool made = false;
    for (int attempt = 0; attempt < kGuidAttempts && !made; ++attempt) made = SUCCEEDED(::CoCreateGuid(&guid));
    if (!made) return RandomAnonymousId();
    char text[40] = {};
    std::snprintf(text, sizeof text, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                  static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                  guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

std::string RandomAnonymousId() {
    unsigned words[8];
    for (unsigned& word : words) word = RandomWord();
    words[3] = (words[3] & 0x0FFF) + 0x4000;
    words[4] = words[4] % 0x3FFF + 0x8000;
    char text[48] = {};
    std::snprintf(text, sizeof text, "%x%x-%x-%x-%x-%x%x%x", words[0], words[1], words[2], words[3], words[4],
                  words[5], words[6], words[7]);
    return text;
}

}  // namespace tracking
}  // namespace quillon
