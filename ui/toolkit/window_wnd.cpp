#include "ui/toolkit/window_wnd.h"

#include "ui/toolkit/paint_manager.h"

namespace SkinUI {

CWindowWnd::~CWindowWnd() {
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
        // The object goes first: the window must not call back into it any more.
        ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
        ::DestroyWindow(m_hWnd);
    }
}

const wchar_t* CWindowWnd::GetSuperClassName() const { return nullptr; }

UINT CWindowWnd::GetClassStyle() const { return 0; }

bool CWindowWnd::RegisterWindowClass() {
    WNDCLASSW windowClass{};
    windowClass.style = GetClassStyle();
    windowClass.lpfnWndProc = &CWindowWnd::WndProc;
    windowClass.hInstance = CPaintManagerUI::GetInstance();
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = GetWindowClassName();
    if (::RegisterClassW(&windowClass) != 0) return true;
    return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CWindowWnd::Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, int x, int y, int width,
                        int height) {
    if (!RegisterWindowClass()) return nullptr;
    m_hWnd = ::CreateWindowExW(exStyle, GetWindowClassName(), name, style, x, y, width, height, parent, nullptr,
                               CPaintManagerUI::GetInstance(), this);
    return m_hWnd;
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus) {
    if (m_hWnd == nullptr) return;
    ::ShowWindow(m_hWnd, show ? (takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

UINT CWindowWnd::ShowModal() {
    if (m_hWnd == nullptr || !::IsWindow(m_hWnd)) return 0;
    HWND window = m_hWnd;
    HWND owner = ::GetWindow(window, GW_OWNER);
    ::ShowWindow(window, SW_SHOWNORMAL);
    if (owner != nullptr) ::EnableWindow(owner, FALSE);
    MSG msg{};
    // The loop lives as long as the window; GetMessage blocks until the next message,
    // and a quit message ends the loop (it is posted again for the outer loop).
    while (::IsWindow(window)) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            if (got == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!CPaintManagerUI::TranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    if (owner != nullptr) {
        ::EnableWindow(owner, TRUE);
        ::SetFocus(owner);
    }
    return m_CloseCode;
}

void CWindowWnd::Close(UINT code) {
    if (m_hWnd == nullptr || !::IsWindow(m_hWnd)) return;
    ::PostMessageW(m_hWnd, WM_CLOSE, static_cast<WPARAM>(code), 0);
}

void CWindowWnd::CenterWindow() {
    if (m_hWnd == nullptr) return;
    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    HMONITOR monitor = ::MonitorFromWindow(owner != nullptr ? owner : m_hWnd, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(monitor, &info);
    const RECT work = info.rcWork;
    RECT centre = work;
    if (owner != nullptr && !::IsIconic(owner)) ::GetWindowRect(owner, &centre);

    const long width = window.right - window.left;
    const long height = window.bottom - window.top;
    long x = (centre.left + centre.right) / 2 - width / 2;
    long y = (centre.top + centre.bottom) / 2 - height / 2;
    if (x < work.left) x = work.left;
    else if (x + width > work.right) x = work.right - width;
    if (y < work.top) y = work.top;
    else if (y + height > work.bottom) y = work.bottom - height;
    ::SetWindowPos(m_hWnd, nullptr, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::SetIcon(UINT resourceId) {
    if (m_hWnd == nullptr) return;
    HINSTANCE instance = CPaintManagerUI::GetInstance();
    m_LargeIcon.reset(static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                                      ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON),
                                                      LR_DEFAULTCOLOR)));
    if (m_LargeIcon) ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_LargeIcon.get()));
    m_SmallIcon.reset(static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                                      ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                                      LR_DEFAULTCOLOR)));
    if (m_SmallIcon) ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_SmallIcon.get()));
}

LRESULT CWindowWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(m_hWnd, uMsg, wParam, lParam);
}

void CWindowWnd::OnFinalMessage(HWND) {}

LRESULT CALLBACK CWindowWnd::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CWindowWnd* self = nullptr;
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        self = static_cast<CWindowWnd*>(create->lpCreateParams);
        self->m_hWnd = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (self == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);

    if (message == WM_CLOSE) self->m_CloseCode = static_cast<UINT>(wParam);
    if (message == WM_NCDESTROY) {
        const LRESULT result = self->HandleMessage(message, wParam, lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->m_hWnd = nullptr;
        self->OnFinalMessage(window);
        return result;
    }
    return self->HandleMessage(message, wParam, lParam);
}

}  // namespace SkinUI
