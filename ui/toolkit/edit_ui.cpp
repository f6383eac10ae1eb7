#include "ui/toolkit/edit_ui.h"

#include <vector>

#include "ui/toolkit/markup_values.h"
#include "ui/toolkit/notify.h"
#include "ui/toolkit/paint_manager.h"

namespace SkinUI {

namespace {

// Posted by the native box to itself, so it is destroyed outside its own focus change.
constexpr UINT kEndEditMessage = WM_APP + 0x101;

COLORREF ToColorRef(std::uint32_t argb) { return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF); }

}  // namespace

CEditUI::CEditUI() { m_TextStyle = DT_SINGLELINE | DT_VCENTER | DT_LEFT; }

CEditUI::~CEditUI() {
    if (m_EditWindow != nullptr) {
        ::SetWindowLongPtrW(m_EditWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_DefaultEditProc));
        ::SetWindowLongPtrW(m_EditWindow, GWLP_USERDATA, 0);
        ::DestroyWindow(m_EditWindow);
        m_EditWindow = nullptr;
    }
}

std::wstring CEditUI::GetClass() const { return L"Edit"; }

void* CEditUI::GetInterface(const std::wstring& name) {
    if (EqualsNoCase(name, L"Edit")) return this;
    return CLabelUI::GetInterface(name);
}

std::wstring CEditUI::GetText() const {
    if (m_EditWindow == nullptr) return m_Text;
    const int length = ::GetWindowTextLengthW(m_EditWindow);
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    ::GetWindowTextW(m_EditWindow, buffer.data(), length + 1);
    return std::wstring(buffer.data());
}

void CEditUI::SetText(const std::wstring& text) {
    CLabelUI::SetText(text);
    if (m_EditWindow != nullptr) ::SetWindowTextW(m_EditWindow, text.c_str());
}

void CEditUI::DoEvent(ControlEvent& event) {
    switch (event.type) {
        case EventType::SetFocus:
        case EventType::ButtonDown:
        case EventType::DoubleClick:
            if (m_Enabled && !m_ReadOnly) BeginEdit();
            break;
        case EventType::KillFocus:
            EndEdit();
            break;
        default:
            break;
    }
    CLabelUI::DoEvent(event);
}

void CEditUI::SetVisible(bool visible) {
    if (!visible) EndEdit();
    CLabelUI::SetVisible(visible);
}

void CEditUI::SetEnabled(bool enabled) {
    if (!enabled) EndEdit();
    CLabelUI::SetEnabled(enabled);
}

void CEditUI::BeginEdit() {
    if (m_EditWindow != nullptr || m_Manager == nullptr) return;
    HWND parent = m_Manager->GetPaintWindow();
    if (parent == nullptr || !::IsWindowVisible(parent)) return;
    RECT area{m_Pos.left + m_TextPadding.left, m_Pos.top + m_TextPadding.top, m_Pos.right - m_TextPadding.right,
              m_Pos.bottom - m_TextPadding.bottom};
    // The native box is as high as one line of its font, centred in the text area.
    HFONT font = m_Manager->GetFont(m_FontId);
    const long lineHeight = m_Manager->MeasureText(m_FontId, L"Ag").cy + 2;
    const long spare = (area.bottom - area.top) - lineHeight;
    if (spare > 0) {
        area.top += spare / 2;
        area.bottom = area.top + lineHeight;
    }
    m_EditWindow = ::CreateWindowExW(0, L"EDIT", m_Text.c_str(), WS_CHILD | ES_AUTOHSCROLL | ES_LEFT, area.left,
                                     area.top, area.right - area.left, area.bottom - area.top, parent, nullptr,
                                     CPaintManagerUI::GetInstance(), nullptr);
    if (m_EditWindow == nullptr) return;
    ::SendMessageW(m_EditWindow, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    ::SendMessageW(m_EditWindow, EM_LIMITTEXT, static_cast<WPARAM>(m_MaxChar), 0);
    ::SendMessageW(m_EditWindow, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    ::SetWindowLongPtrW(m_EditWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_DefaultEditProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(m_EditWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CEditUI::EditProc)));
    m_Manager->SetActiveEdit(m_EditWindow, this);
    ::ShowWindow(m_EditWindow, SW_SHOW);
    ::SetFocus(m_EditWindow);
    ::SendMessageW(m_EditWindow, EM_SETSEL, 0, -1);
    Invalidate();
}

void CEditUI::EndEdit() {
    if (m_EditWindow == nullptr) return;
    const std::wstring text = GetText();
    HWND window = m_EditWindow;
    m_EditWindow = nullptr;
    // The box goes back to its own procedure before it is destroyed.
    ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_DefaultEditProc));
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    if (m_Manager != nullptr) m_Manager->SetActiveEdit(nullptr, nullptr);
    ::DestroyWindow(window);
    const bool changed = text != m_Text;
    CLabelUI::SetText(text);
    if (changed && m_Manager != nullptr) m_Manager->SendNotify(this, NotifyType::kTextChanged);
}

HBRUSH CEditUI::ColorEdit(HDC dc) {
    const std::uint32_t background = (m_BkColor >> 24) != 0 ? m_BkColor : 0xFFFFFFFF;
    ::SetTextColor(dc, ToColorRef(m_TextColor));
    ::SetBkColor(dc, ToColorRef(background));
    if (!m_EditBrush) m_EditBrush.reset(::CreateSolidBrush(ToColorRef(background)));
    return m_EditBrush.get();
}

LRESULT CALLBACK CEditUI::EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CEditUI*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    WNDPROC fallback = self != nullptr ? self->m_DefaultEditProc : nullptr;
    if (self != nullptr) {
        if (message == WM_KILLFOCUS) {
            ::PostMessageW(window, kEndEditMessage, 0, 0);
        } else if (message == kEndEditMessage) {
            self->EndEdit();
            return 0;
        } else if (message == WM_KEYDOWN && wParam == VK_RETURN) {
            self->EndEdit();
            return 0;
        }
    }
    if (fallback == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
    return ::CallWindowProcW(fallback, window, message, wParam, lParam);
}

void CEditUI::PaintText(HDC dc) {
    if (m_EditWindow != nullptr) return;  // the native box shows the text meanwhile
    CLabelUI::PaintText(dc);
}

void CEditUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"maxchar") SetMaxChar(ParseIntValue(value));
    else if (name == L"readonly") SetReadOnly(ParseBoolValue(value));
    else CLabelUI::SetAttribute(name, value);
}

}  // namespace SkinUI
