#include "analytics/native_user_tracker.h"

#include <set>

#include "analytics/ql_exception.h"
#include "analytics/sdk/sdk.h"

namespace quillon {
namespace tracking {

namespace {

using usage_analytics::PropertiesNode;
using usage_analytics::Sdk;

const std::set<std::string>& SetNames() {
    static const std::set<std::string> names = {
        "ql_label", "ql_os", "ql_os_version", "ql_manufacturer", "ql_model", "ql_app_store", "ql_app_platform",
        "ql_last_app_id", "ql_last_app_version", "ql_carrier", "ql_last_visit_date", "aurora_pushid", "ql_user_id",
        "ql_user_name", "ql_user_type", "ql_user_nickname", "ql_user_portrait", "ql_user_mobilephone",
        "ql_user_email", "ql_user_weixin", "ql_user_qq", "ql_user_did", "ql_user_created", "ql_user_last_login",
        "ql_user_last_ip", "ql_user_vip_level", "ql_user_vip_enddate", "idfa", "imei", "android_id", "oaid", "ql_ip",
        "ql_country_code", "ql_country", "ql_province", "ql_city", "ql_last_paid_date"};
    return names;
}

const std::set<std::string>& SetOnceNames() {
    static const std::set<std::string> names = {"$first_visit_time", "ql_first_visit_date", "$ios_install_source",
                                                "ql_first_paid_date"};
    return names;
}

const std::set<std::string>& IncrementNames() {
    static const std::set<std::string> names = {"ql_visit_count", "ql_paid_count", "ql_consumption"};
    return names;
}

[[noreturn]] void RejectUnsupported(const std::string& name) { QL_THROW("Not supported user property [" + name + "]!"); }

}  // namespace

NativeUserTracker::Operation NativeUserTracker::OperationOf(const std::string& name) {
    if (SetNames().count(name) != 0) return Operation::Set;
    if (SetOnceNames().count(name) != 0) return Operation::SetOnce;
    if (IncrementNames().count(name) != 0) return Operation::Increment;
    return Operation::Unsupported;
}

void NativeUserTracker::ProfileUserPropertyString(const std::string& name, const std::string& value) {
    switch (OperationOf(name)) {
        case Operation::Set: Sdk::ProfileSet(name, value); return;
        case Operation::SetOnce: Sdk::ProfileSetOnce(name, value); return;
        case Operation::Increment:
            QL_THROW("user property [" + name + "] is string type value, it cannot be accumulated!");
        case Operation::Unsupported: RejectUnsupported(name);
    }
}

void NativeUserTracker::ProfileUserPropertyNumber(const std::string& name, int32_t value) {
    switch (OperationOf(name)) {
        case Operation::Set: Sdk::ProfileSet(name, value); return;
        case Operation::SetOnce: Sdk::ProfileSetOnce(name, value); return;
        case Operation::Increment: Sdk::ProfileIncrement(name, static_cast<int64_t>(value)); return;
        case Operation::Unsupported: RejectUnsupported(name);
    }
}

void NativeUserTracker::ProfileUserPropertyNumber(const std::string& name, double value) {
    switch (OperationOf(name)) {
        case Operation::Set: Sdk::ProfileSet(name, value); return;
        case Operation::SetOnce: Sdk::ProfileSetOnce(name, value); return;
        case Operation::Increment: {
            PropertiesNode properties;
            properties.SetNumber(name, value);
            Sdk::ProfileIncrement(properties);
            return;
        }
        case Operation::Unsupported: RejectUnsupported(name);
    }
}

void NativeUserTracker::ProfileUserPropertyDateTime(const std::string& name, int64_t millisecondsSince1970) {
    PropertiesNode properties;
    properties.SetDateTime(name, millisecondsSince1970 / 1000, static_cast<int>(millisecondsSince1970 % 1000));
    switch (OperationOf(name)) {
        case Operation::Set: Sdk::ProfileSet(properties); return;
        case Operation::SetOnce: Sdk::ProfileSetOnce(properties); return;
        case Operation::Increment:
            QL_THROW("user property [" + name + "] is boolean value, it cannot be accumulative!");
        case Operation::Unsupported: RejectUnsupported(name);
    }
}

}  // namespace tracking
}  // namespace quillon
