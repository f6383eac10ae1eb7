#include "ui/toolkit/button_ui.h"

#include "ui/toolkit/markup_values.h"
#include "ui/toolkit/notify.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/render_engine.h"

namespace SkinUI {

CButtonUI::CButtonUI() { m_TextStyle = DT_SINGLELINE | DT_VCENTER | DT_CENTER; }

std::wstring CButtonUI::GetClass() const { return L"Button"; }

void* CButtonUI::GetInterface(const std::wstring& name) {
    if (EqualsNoCase(name, L"Button")) return this;
    return CLabelUI::GetInterface(name);
}

bool CButtonUI::Activate() {
    if (!CLabelUI::Activate()) return false;
    if (m_Manager != nullptr) {
        NotifyRecord msg;
        msg.type = NotifyType::kClick;
        msg.sender = this;
        msg.point = m_Manager->GetMousePos();
        m_Manager->SendNotify(msg);
    }
    return true;
}

void CButtonUI::SetEnabled(bool enabled) {
    if (!enabled) m_ButtonState = 0;
    CLabelUI::SetEnabled(enabled);
}

void CButtonUI::DoEvent(ControlEvent& event) {
    switch (event.type) {
        case EventType::ButtonDown:
        case EventType::DoubleClick:
            if (::PtInRect(&m_Pos, event.point) && m_Enabled) {
                m_ButtonState |= kPushed | kCaptured;
                Invalidate();
            }
            return;
        case EventType::MouseMove:
            if ((m_ButtonState & kCaptured) != 0) {
                if (::PtInRect(&m_Pos, event.point)) m_ButtonState |= kPushed;
                else m_ButtonState &= ~kPushed;
                Invalidate();
            }
            return;
        case EventType::ButtonUp:
            if ((m_ButtonState & kCaptured) != 0) {
                m_ButtonState &= ~(kPushed | kCaptured);
                Invalidate();
                // Only a release over the control it was pressed on clicks it.
                if (::PtInRect(&m_Pos, event.point)) Activate();
            }
            return;
        case EventType::MouseEnter:
            if (m_Enabled) {
                m_ButtonState |= kHot;
                Invalidate();
            }
            return;
        case EventType::MouseLeave:
            m_ButtonState &= ~kHot;
            Invalidate();
            return;
        case EventType::KeyDown:
            if (event.wParam == VK_SPACE || event.wParam == VK_RETURN) {
                Activate();
                return;
            }
            break;
        default:
            break;
    }
    CLabelUI::DoEvent(event);
}

void CButtonUI::PaintBkColor(HDC dc) {
    if ((m_ButtonState & kPushed) != 0 && m_PushedBkColor != 0) {
        Render::FillRoundColour(dc, m_Pos, m_PushedBkColor, m_BorderRound);
    } else if ((m_ButtonState & kHot) != 0 && m_HotBkColor != 0) {
        Render::FillRoundColour(dc, m_Pos, m_HotBkColor, m_BorderRound);
    } else {
        CLabelUI::PaintBkColor(dc);
    }
}

void CButtonUI::PaintStatusImage(HDC dc) {
    // A disabled button shows its disabled image or nothing: never a normal-state picture.
    if (!m_Enabled) {
        if (!m_DisabledImage.empty()) DrawImage(dc, m_DisabledImage);
        return;
    }
    if ((m_ButtonState & kPushed) != 0 && !m_PushedImage.empty() && DrawImage(dc, m_PushedImage)) return;
    if ((m_ButtonState & kHot) != 0 && !m_HotImage.empty() && DrawImage(dc, m_HotImage)) return;
    if (m_Focused && !m_FocusedImage.empty() && DrawImage(dc, m_FocusedImage)) return;
    if (!m_NormalImage.empty()) DrawImage(dc, m_NormalImage);
}

std::uint32_t CButtonUI::CurrentTextColor() const {
    if (!m_Enabled) return m_DisabledTextColor;
    if ((m_ButtonState & kPushed) != 0 && m_PushedTextColor != 0) return m_PushedTextColor;
    if ((m_ButtonState & kHot) != 0 && m_HotTextColor != 0) return m_HotTextColor;
    return m_TextColor;
}

void CButtonUI::SetNormalImage(const std::wstring& descriptor) {
    m_NormalImage = descriptor;
    Invalidate();
}

void CButtonUI::SetHotImage(const std::wstring& descriptor) {
    m_HotImage = descriptor;
    Invalidate();
}

void CButtonUI::SetPushedImage(const std::wstring& descriptor) {
    m_PushedImage = descriptor;
    Invalidate();
}

void CButtonUI::SetDisabledImage(const std::wstring& descriptor) {
    m_DisabledImage = descriptor;
    Invalidate();
}

void CButtonUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"normalimage") SetNormalImage(value);
    else if (name == L"hotimage") SetHotImage(value);
    else if (name == L"pushedimage") SetPushedImage(value);
    else if (name == L"focusedimage") m_FocusedImage = value;
    else if (name == L"disabledimage") SetDisabledImage(value);
    else if (name == L"hottextcolor") m_HotTextColor = ParseColour(value);
    else if (name == L"pushedtextcolor") m_PushedTextColor = ParseColour(value);
    else if (name == L"hotbkcolor") m_HotBkColor = ParseColour(value);
    else if (name == L"pushedbkcolor") m_PushedBkColor = ParseColour(value);
    else CLabelUI::SetAttribute(name, value);
}

}  // namespace SkinUI
