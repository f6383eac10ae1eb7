#include "tests/support/trace_capture.h"

#include <mutex>

#include "utils/debug_trace.h"

namespace TestSupport {

namespace {

std::mutex g_Lock;
std::vector<std::wstring> g_Lines;

void CaptureSink(const wchar_t* line) {
    std::lock_guard<std::mutex> lock(g_Lock);
    g_Lines.emplace_back(line);
}

}  // namespace

TraceCapture::TraceCapture() {
    Clear();
    Utils::SetTraceSink(&CaptureSink);
}

TraceCapture::~TraceCapture() { Utils::SetTraceSink(nullptr); }

std::vector<std::wstring> TraceCapture::Lines() const {
    std::lock_guard<std::mutex> lock(g_Lock);
    return g_Lines;
}

std::vector<std::wstring> TraceCapture::LinesContaining(const std::wstring& fragment) const {
    std::vector<std::wstring> found;
    for (const std::wstring& line : Lines()) {
        if (line.find(fragment) != std::wstring::npos) found.push_back(line);
    }
    return found;
}

void TraceCapture::Clear() {
    std::lock_guard<std::mutex> lock(g_Lock);
    g_Lines.clear();
}

}  // namespace TestSupport
