// User (profile) properties: each supported name is either set, set once or incremented,
// and the value's kind picks the SDK record. Unsupported combinations raise QlException.
#pragma once

#include <cstdint>
#include <string>

namespace quillon {
namespace tracking {

class NativeUserTracker {
public:
    enum class Operation { Set, SetOnce, Increment, Unsupported };

    static Operation OperationOf(const std::string& name);

    static void ProfileUserPropertyString(const std::string& name, const std::string& value);
    static void ProfileUserPropertyNumber(const std::string& name, int32_t value);
    static void ProfileUserPropertyNumber(const std::string& name, double value);
    static void ProfileUserPropertyDateTime(const std::string& name, int64_t millisecondsSince1970);
};

}  // namespace tracking
}  // namespace quillon
