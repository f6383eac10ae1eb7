// The tracker's delivery requests. After a batch that got 200 a request runs on the caller's
// thread; otherwise (at first, and after a failure) it runs on a detached thread so that the
// caller never waits for a collector that may be down. Requests are serialised by one
// process-wide delivery lock.
//
// An ordinary request only counts work in the pending counter. An immediate request makes up
// to three full flushes of the SDK while the counter is above 0 and resets it on success.
//
// The detached threads share the counter and their own bookkeeping with this object through
// shared ownership, and the owner waits for them (bounded) before it tears the SDK down, so
// a thread still running can never touch freed state.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

namespace quillon {
namespace tracking {

class DeliveryRequests {
public:
    enum class Kind { Ordinary, Immediate };

    DeliveryRequests();
    DeliveryRequests(const DeliveryRequests&) = delete;
    DeliveryRequests& operator=(const DeliveryRequests&) = delete;

    void Request(Kind kind);

    void AddPending(int32_t count) { m_State->pending.fetch_add(count); }
    void ResetPending() { m_State->pending.store(0); }
    int32_t Pending() const { return m_State->pending.load(); }

    // Waits until no request thread of this object runs, at most `bound`; true when none does.
    bool WaitForThreads(std::chrono::milliseconds bound) const;

    // The teardown's final delivery on the calling thread: while work is pending, up to three
    // full flushes one after another; the first that succeeds resets the counter.
    void FinalDelivery();

    // How long a teardown waits for request threads: 10 s, shortened by tests.
    static std::chrono::milliseconds TeardownBound();
    static void SetTeardownBound(std::chrono::milliseconds bound);

private:
    struct State {
        std::atomic<int32_t> pending{0};
        mutable std::mutex lock;
        mutable std::condition_variable idle;
        int threadsRunning = 0;
    };

    static void RunRequest(State& state, Kind kind);

    std::shared_ptr<State> m_State;
};

}  // namespace tracking
}  // namespace quillon
