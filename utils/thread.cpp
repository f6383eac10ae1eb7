#include "utils/thread.h"

#include <process.h>

#include <mutex>

#include "utils/debug_trace.h"
#include "utils/text_convert.h"

namespace Utils {

namespace {

constexpr DWORD kThreadNameException = 0x406D1388;

#pragma pack(push, 8)
struct ThreadNameInfo {
    DWORD type;         // always 0x1000
    LPCSTR name;        // narrow name
    DWORD threadId;     // the named thread
    DWORD flags;        // reserved, 0
};
#pragma pack(pop)

// The naming exception exists only for an attached debugger, which sees it first; without
// one this handler continues execution right after the raise.
LONG CALLBACK SwallowThreadNameException(EXCEPTION_POINTERS* pointers) {
    if (pointers->ExceptionRecord->ExceptionCode == kThreadNameException) return EXCEPTION_CONTINUE_EXECUTION;
    return EXCEPTION_CONTINUE_SEARCH;
}

void InstallThreadNameHandlerOnce() {
    static std::once_flag once;
    std::call_once(once, [] { ::AddVectoredExceptionHandler(1, &SwallowThreadNameException); });
}

}  // namespace

std::wstring ThreadDisplayName(const std::wstring& name, uint32_t threadId) {
    return name.empty() ? L"t" + std::to_wstring(threadId) : name;
}

Thread::Thread(void* argument_, const std::wstring& name_, Function function_)
    : function(std::move(function_)), argument(argument_), name(name_) {
    unsigned id = 0;
    const uintptr_t created = ::_beginthreadex(nullptr, 0, &Thread::CallBack, this, CREATE_SUSPENDED, &id);
    if (created == 0) return;
    handle = reinterpret_cast<HANDLE>(created);
    threadId = id;
    AnnounceName();
}

Thread::~Thread() {
    Join();
    name.clear();
    function = nullptr;
}

bool Thread::Resume() {
    if (handle == nullptr) return false;
    return ::ResumeThread(handle) != static_cast<DWORD>(-1);
}

void Thread::Join() {
    if (handle == nullptr) return;
    ::WaitForSingleObject(handle, INFINITE);  // documented: joining waits for the work to end
    ::CloseHandle(handle);
    handle = nullptr;
    threadId = 0xFFFFFFFFu;
}

bool Thread::WaitFor(unsigned long milliseconds) const {
    if (handle == nullptr) return true;
    return ::WaitForSingleObject(handle, milliseconds) == WAIT_OBJECT_0;
}

void Thread::AnnounceName() const {
    const std::string narrowName = WideToMultiByte(ThreadDisplayName(name, threadId), CP_ACP);
    ThreadNameInfo info{0x1000, narrowName.c_str(), threadId, 0};
    InstallThreadNameHandlerOnce();
    ::RaiseException(kThreadNameException, 0, sizeof(info) / sizeof(ULONG_PTR),
                     reinterpret_cast<const ULONG_PTR*>(&info));
}

unsigned __stdcall Thread::CallBack(void* record) {
    Thread* thread = static_cast<Thread*>(record);
    TraceAt(L"Utils::Thread::CallBack", 101, L"THREAD BEGIN");
    if (thread->function) thread->function(thread->argument);
    TraceAt(L"Utils::Thread::CallBack", 107, L"THREAD END");
    ::_endthreadex(0);
    return 0;
}

}  // namespace Utils
