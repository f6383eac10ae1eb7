// Entry of the window tests. The windows are created on a desktop of this process's own
// (under Wine the first window on a new desktop starts its window server from this
// process's environment, so they reach the display this run was given), and the process
// is prepared as the installer prepares itself: the toolkit's module and the shadow class.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/skin_frame.h"
#include "ui/wnd_shadow.h"

int main(int argc, char** argv) {
    const std::wstring name = L"lumivox-window-tests-" + std::to_wstring(::GetCurrentProcessId());
    HDESK desktop = ::CreateDesktopW(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (desktop == nullptr || !::SetThreadDesktop(desktop)) {
        std::fprintf(stderr, "no desktop of its own (%lu); using the default one\n", ::GetLastError());
    }
    SkinUI::CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr));
    CWndShadow::Initialize(::GetModuleHandleW(nullptr));
    SkinUI::CSkinFrame::SetShadowFactory(&CreateFrameShadow);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
