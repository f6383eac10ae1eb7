#pragma once

#include <string>

namespace quillon {
namespace tracking {

// Every text the tracker takes from a record or its configuration: empty or valid UTF-8
// (by the SDK's strict rule) stays as it is; anything else is taken to be in the system's
// ANSI code page and converted to UTF-8.
std::string NormaliseText(const std::string& text);

}  // namespace tracking
}  // namespace quillon
