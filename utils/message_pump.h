#pragma once

#include <windows.h>

namespace Utils {

// Dispatches this thread's waiting window messages for up to 100 ms, or until `window`
// (when not null) is destroyed. A quit message ends the pump and is posted again, so that
// the enclosing message loop still sees it. Unlike a blocking GetMessage loop it also
// returns after 100 ms when no message comes at all.
void PumpMessages(HWND window);

}  // namespace Utils
