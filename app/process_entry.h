// The installer's start-up and exit, step by step, on the process's first thread.
#pragma once

#include <windows.h>

// Removes the current folder from the library search order and pre-loads the system
// libraries the process would otherwise look for beside the executable. Never fails.
void HardenDllSearchPath();

// The last-chance filter for unhandled exceptions: reports, then lets the system end the
// process.
LONG WINAPI CrashFilter(EXCEPTION_POINTERS* exceptionPointers);

// "D1A547DB89C0BC61_Installer_" followed by the product identifier.
extern const wchar_t kSingleInstanceMutexName[];

// Holds the product's single-instance mutex for its lifetime.
class SingleInstanceGuard {
public:
    SingleInstanceGuard() = default;
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

    // False when another installer for the product holds the mutex (or it cannot be made).
    bool Acquire();

private:
    HANDLE m_Mutex = nullptr;
};

// Runs the whole process: start-up, the window's run, exit. Returns the exit code.
int RunInstaller(HINSTANCE instance);
