#include "utils/message_pump.h"

#include <mmsystem.h>

namespace Utils {

void PumpMessages(HWND window) {
    constexpr DWORD kPumpMilliseconds = 100;
    const DWORD started = ::timeGetTime();
    for (;;) {
        if (window != nullptr && !::IsWindow(window)) return;
        const DWORD elapsed = ::timeGetTime() - started;
        if (elapsed > kPumpMilliseconds) return;
        MSG message{};
        if (!::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            // Sleeps until a message arrives or the time is up.
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, kPumpMilliseconds - elapsed, QS_ALLINPUT);
            continue;
        }
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

}  // namespace Utils
