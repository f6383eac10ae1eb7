// A named worker thread, created suspended so that its creator can finish wiring before it
// runs. The creator resumes it (after checking `handle`), and only the creator joins or
// deletes it; deleting the record waits for the thread, so the record outlives its thread.
// Join and the destructor must never run on the thread itself.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace Utils {

class Thread {
public:
    using Function = std::function<void(void*)>;

    Thread(void* argument, const std::wstring& name, Function function);
    ~Thread();

    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Starts a thread created suspended; false when there is none to start.
    bool Resume();
    // Waits without limit for the thread to end, then forgets it.
    void Join();
    // Waits up to `milliseconds`; true when the thread has ended (or never existed).
    bool WaitFor(unsigned long milliseconds) const;

    static unsigned __stdcall CallBack(void* record);

    uint32_t threadId = 0xFFFFFFFFu;
    HANDLE handle = nullptr;
    Function function;
    void* argument = nullptr;
    std::wstring name;

private:
    void AnnounceName() const;
};

// The name a thread announces: its own name, or "t" followed by its id.
std::wstring ThreadDisplayName(const std::wstring& name, uint32_t threadId);

}  // namespace Utils
