#include "analytics/delivery_requests.h"

#include <windows.h>

#include <system_error>
#include <thread>

#include "analytics/sdk/console_messages.h"
#include "analytics/sdk/http_sender.h"
#include "analytics/sdk/no_destructor.h"
#include "analytics/sdk/sdk.h"

namespace quillon {
namespace tracking {

namespace {

constexpr int kImmediateAttempts = 3;

std::atomic<long long> g_TeardownBoundMs{10000};

std::mutex& DeliveryLock() {
    static usage_analytics::NoDestructor<std::mutex> lock;
    return *lock;
}

}  // namespace

DeliveryRequests::DeliveryRequests() : m_State(std::make_shared<State>()) {}

std::chrono::milliseconds DeliveryRequests::TeardownBound() { return std::chrono::milliseconds(g_TeardownBoundMs.load()); }

void DeliveryRequests::SetTeardownBound(std::chrono::milliseconds bound) { g_TeardownBoundMs = bound.count(); }

void DeliveryRequests::RunRequest(State& state, Kind kind) {
    // Waits behind at most one other request, whose requests are each bounded by the
    // collector time-out.
    std::lock_guard<std::mutex> delivery(DeliveryLock());
    if (kind == Kind::Ordinary) {
        ::Sleep(1);
        state.pending.fetch_add(1);
        return;
    }
    for (int attempt = 0; attempt < kImmediateAttempts; ++attempt) {
        if (state.pending.load() <= 0) return;
        if (usage_analytics::Sdk::IsInitialized() && usage_analytics::Sdk::Flush()) {
            state.pending.store(0);
            return;
        }
        ::Sleep(1);
    }
}

void DeliveryRequests::Request(Kind kind) {
    if (usage_analytics::LastSendOk()) {
        RunRequest(*m_State, kind);
        return;
    }
    usage_analytics::WriteDebugger("[Analytics] Sending messages asynchronously");
    {
        std::lock_guard<std::mutex> guard(m_State->lock);
        ++m_State->threadsRunning;
    }
    const std::shared_ptr<State> state = m_State;
    const auto body = [state, kind] {
        RunRequest(*state, kind);
        std::lock_guard<std::mutex> guard(state->lock);
        --state->threadsRunning;
        state->idle.notify_all();
    };
    try {
        std::thread(body).detach();
    } catch (const std::system_error&) {
        body();  // no thread to be had: deliver on this one rather than not at all
    }
}

bool DeliveryRequests::WaitForThreads(std::chrono::milliseconds bound) const {
    std::unique_lock<std::mutex> guard(m_State->lock);
    return m_State->idle.wait_for(guard, bound, [this] { return m_State->threadsRunning == 0; });
}

void DeliveryRequests::FinalDelivery() {
    for (int attempt = 0; attempt < kImmediateAttempts && m_State->pending.load() > 0; ++attempt) {
        if (usage_analytics::Sdk::Flush()) {
            m_State->pending.store(0);
            return;
        }
    }
}

}  // namespace tracking
}  // namespace quillon
