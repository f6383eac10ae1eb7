#include "analytics/sdk/record_rules.h"

#include "analytics/sdk/console_messages.h"

namespace usage_analytics {

namespace {

constexpr size_t kMaxNameLength = 100;
constexpr size_t kMaxIdentifierLength = 255;

bool InRange(unsigned char byte, unsigned char low, unsigned char high) { return byte >= low && byte <= high; }

// Length of the valid sequence that starts at `at`, or 0 when none starts there.
size_t Utf8SequenceLength(const std::string& text, size_t at) {
    const auto byte = [&](size_t offset) -> unsigned char {
        return at + offset < text.size() ? static_cast<unsigned char>(text[at + offset]) : 0;
    };
    const auto tail = [&](size_t offset) { return InRange(byte(offset), 0x80, 0xBF); };
    const unsigned char lead = byte(0);
    if (lead == 0x09 || lead == 0x0A || lead == 0x0D || InRange(lead, 0x20, 0x7E)) return 1;
    if (InRange(lead, 0xC2, 0xDF)) return tail(1) ? 2 : 0;
    if (lead == 0xE0) return InRange(byte(1), 0xA0, 0xBF) && tail(2) ? 3 : 0;
    if (InRange(lead, 0xE1, 0xEC) || lead == 0xEE || lead == 0xEF) return tail(1) && tail(2) ? 3 : 0;
    if (lead == 0xED) return InRange(byte(1), 0x80, 0x9F) && tail(2) ? 3 : 0;
    if (lead == 0xF0) return InRange(byte(1), 0x90, 0xBF) && tail(2) && tail(3) ? 4 : 0;
    if (InRange(lead, 0xF1, 0xF3)) return tail(1) && tail(2) && tail(3) ? 4 : 0;
    if (lead == 0xF4) return InRange(byte(1), 0x80, 0x8F) && tail(2) && tail(3) ? 4 : 0;
    return 0;
}

bool IsNameStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '$' || c == '_'; }
bool IsNamePart(char c) { return IsNameStart(c) || (c >= '0' && c <= '9'); }

}  // namespace

bool IsValidUtf8(const std::string& text) {
    size_t at = 0;
    while (at < text.size()) {
        const size_t length = Utf8SequenceLength(text, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

bool CheckName(const std::string& name, const char* what) {
    if (name.empty() || name.size() > kMaxNameLength) {
        WriteError(std::string("The ") + what + " is empty or too long, max length is 100");
        return false;
    }
    bool valid = IsNameStart(name[0]);
    for (size_t i = 1; valid && i < name.size(); ++i) valid = IsNamePart(name[i]);
    if (!valid) WriteError(std::string("The ") + what + " need to be a valid variable name.");
    return valid;
}

bool CheckIdentifier(const std::string& id, const char* what) {
    if (id.empty()) {
        WriteError(std::string("The ") + what + " is empty.\n");
        return false;
    }
    if (id.size() > kMaxIdentifierLength) {
        WriteError(std::string("The ") + what + " is too long, max length is 255.\n");
        return false;
    }
    return true;
}

}  // namespace usage_analytics
