// The SDK's short messages on standard output, standard error and the debugger output.
// They go through one replaceable sink so that tests can read them in the process.
// Any thread may write; the sink itself must be thread-safe.
#pragma once

#include <string>

namespace usage_analytics {

enum class MessageChannel { Output, Error, Debugger };

// Receives the exact text (line ends included, when the message has one).
using MessageSink = void (*)(MessageChannel channel, const std::string& text);

// Installs a sink and returns the one it replaces; nullptr restores the console and the
// debugger output.
MessageSink SetMessageSink(MessageSink sink);

void WriteMessage(MessageChannel channel, const std::string& text);
inline void WriteError(const std::string& text) { WriteMessage(MessageChannel::Error, text); }
inline void WriteOutput(const std::string& text) { WriteMessage(MessageChannel::Output, text); }
inline void WriteDebugger(const std::string& text) { WriteMessage(MessageChannel::Debugger, text); }

}  // namespace usage_analytics
