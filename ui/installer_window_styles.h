// The window styles every installer window sets after the frame's own set-up (which already
// removed the caption and maximise box): children and siblings clipped while painting, and
// never always-on-top.
#pragma once

#include <windows.h>

inline void ApplyInstallerWindowStyles(HWND window) {
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    ::SetWindowLongPtrW(window, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_CAPTION | WS_MAXIMIZEBOX)) |
                                               WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
    const LONG_PTR exStyle = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
    ::SetWindowLongPtrW(window, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_TOPMOST));
}
