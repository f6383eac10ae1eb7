// The worker threads of one downloader, kept until they have ended.
//
// A downloader's worker may ask for the next attempt from inside its own notification (a
// retry requested from the callback), so the thread that launches a new worker can be one
// of the recorded ones. A thread never waits for itself here: its own record is kept until
// a later call from another thread, or the owner's final wait, finds it ended.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "utils/thread.h"

namespace Download {

class WorkerThreads {
public:
    WorkerThreads() = default;
    // Owners call WaitAllButCaller first; whatever still runs then is left alone.
    ~WorkerThreads();
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    // Creates, records and resumes a thread; false when it cannot be created.
    bool Launch(void* argument, const std::wstring& name, Utils::Thread::Function function);
    // Creates and records a thread without resuming it; null when it cannot be created.
    // The creator resumes it before anything waits for it.
    Utils::Thread* CreateSuspended(void* argument, const std::wstring& name, Utils::Thread::Function function);
    // Waits until every recorded thread but the caller has ended, including threads they
    // launch meanwhile, and releases their records.
    void JoinAllButCaller();
    // As JoinAllButCaller, but gives up after `milliseconds`; true when none is left running.
    bool WaitAllButCaller(unsigned long milliseconds);

private:
    bool WaitUntil(unsigned long long deadlineTick, bool bounded);
    void ReleaseEnded();

    std::mutex m_Lock;
    std::vector<std::unique_ptr<Utils::Thread>> m_Threads;
};

}  // namespace Download
