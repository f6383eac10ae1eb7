#include "utils/thread.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>

#include "tests/support/trace_capture.h"
#include "utils/win_handle.h"

namespace {

using TestSupport::TraceCapture;

TEST(Thread, EmptyNameBecomesTAndItsId) {
    EXPECT_EQ(Utils::ThreadDisplayName(L"", 4711), L"t4711");
    EXPECT_EQ(Utils::ThreadDisplayName(L"ABDEF", 4711), L"ABDEF");

    // A thread named "t<id>" runs normally: announcing the name raises nothing visible.
    std::atomic<int> runs{0};
    Utils::Thread thread(&runs, L"", [](void* argument) { ++*static_cast<std::atomic<int>*>(argument); });
    ASSERT_NE(thread.handle, nullptr);
    ASSERT_TRUE(thread.Resume());
    thread.Join();
    EXPECT_EQ(runs.load(), 1);
    EXPECT_EQ(thread.handle, nullptr);
    EXPECT_EQ(thread.threadId, 0xFFFFFFFFu);
}

TEST(Thread, IsCreatedSuspendedAndTracesBeginAndEndOnItsOwnId) {
    TraceCapture capture;
    std::atomic<DWORD> workerId{0};
    {
        Utils::Thread thread(&workerId, L"ABDEF",
                             [](void* argument) { *static_cast<std::atomic<DWORD>*>(argument) = ::GetCurrentThreadId(); });
        ASSERT_NE(thread.handle, nullptr);
        ::Sleep(100);
        EXPECT_EQ(workerId.load(), 0u) << "ran before being resumed";
        ASSERT_TRUE(thread.Resume());
    }  // the destructor waits

    const auto begin = capture.LinesContaining(L"(Utils::Thread::CallBack)<0101>: THREAD BEGIN\r\n");
    const auto end = capture.LinesContaining(L"(Utils::Thread::CallBack)<0107>: THREAD END\r\n");
    ASSERT_EQ(begin.size(), 1u);
    ASSERT_EQ(end.size(), 1u);
    wchar_t idField[16];
    ::_snwprintf(idField, 15, L"<T%05lu>", workerId.load());
    EXPECT_NE(begin[0].find(idField), std::wstring::npos) << begin[0];
    EXPECT_NE(end[0].find(idField), std::wstring::npos) << end[0];
    EXPECT_NE(workerId.load(), ::GetCurrentThreadId());
}

TEST(Thread, DestroyingWaitsForARunningThreadAndNotForAFinishedOne) {
    Utils::UniqueHandle release(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::atomic<bool> finished{false};
    struct Work {
        HANDLE release;
        std::atomic<bool>* finished;
    } work{release.get(), &finished};

    auto thread = std::make_unique<Utils::Thread>(&work, L"ABDEF", [](void* argument) {
        auto* w = static_cast<Work*>(argument);
        ::WaitForSingleObject(w->release, 10000);  // bounded so a broken test cannot hang
        *w->finished = true;
    });
    ASSERT_TRUE(thread->Resume());
    EXPECT_FALSE(thread->WaitFor(200)) << "the worker ended before it was released";

    Utils::Thread releaser(release.get(), L"", [](void* event) {
        ::Sleep(300);
        ::SetEvent(static_cast<HANDLE>(event));
    });
    releaser.Resume();
    thread.reset();  // blocks until the worker ends
    EXPECT_TRUE(finished.load());

    // A second delete of a finished thread returns at once.
    Utils::Thread quick(nullptr, L"", [](void*) {});
    quick.Resume();
    quick.Join();
    const DWORD before = ::GetTickCount();
    quick.Join();
    EXPECT_LT(::GetTickCount() - before, 100u);
}

}  // namespace
