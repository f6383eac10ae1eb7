// Entry of the program tests. The installers they start show real windows: they run on a
// desktop of this process's own, whose window server Wine starts from this process's
// environment (the display the test's wrapper provides), and this process looks for their
// windows there.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

std::wstring g_TestDesktopName;

int main(int argc, char** argv) {
    const std::wstring name = L"lumivox-app-tests-" + std::to_wstring(::GetCurrentProcessId());
    HDESK desktop = ::CreateDesktopW(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (desktop != nullptr && ::SetThreadDesktop(desktop)) {
        g_TestDesktopName = name;
    } else {
        std::fprintf(stderr, "no desktop of its own (%lu); using the default one\n", ::GetLastError());
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
