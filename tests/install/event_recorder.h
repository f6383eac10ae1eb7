// Records pipeline events from any thread, for tests to wait on and compare.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <chrono>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "install/installer_callback.h"

struct RecordedEvent {
    int code;
    double progress;
    std::wstring text;
    bool operator==(const RecordedEvent& other) const {
        return code == other.code && progress == other.progress && text == other.text;
    }
};

inline std::ostream& operator<<(std::ostream& out, const RecordedEvent& event) {
    out << "(" << event.code << ", " << event.progress << ", \"";
    for (wchar_t c : event.text) {
        if (c >= 32 && c < 127) out << static_cast<char>(c);
        else out << "\\u" << std::hex << static_cast<unsigned>(c) << std::dec;
    }
    return out << "\")";
}

class EventRecorder {
public:
    InstallerCallback Callback() {
        return [this](int code, double progress, const wchar_t* text) { Record({code, progress, text}); };
    }

    // Runs on the sending thread for every event, after it is recorded.
    void SetHook(std::function<void(const RecordedEvent&)> hook) { m_Hook = std::move(hook); }

    void Record(const RecordedEvent& event) {
        {
            std::lock_guard<std::mutex> hold(m_Lock);
            m_Events.push_back(event);
        }
        m_Changed.notify_all();
        if (m_Hook) m_Hook(event);
    }

    std::vector<RecordedEvent> Events() const {
        std::lock_guard<std::mutex> hold(m_Lock);
        return m_Events;
    }

    std::vector<int> Codes() const {
        std::vector<int> codes;
        for (const RecordedEvent& event : Events()) codes.push_back(event.code);
        return codes;
    }

    // Waits until `count` events with `code` have arrived; false when the (generous)
    // bound passes first, so a broken pipeline fails the test instead of hanging it.
    bool WaitFor(int code, size_t count = 1, std::chrono::milliseconds bound = std::chrono::seconds(60)) {
        std::unique_lock<std::mutex> hold(m_Lock);
        return m_Changed.wait_for(hold, bound, [&] {
            size_t seen = 0;
            for (const RecordedEvent& event : m_Events) seen += event.code == code ? 1 : 0;
            return seen >= count;
        });
    }

    // Waits until `count` events with any of `codes` have arrived, within the same bound.
    bool WaitForAny(const std::vector<int>& codes, size_t count = 1,
                    std::chrono::milliseconds bound = std::chrono::seconds(60)) {
        std::unique_lock<std::mutex> hold(m_Lock);
        return m_Changed.wait_for(hold, bound, [&] {
            size_t seen = 0;
            for (const RecordedEvent& event : m_Events) {
                for (int code : codes) seen += event.code == code ? 1 : 0;
            }
            return seen >= count;
        });
    }

private:
    mutable std::mutex m_Lock;
    std::condition_variable m_Changed;
    std::vector<RecordedEvent> m_Events;
    std::function<void(const RecordedEvent&)> m_Hook;
};
