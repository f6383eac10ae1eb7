#include "analytics/sdk/console_messages.h"

#include <windows.h>

#include <atomic>
#include <iostream>

namespace usage_analytics {

namespace {

void ConsoleSink(MessageChannel channel, const std::string& text) {
    switch (channel) {
        case MessageChannel::Output:
            std::cout << text << std::flush;
            break;
        case MessageChannel::Error:
            std::cerr << text << std::flush;
            break;
        case MessageChannel::Debugger:
            ::OutputDebugStringA(text.c_str());
            break;
    }
}

std::atomic<MessageSink> g_Sink{&ConsoleSink};

}  // namespace

MessageSink SetMessageSink(MessageSink sink) { return g_Sink.exchange(sink != nullptr ? sink : &ConsoleSink); }

void WriteMessage(MessageChannel channel, const std::string& text) { g_Sink.load()(channel, text); }

}  // namespace usage_analytics
