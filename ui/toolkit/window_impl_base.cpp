#include "ui/toolkit/window_impl_base.h"

#include <windowsx.h>

#include "ui/toolkit/dialog_builder.h"
#include "ui/toolkit/gdi_handles.h"
#include "ui/toolkit/markup_values.h"
#include "ui/toolkit/skin_source.h"
#include "utils/debug_trace.h"

namespace SkinUI {

namespace {

void ShowFailureAndExit() {
    ::MessageBoxW(nullptr, L"加载资源文件失败", L"SkinUI", MB_OK | MB_ICONERROR);
    ::ExitProcess(1);
}

WindowImplBase::LayoutFailureAction g_LayoutFailureAction = &ShowFailureAndExit;

std::wstring ExecutableFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    const size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
}

bool IsCaptionExempt(CControlUI* control) {
    return control->GetInterface(L"Button") != nullptr || control->GetInterface(L"Option") != nullptr ||
           control->GetInterface(L"Text") != nullptr;
}

}  // namespace

WindowImplBase::LayoutFailureAction WindowImplBase::SetLayoutFailureAction(LayoutFailureAction action) {
    LayoutFailureAction previous = g_LayoutFailureAction;
    g_LayoutFailureAction = action != nullptr ? action : &ShowFailureAndExit;
    return previous;
}

WindowImplBase::WindowImplBase() = default;

WindowImplBase::~WindowImplBase() {
    // A window that outlives its object is destroyed while the paint manager and the tree
    // still exist; from now on its messages go straight to the default procedure.
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
        ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
        ::DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
    }
    m_PaintManager.Init(nullptr);
}

CControlUI* WindowImplBase::FindControl(const std::wstring& name) const { return m_PaintManager.FindControl(name); }

const wchar_t* WindowImplBase::GetSuperClassName() const { return nullptr; }

UINT WindowImplBase::GetClassStyle() const { return CS_DBLCLKS; }

void WindowImplBase::InitWindow() {}

void WindowImplBase::OnClick(NotifyRecord& msg) {
    if (msg.sender == nullptr) return;
    const std::wstring& name = msg.sender->GetName();
    if (name == L"closebtn") {
        Close(1);
    } else if (name == L"minbtn") {
        ::SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (name == L"maxbtn") {
        ::SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    } else if (name == L"restorebtn") {
        ::SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    }
}

void WindowImplBase::Notify(NotifyRecord& msg) {
    if (msg.type == NotifyType::kClick) OnClick(msg);
}

LRESULT WindowImplBase::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM, bool& handled) {
    if (uMsg == WM_KEYDOWN) {
        if (wParam == VK_ESCAPE) {
            handled = true;  // Escape never closes or changes a skinned window
            return 0;
        }
        if (wParam == VK_RETURN) return ResponseDefaultKeyEvent(wParam);
    }
    return 0;
}

std::unique_ptr<CControlUI> WindowImplBase::CreateControl(const wchar_t*) { return nullptr; }

LRESULT WindowImplBase::ResponseDefaultKeyEvent(WPARAM) { return 0; }

int WindowImplBase::GetResourceType() const { return kSkinResourceKindArchiveResource; }

std::wstring WindowImplBase::GetZIPFileName() const { return std::wstring(); }

int WindowImplBase::GetResourceID() const { return kSkinArchiveResourceId; }

LONG WindowImplBase::GetStyle() {
    LONG style = static_cast<LONG>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE));
    style &= ~WS_CAPTION;
    style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    return style;
}

void WindowImplBase::ApplyRoundCorner() {
    if (m_hWnd == nullptr || ::IsIconic(m_hWnd)) return;
    const SIZE round = m_PaintManager.GetRoundCorner();
    if (round.cx == 0 && round.cy == 0) return;
    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    UniqueRegion region(::CreateRoundRectRgn(0, 0, window.right - window.left + 1, window.bottom - window.top + 1,
                                             round.cx, round.cy));
    // The window owns the region once it is set.
    if (::SetWindowRgn(m_hWnd, region.get(), TRUE) != 0) region.release();
}

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (::IsIconic(m_hWnd)) bHandled = FALSE;
    return wParam == 0 ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM, LPARAM, BOOL&) {
    return 0;  // the whole window is client area
}

LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, BOOL&) { return 0; }

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, BOOL&) {
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ScreenToClient(m_hWnd, &point);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const RECT& caption = m_PaintManager.GetCaptionRect();
    if (point.x >= client.left + caption.left && point.x < client.right - caption.right &&
        point.y >= caption.top && point.y < caption.bottom) {
        m_PaintManager.UpdateLayout();
        CControlUI* control = m_PaintManager.FindControl(point);
        if (control == nullptr || !IsCaptionExempt(control)) return HTCAPTION;
    }
    return HTCLIENT;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &info);
    const RECT work = info.rcWork;
    const RECT monitor = info.rcMonitor;
    auto* minMax = reinterpret_cast<MINMAXINFO*>(lParam);
    // A maximised frameless window covers the work area, not the taskbar.
    minMax->ptMaxPosition.x = work.left - monitor.left;
    minMax->ptMaxPosition.y = work.top - monitor.top;
    minMax->ptMaxSize.x = work.right - work.left;
    minMax->ptMaxSize.y = work.bottom - work.top;
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnMouseWheel(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnMouseHover(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (wParam != SIZE_MINIMIZED) ApplyRoundCorner();
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnChar(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if ((wParam & 0xFFF0) == SC_CLOSE) {
        ::SendMessageW(m_hWnd, WM_CLOSE, 0, 0);
        return 0;
    }
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, GetStyle());
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);

    m_PaintManager.Init(m_hWnd);
    m_PaintManager.AddPreMessageFilter(this);
    if (CPaintManagerUI::GetResourcePath().empty()) {
        CPaintManagerUI::SetResourcePath(ExecutableFolder() + GetSkinFolder());
    }

    if (GetResourceType() == kSkinResourceKindArchiveResource) {
        if (!m_PaintManager.LoadSkinArchiveFromResource(CPaintManagerUI::GetInstance(), GetResourceID())) {
            // Without its archive the window stays empty; the failure is traced only.
            Utils::TraceAt(L"SkinUI::WindowImplBase::OnCreate", __LINE__, L"skin archive %d not loaded",
                           GetResourceID());
            return 0;
        }
    }

    CDialogBuilder builder;
    std::unique_ptr<CControlUI> root = builder.Create(GetSkinFile(), this, &m_PaintManager);
    if (!root) {
        Utils::TraceAt(L"SkinUI::WindowImplBase::OnCreate", __LINE__, L"layout %s not loaded: %s",
                       GetSkinFile().c_str(), builder.GetLastError().c_str());
        g_LayoutFailureAction();
        return -1;
    }
    m_PaintManager.AttachDialog(std::move(root));
    m_PaintManager.AddNotifier(this);
    ApplyRoundCorner();
    InitWindow();
    return 0;
}

LRESULT WindowImplBase::OnKeyDown(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnKillFocus(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnSetFocus(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnMouseMove(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    BOOL handled = TRUE;
    switch (uMsg) {
        case WM_CREATE: result = OnCreate(uMsg, wParam, lParam, handled); break;
        case WM_CLOSE: result = OnClose(uMsg, wParam, lParam, handled); break;
        case WM_DESTROY: result = OnDestroy(uMsg, wParam, lParam, handled); break;
        case WM_NCACTIVATE: result = OnNcActivate(uMsg, wParam, lParam, handled); break;
        case WM_NCCALCSIZE: result = OnNcCalcSize(uMsg, wParam, lParam, handled); break;
        case WM_NCPAINT: result = OnNcPaint(uMsg, wParam, lParam, handled); break;
        case WM_NCHITTEST: result = OnNcHitTest(uMsg, wParam, lParam, handled); break;
        case WM_GETMINMAXINFO: result = OnGetMinMaxInfo(uMsg, wParam, lParam, handled); break;
        case WM_MOUSEWHEEL: result = OnMouseWheel(uMsg, wParam, lParam, handled); break;
        case WM_MOUSEHOVER: result = OnMouseHover(uMsg, wParam, lParam, handled); break;
        case WM_SIZE: result = OnSize(uMsg, wParam, lParam, handled); break;
        case WM_CHAR: result = OnChar(uMsg, wParam, lParam, handled); break;
        case WM_SYSCOMMAND: result = OnSysCommand(uMsg, wParam, lParam, handled); break;
        case WM_KEYDOWN: result = OnKeyDown(uMsg, wParam, lParam, handled); break;
        case WM_KILLFOCUS: result = OnKillFocus(uMsg, wParam, lParam, handled); break;
        case WM_SETFOCUS: result = OnSetFocus(uMsg, wParam, lParam, handled); break;
        case WM_LBUTTONDOWN: result = OnLButtonDown(uMsg, wParam, lParam, handled); break;
        case WM_LBUTTONUP: result = OnLButtonUp(uMsg, wParam, lParam, handled); break;
        case WM_MOUSEMOVE: result = OnMouseMove(uMsg, wParam, lParam, handled); break;
        default: handled = FALSE; break;
    }
    if (handled) return result;
    handled = TRUE;
    result = HandleCustomMessage(uMsg, wParam, lParam, handled);
    if (handled) return result;
    if (m_PaintManager.MessageHandler(uMsg, wParam, lParam, result)) return result;
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

void WindowImplBase::OnFinalMessage(HWND) {
    m_PaintManager.RemovePreMessageFilter(this);
    m_PaintManager.RemoveNotifier(this);
    m_PaintManager.ReleaseRoot();
}

}  // namespace SkinUI
