#include "analytics/sdk/sdk.h"

#include <windows.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>

#include "analytics/sdk/console_messages.h"
#include "analytics/sdk/no_destructor.h"
#include "analytics/sdk/record_consumer.h"
#include "analytics/sdk/record_rules.h"

namespace usage_analytics {

using utils::ObjectNode;
using utils::ValueNode;

namespace {

constexpr char kTrack[] = "track";
constexpr char kTrackSignup[] = "track_signup";

struct SdkInstance {
    SdkInstance(const std::string& stagingFilePath, const std::string& serverUrl, std::string id, bool login)
        : distinctId(std::move(id)), loginFlag(login), consumer(serverUrl, stagingFilePath) {
        superProperties = DefaultSuperProperties();
    }

    static std::shared_ptr<const PropertiesNode> DefaultSuperProperties() {
        auto properties = std::make_shared<PropertiesNode>();
        properties->SetString("$lib", Sdk::kLibrary);
        properties->SetString("$lib_version", Sdk::kLibraryVersion);
        return properties;
    }

    // Guards the identity and the super properties, which records read while Login and
    // RegisterSuperProperties may write them. The super properties are replaced, never
    // changed in place, so a record holds a snapshot without copying it.
    std::mutex stateLock;
    std::shared_ptr<const PropertiesNode> superProperties;
    std::string distinctId;
    bool loginFlag;
    RecordConsumer consumer;
};

struct Singleton {
    std::mutex lock;
    std::shared_ptr<SdkInstance> instance;
};

Singleton& TheSingleton() {
    // Reached from the tracker's teardown, which may run among the static destructors.
    static NoDestructor<Singleton> singleton;
    return *singleton;
}

// A reference for the duration of one operation: a delivery thread that is still flushing
// keeps the instance alive even if Shutdown runs meanwhile.
std::shared_ptr<SdkInstance> Instance() {
    std::lock_guard<std::mutex> guard(TheSingleton().lock);
    return TheSingleton().instance;
}

// A record's keys in byte order, as an object of them would be written.
constexpr char kLibJson[] = "{\"$lib\":\"cpp\",\"$lib_method\":\"code\",\"$lib_version\":\"0.9\"}";

bool IsRecordLevelProperty(const std::string& name) { return name == "$time" || name == "$project"; }

// Writes the super properties (when given) and the record's own properties as one object in
// byte order of the names, an own property winning over a super property of the same name,
// without the two names that move to the record itself.
void AppendMergedProperties(std::string& out, const ObjectNode* super, const ObjectNode& own) {
    static const ObjectNode kNone;
    const auto& a = super != nullptr ? super->entries() : kNone.entries();
    const auto& b = own.entries();
    auto i = a.begin();
    auto j = b.begin();
    bool first = true;
    const auto write = [&](const std::string& name, const ValueNode& value) {
        if (IsRecordLevelProperty(name)) return;
        out += first ? "{\"" : ",\"";
        first = false;
        out += name;
        out += "\":";
        value.AppendJson(out);
    };
    while (i != a.end() || j != b.end()) {
        if (j == b.end() || (i != a.end() && i->first < j->first)) {
            write(i->first, i->second);
            ++i;
        } else {
            if (i != a.end() && i->first == j->first) ++i;
            write(j->first, j->second);
            ++j;
        }
    }
    out += first ? "{}" : "}";
}

const ValueNode* FindEither(const ObjectNode& own, const ObjectNode* super, const char* name) {
    if (const ValueNode* value = own.Find(name)) return value;
    return super != nullptr ? super->Find(name) : nullptr;
}

bool CheckPropertyNames(const PropertiesNode& properties) {
    for (const auto& entry : properties.entries()) {
        if (!CheckName(entry.first, "Property Key")) return false;
        if (entry.first == "$time" && entry.second.type() != ValueNode::DATETIME) {
            WriteError("The property '$time' should be DateTime type.");
            return false;
        }
        if (entry.first == "$project" && entry.second.type() != ValueNode::STRING) {
            WriteError("The property '$project' should be String type.");
            return false;
        }
    }
    return true;
}

std::string LastCharacters(const std::string& text, size_t count) {
    return text.size() > count ? text.substr(text.size() - count) : text;
}

void AddProfile(const char* actionType, const PropertiesNode& properties) {
    Sdk::AddEvent(actionType, "", properties, Sdk::DistinctId(), "");
}

template <typename Setter>
void AddProfileValue(const char* actionType, const std::string& name, Setter set) {
    PropertiesNode properties;
    set(properties, name);
    AddProfile(actionType, properties);
}

}  // namespace

constexpr char Sdk::kLibrary[];
constexpr char Sdk::kLibraryVersion[];

int64_t CurrentTimeMilliseconds() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<int64_t>(ticks / 10000ULL) - 11644473600000LL;
}

int64_t NewTrackId(int64_t nowMilliseconds) {
    const std::string first = LastCharacters(std::to_string(std::rand() % 99 + 100), 2);
    const std::string second = LastCharacters(std::to_string(std::rand() % 999 + 1000), 3);
    const std::string clock = LastCharacters(std::to_string(nowMilliseconds), 4);
    return std::strtoll((first + second + clock).c_str(), nullptr, 10);
}

bool Sdk::Init(const std::string& stagingFilePath, const std::string& serverUrl, const std::string& distinctId,
               bool isLoginId) {
    if (!CheckIdentifier(distinctId, "Distinct ID")) return false;
    std::lock_guard<std::mutex> guard(TheSingleton().lock);
    if (!TheSingleton().instance) {
        TheSingleton().instance = std::make_shared<SdkInstance>(stagingFilePath, serverUrl, distinctId, isLoginId);
        std::srand(static_cast<unsigned>(std::time(nullptr)));
    }
    return true;
}

bool Sdk::IsInitialized() { return Instance() != nullptr; }

bool Sdk::AddEvent(const std::string& actionType, const std::string& eventName, const PropertiesNode& properties,
                   const std::string& distinctId, const std::string& originalId) {
    const auto sdk = Instance();
    if (!sdk) return false;
    if (!CheckPropertyNames(properties)) return false;
    if (actionType == kTrack && !CheckName(eventName, "Event Name")) return false;
    if (actionType == kTrackSignup && !CheckIdentifier(originalId, "Original ID")) return false;

    std::shared_ptr<const PropertiesNode> super;
    bool loginFlag = false;
    {
        std::lock_guard<std::mutex> state(sdk->stateLock);
        if (actionType.find(kTrack) != std::string::npos) super = sdk->superProperties;
        loginFlag = sdk->loginFlag;
    }
    PropertiesNode own = properties;
    if (loginFlag) own.SetBool("$is_login_id", true);

    int64_t time = 0;
    if (const ValueNode* given = FindEither(own, super.get(), "$time")) {
        time = given->integer() * 1000 + given->milliseconds();
    } else {
        time = CurrentTimeMilliseconds();
    }
    const ValueNode* project = FindEither(own, super.get(), "$project");

    std::string record;
    record.reserve(1024);
    record += "{\"_track_id\":";
    record += std::to_string(NewTrackId(CurrentTimeMilliseconds()));
    record += ",\"distinct_id\":";
    utils::AppendJsonString(record, distinctId);
    if (actionType == kTrack || actionType == kTrackSignup) {
        record += ",\"event\":";
        utils::AppendJsonString(record, eventName);
    }
    record += ",\"lib\":";
    record += kLibJson;
    if (actionType == kTrackSignup) {
        record += ",\"original_id\":";
        utils::AppendJsonString(record, originalId);
    }
    if (project != nullptr) {
        record += ",\"project\":";
        utils::AppendJsonString(record, project->text());
    }
    record += ",\"properties\":";
    AppendMergedProperties(record, super.get(), own);
    record += ",\"time\":";
    record += std::to_string(time);
    record += ",\"type\":";
    utils::AppendJsonString(record, actionType);
    record += '}';
    sdk->consumer.add(std::move(record));
    return true;
}

void Sdk::Track(const std::string& eventName, const PropertiesNode& properties) {
    AddEvent(kTrack, eventName, properties, DistinctId(), "");
}

void Sdk::Login(const std::string& loginId) {
    const auto sdk = Instance();
    if (!sdk) return;
    AddEvent(kTrackSignup, "$SignUp", PropertiesNode(), loginId, DistinctId());
    std::lock_guard<std::mutex> state(sdk->stateLock);
    sdk->distinctId = loginId;
    sdk->loginFlag = true;
}

void Sdk::ProfileSet(const PropertiesNode& properties) { AddProfile("profile_set", properties); }
void Sdk::ProfileSet(const std::string& name, const std::string& value) {
    AddProfileValue("profile_set", name, [&](PropertiesNode& p, const std::string& n) { p.SetString(n, value); });
}
void Sdk::ProfileSet(const std::string& name, int32_t value) { ProfileSet(name, static_cast<int64_t>(value)); }
void Sdk::ProfileSet(const std::string& name, int64_t value) {
    AddProfileValue("profile_set", name, [&](PropertiesNode& p, const std::string& n) { p.SetInt(n, value); });
}
void Sdk::ProfileSet(const std::string& name, double value) {
    AddProfileValue("profile_set", name, [&](PropertiesNode& p, const std::string& n) { p.SetNumber(n, value); });
}

void Sdk::ProfileSetOnce(const PropertiesNode& properties) { AddProfile("profile_set_once", properties); }
void Sdk::ProfileSetOnce(const std::string& name, const std::string& value) {
    AddProfileValue("profile_set_once", name, [&](PropertiesNode& p, const std::string& n) { p.SetString(n, value); });
}
void Sdk::ProfileSetOnce(const std::string& name, int32_t value) { ProfileSetOnce(name, static_cast<int64_t>(value)); }
void Sdk::ProfileSetOnce(const std::string& name, int64_t value) {
    AddProfileValue("profile_set_once", name, [&](PropertiesNode& p, const std::string& n) { p.SetInt(n, value); });
}
void Sdk::ProfileSetOnce(const std::string& name, double value) {
    AddProfileValue("profile_set_once", name, [&](PropertiesNode& p, const std::string& n) { p.SetNumber(n, value); });
}

void Sdk::ProfileIncrement(const PropertiesNode& properties) { AddProfile("profile_increment", properties); }
void Sdk::ProfileIncrement(const std::string& name, int64_t value) {
    AddProfileValue("profile_increment", name, [&](PropertiesNode& p, const std::string& n) { p.SetInt(n, value); });
}

void Sdk::ProfileAppend(const std::string& name, const std::string& value) {
    AddProfileValue("profile_append", name, [&](PropertiesNode& p, const std::string& n) { p.SetList(n, {value}); });
}

void Sdk::RegisterSuperProperties(const PropertiesNode& properties) {
    const auto sdk = Instance();
    if (!sdk) return;
    std::lock_guard<std::mutex> state(sdk->stateLock);
    auto merged = std::make_shared<PropertiesNode>(*sdk->superProperties);
    merged->Merge(properties);
    sdk->superProperties = std::move(merged);
}

void Sdk::ClearSuperProperties() {
    const auto sdk = Instance();
    if (!sdk) return;
    std::lock_guard<std::mutex> state(sdk->stateLock);
    sdk->superProperties = SdkInstance::DefaultSuperProperties();
}

bool Sdk::Flush() {
    const auto sdk = Instance();
    return sdk && sdk->consumer.FlushAll();
}

void Sdk::Shutdown() {
    std::shared_ptr<SdkInstance> sdk;
    {
        std::lock_guard<std::mutex> guard(TheSingleton().lock);
        sdk.swap(TheSingleton().instance);
    }
    if (sdk) sdk->consumer.close();
}

std::string Sdk::DistinctId() {
    const auto sdk = Instance();
    if (!sdk) return {};
    std::lock_guard<std::mutex> state(sdk->stateLock);
    return sdk->distinctId;
}

bool Sdk::IsLoginId() {
    const auto sdk = Instance();
    if (!sdk) return false;
    std::lock_guard<std::mutex> state(sdk->stateLock);
    return sdk->loginFlag;
}

PropertiesNode Sdk::SuperProperties() {
    const auto sdk = Instance();
    if (!sdk) return {};
    std::lock_guard<std::mutex> state(sdk->stateLock);
    return *sdk->superProperties;
}

std::vector<std::string> Sdk::QueuedRecords() {
    const auto sdk = Instance();
    return sdk ? sdk->consumer.Records() : std::vector<std::string>();
}

}  // namespace usage_analytics
