#include "tests/analytics/sdk/message_capture.h"

#include <map>
#include <mutex>

namespace AnalyticsTest {

namespace {

std::mutex g_Lock;
std::map<usage_analytics::MessageChannel, std::string> g_Text;

void CaptureSink(usage_analytics::MessageChannel channel, const std::string& text) {
    std::lock_guard<std::mutex> guard(g_Lock);
    g_Text[channel] += text;
}

}  // namespace

MessageCapture::MessageCapture() {
    Clear();
    usage_analytics::SetMessageSink(&CaptureSink);
}

MessageCapture::~MessageCapture() { usage_analytics::SetMessageSink(nullptr); }

std::string MessageCapture::Text(usage_analytics::MessageChannel channel) const {
    std::lock_guard<std::mutex> guard(g_Lock);
    const auto found = g_Text.find(channel);
    return found != g_Text.end() ? found->second : std::string();
}

void MessageCapture::Clear() {
    std::lock_guard<std::mutex> guard(g_Lock);
    g_Text.clear();
}

}  // namespace AnalyticsTest
