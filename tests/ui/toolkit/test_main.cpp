// Entry of the toolkit tests. The windows are created on a desktop of this process's own:
// under Wine the first window on a new desktop starts that desktop's window server from
// this process's environment, so the windows reach the display this run was given even
// when the session's default desktop was started earlier without one.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

int main(int argc, char** argv) {
    const std::wstring name = L"lumivox-toolkit-tests-" + std::to_wstring(::GetCurrentProcessId());
    HDESK desktop = ::CreateDesktopW(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (desktop == nullptr || !::SetThreadDesktop(desktop)) {
        std::fprintf(stderr, "no desktop of its own (%lu); using the default one\n", ::GetLastError());
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
