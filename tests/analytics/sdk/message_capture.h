// Captures the SDK's console and debugger messages for the lifetime of the object.
#pragma once

#include <string>

#include "analytics/sdk/console_messages.h"

namespace AnalyticsTest {

class MessageCapture {
public:
    MessageCapture();
    ~MessageCapture();
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    // Everything written to one channel, concatenated.
    std::string Text(usage_analytics::MessageChannel channel) const;
    std::string Errors() const { return Text(usage_analytics::MessageChannel::Error); }
    std::string Output() const { return Text(usage_analytics::MessageChannel::Output); }
    std::string Debugger() const { return Text(usage_analytics::MessageChannel::Debugger); }
    void Clear();
};

}  // namespace AnalyticsTest
