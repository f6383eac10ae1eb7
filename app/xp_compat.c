/* The 32-bit installer starts on Windows XP, whose kernel32 lacks GetTickCount64. The
   static thread library imports it, so this file supplies the import slot itself: it calls
   the system's function where there is one and extends the 32-bit tick count elsewhere. */
#include <windows.h>

typedef ULONGLONG(WINAPI* TickCount64Fn)(void);

static volatile LONG64 g_LastTicks;

static ULONGLONG ExtendedTickCount(void) {
    for (;;) {
        const ULONGLONG previous = (ULONGLONG)__atomic_load_n(&g_LastTicks, __ATOMIC_ACQUIRE);
        const ULONGLONG low = GetTickCount();
        ULONGLONG candidate = (previous & 0xFFFFFFFF00000000ULL) | low;
        /* Only a large step back is a wrap; a small one is another thread that read later. */
        if (candidate < previous) {
            if ((previous & 0xFFFFFFFFULL) - low < 0x80000000ULL) return previous;
            candidate += 0x100000000ULL;
        }
        LONG64 expected = (LONG64)previous;
        if (__atomic_compare_exchange_n(&g_LastTicks, &expected, (LONG64)candidate, 0, __ATOMIC_ACQ_REL,
                                        __ATOMIC_ACQUIRE)) {
            return candidate;
        }
    }
}

static ULONGLONG WINAPI CompatGetTickCount64(void) {
    static TickCount64Fn system = NULL;
    static volatile LONG resolved = 0;
    if (!__atomic_load_n(&resolved, __ATOMIC_ACQUIRE)) {
        system = (TickCount64Fn)(void*)GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount64");
        __atomic_store_n(&resolved, 1, __ATOMIC_RELEASE);
    }
    return system != NULL ? system() : ExtendedTickCount();
}

TickCount64Fn g_GetTickCount64Slot __asm__("__imp__GetTickCount64@0") = CompatGetTickCount64;
