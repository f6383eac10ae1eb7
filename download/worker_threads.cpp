#include "download/worker_threads.h"

#include <windows.h>

#include <algorithm>

#include "utils/win_handle.h"

namespace Download {

namespace {

bool IsCaller(const Utils::Thread& thread) { return thread.threadId == ::GetCurrentThreadId(); }

}  // namespace

WorkerThreads::~WorkerThreads() {
    std::lock_guard<std::mutex> lock(m_Lock);
    for (auto& thread : m_Threads) {
        // A record still running here is the caller's own or one its owner gave up on;
        // joining it would wait for ever, freeing it would pull its function away.
        if (IsCaller(*thread) || !thread->WaitFor(0)) thread.release();
    }
}

bool WorkerThreads::Launch(void* argument, const std::wstring& name, Utils::Thread::Function function) {
    Utils::Thread* thread = CreateSuspended(argument, name, std::move(function));
    return thread != nullptr && thread->Resume();
}

Utils::Thread* WorkerThreads::CreateSuspended(void* argument, const std::wstring& name,
                                              Utils::Thread::Function function) {
    ReleaseEnded();
    auto thread = std::make_unique<Utils::Thread>(argument, name, std::move(function));
    if (thread->handle == nullptr) return nullptr;
    Utils::Thread* created = thread.get();
    std::lock_guard<std::mutex> lock(m_Lock);
    m_Threads.push_back(std::move(thread));
    return created;
}

void WorkerThreads::ReleaseEnded() {
    std::lock_guard<std::mutex> lock(m_Lock);
    m_Threads.erase(std::remove_if(m_Threads.begin(), m_Threads.end(),
                                   [](const std::unique_ptr<Utils::Thread>& thread) {
                                       return !IsCaller(*thread) && thread->WaitFor(0);
                                   }),
                    m_Threads.end());
}

bool WorkerThreads::WaitUntil(unsigned long long deadlineTick, bool bounded) {
    for (;;) {
        // Own copies of the handles: another thread may release an ended record meanwhile.
        std::vector<Utils::UniqueHandle> running;
        {
            std::lock_guard<std::mutex> lock(m_Lock);
            for (const auto& thread : m_Threads) {
                if (IsCaller(*thread) || thread->WaitFor(0)) continue;
                HANDLE copy = nullptr;
                if (::DuplicateHandle(::GetCurrentProcess(), thread->handle, ::GetCurrentProcess(), &copy, SYNCHRONIZE,
                                      FALSE, 0)) {
                    running.emplace_back(copy);
                }
            }
        }
        if (running.empty()) {
            ReleaseEnded();
            return true;
        }
        // A thread launched meanwhile is seen in the next round.
        for (const Utils::UniqueHandle& handle : running) {
            DWORD wait = INFINITE;
            if (bounded) {
                const unsigned long long now = ::GetTickCount64();
                if (now >= deadlineTick) return false;
                wait = static_cast<DWORD>(deadlineTick - now);
            }
            if (::WaitForSingleObject(handle.get(), wait) != WAIT_OBJECT_0 && bounded) return false;
        }
    }
}

void WorkerThreads::JoinAllButCaller() { WaitUntil(0, false); }

bool WorkerThreads::WaitAllButCaller(unsigned long milliseconds) {
    return WaitUntil(::GetTickCount64() + milliseconds, true);
}

}  // namespace Download
