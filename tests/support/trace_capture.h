// Captures the process's trace lines for the lifetime of the object.
#pragma once

#include <string>
#include <vector>

namespace TestSupport {

class TraceCapture {
public:
    TraceCapture();
    ~TraceCapture();
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    std::vector<std::wstring> Lines() const;
    // Lines whose text holds `fragment`.
    std::vector<std::wstring> LinesContaining(const std::wstring& fragment) const;
    void Clear();
};

}  // namespace TestSupport
