// The validity rules a record's texts must pass before the SDK queues it.
#pragma once

#include <string>

namespace usage_analytics {

// Strict UTF-8 as the collector accepts it: well-formed multi-byte sequences, and of the
// single bytes only tab, line feed, carriage return and the printable range 0x20-0x7E.
// Other control bytes (form feed among them) and 0x7F make the text invalid.
bool IsValidUtf8(const std::string& text);

// Property keys and event names: 1 to 100 bytes, a letter, "$" or "_" first, then letters,
// digits, "$" or "_". On failure writes the message naming `what` to standard error.
bool CheckName(const std::string& name, const char* what);

// Distinct and original ids: 1 to 255 bytes. On failure writes its message to standard error.
bool CheckIdentifier(const std::string& id, const char* what);

}  // namespace usage_analytics
