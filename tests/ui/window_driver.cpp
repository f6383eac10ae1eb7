#include "tests/ui/window_driver.h"

#include <algorithm>
#include <cstdio>

#include "tests/support/temp_folder.h"
#include "ui/message_box_wnd.h"
#include "ui/toolkit/dib_surface.h"
#include "ui/toolkit/paint_manager.h"

namespace WindowDriver {

namespace {

DialogAnswers* g_Answers = nullptr;
// A dialog nobody expected is closed after this long.
constexpr DWORD kUnexpectedDialogGraceMs = 3000;

std::wstring ScreenshotFolder() {
    wchar_t configured[MAX_PATH] = {};
    std::wstring folder;
    if (::GetEnvironmentVariableW(L"LUMIVOX_SCREENSHOTS", configured, MAX_PATH) > 0) {
        folder = configured;
    } else {
        folder = TestSupport::OwnFolder() + L"\\..\\screenshots";
    }
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    ::GetClassNameW(window, name, 256);
    return name;
}

std::wstring TextOf(CMessageBoxWnd& dialog, const wchar_t* name) {
    SkinUI::CControlUI* control = dialog.FindControl(name);
    return control != nullptr ? control->GetText() : std::wstring();
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

}  // namespace

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!SkinUI::CPaintManagerUI::TranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        if (done()) return true;
        if (::GetTickCount() - start > timeoutMs) return false;
        // Sleeps until the next message or 10 ms, whichever comes first.
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpFor(DWORD milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

SkinUI::WindowImplBase* WindowObject(HWND window) {
    // Only the installer's own window classes carry an object pointer in their user data.
    static const wchar_t* const kSkinnedClasses[] = {L"MainWnd",       L"MessageBox1Wnd",  L"MessageBox2Wnd",
                                                     L"ExitTipWnd",    L"NetworkTipWnd",   L"InstalledPathTipWnd"};
    const std::wstring windowClass = ClassOf(window);
    if (std::none_of(std::begin(kSkinnedClasses), std::end(kSkinnedClasses),
                     [&](const wchar_t* name) { return _wcsicmp(name, windowClass.c_str()) == 0; })) {
        return nullptr;
    }
    auto* object = reinterpret_cast<SkinUI::CWindowWnd*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    return object != nullptr ? dynamic_cast<SkinUI::WindowImplBase*>(object) : nullptr;
}

void Click(SkinUI::WindowImplBase& window, const wchar_t* controlName) {
    window.GetPaintManager().UpdateLayout();
    SkinUI::CControlUI* control = window.FindControl(controlName);
    if (control == nullptr) return;
    const RECT& pos = control->GetPos();
    const LPARAM point = MAKELPARAM((pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2);
    ::PostMessageW(window.GetHWND(), WM_MOUSEMOVE, 0, point);
    ::PostMessageW(window.GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    ::PostMessageW(window.GetHWND(), WM_LBUTTONUP, 0, point);
}

void PressAltF4(HWND window) {
    constexpr LPARAM kAltDown = 1 << 29;
    ::PostMessageW(window, WM_SYSKEYDOWN, VK_F4, kAltDown | 1);
    ::PostMessageW(window, WM_SYSKEYUP, VK_F4, kAltDown | 1 | (1u << 30) | (1u << 31));
}

void PressKey(HWND window, WPARAM key) {
    ::PostMessageW(window, WM_KEYDOWN, key, 1);
    ::PostMessageW(window, WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
}

void SaveScreenshot(SkinUI::WindowImplBase& window, const std::wstring& name) {
    RECT client{};
    ::GetClientRect(window.GetHWND(), &client);
    SkinUI::DibSurface surface;
    if (client.right <= 0 || client.bottom <= 0 || !surface.Create(client.right, client.bottom)) return;
    surface.Fill(0xFFFFFFFF);
    window.GetPaintManager().Render(surface.Dc(), client, client);
    WriteBmp(ScreenshotFolder() + L"\\" + name + L".bmp", surface);
}

DialogAnswers::DialogAnswers() {
    g_Answers = this;
    m_Timer = ::SetTimer(nullptr, 0, 20, &DialogAnswers::OnTimer);
}

DialogAnswers::~DialogAnswers() {
    if (m_Timer != 0) ::KillTimer(nullptr, m_Timer);
    if (g_Answers == this) g_Answers = nullptr;
}

DialogAnswers& DialogAnswers::Expect(const std::wstring& windowClass, Action action, const std::wstring& screenshot) {
    m_Expected.push_back(Expected{windowClass, std::move(action), screenshot});
    return *this;
}

DialogAnswers::Action DialogAnswers::ClickOn(const wchar_t* controlName) {
    return [controlName](CMessageBoxWnd& dialog) { Click(dialog, controlName); };
}

DialogAnswers::Action DialogAnswers::AltF4() {
    return [](CMessageBoxWnd& dialog) { PressAltF4(dialog.GetHWND()); };
}

void CALLBACK DialogAnswers::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (g_Answers != nullptr) g_Answers->Poll();
}

void DialogAnswers::Poll() {
    std::vector<HWND> windows;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows) {
        if (!::IsWindowVisible(window)) continue;
        if (std::find(m_Handled.begin(), m_Handled.end(), window) != m_Handled.end()) continue;
        auto* dialog = dynamic_cast<CMessageBoxWnd*>(WindowObject(window));
        if (dialog == nullptr) continue;
        const std::wstring windowClass = ClassOf(window);
        const bool expected = m_Next < m_Expected.size() && m_Expected[m_Next].windowClass == windowClass;
        if (!expected) {
            if (m_UnexpectedSince == 0) m_UnexpectedSince = ::GetTickCount();
            if (::GetTickCount() - m_UnexpectedSince < kUnexpectedDialogGraceMs) continue;
        }
        m_UnexpectedSince = 0;
        m_Handled.push_back(window);
        m_Seen.push_back(SeenDialog{expected ? windowClass : L"unexpected:" + windowClass, TextOf(*dialog, L"textLbl"),
                                    TextOf(*dialog, L"captionLbl")});
        if (!expected) {
            ::PostMessageW(window, WM_CLOSE, 0, 0);
            continue;
        }
        const Expected& step = m_Expected[m_Next++];
        SaveScreenshot(*dialog, step.screenshot.empty() ? L"dialog-" + windowClass : step.screenshot);
        step.action(*dialog);
    }
}

}  // namespace WindowDriver
