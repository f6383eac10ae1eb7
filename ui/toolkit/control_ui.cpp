#include "ui/toolkit/control_ui.h"

#include "ui/toolkit/gdi_handles.h"
#include "ui/toolkit/markup_values.h"
#include "ui/toolkit/notify.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/render_engine.h"

namespace SkinUI {

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
    if (m_Manager != nullptr) m_Manager->ReapControl(this);
}

std::wstring CControlUI::GetClass() const { return L"Control"; }

void* CControlUI::GetInterface(const std::wstring& name) {
    if (EqualsNoCase(name, L"Control")) return this;
    return nullptr;
}

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    if (m_Manager != nullptr && m_Manager != manager) m_Manager->ReapControl(this);
    m_Manager = manager;
    m_Parent = parent;
    if (init && manager != nullptr) Init();
}

void CControlUI::Init() { DoInit(); }

void CControlUI::SetText(const std::wstring& text) {
    if (m_Text == text) return;
    m_Text = text;
    Invalidate();
}

void CControlUI::SetPos(const RECT& rect) {
    m_Pos = rect;
    if (m_Pos.right < m_Pos.left) m_Pos.right = m_Pos.left;
    if (m_Pos.bottom < m_Pos.top) m_Pos.bottom = m_Pos.top;
}

void CControlUI::SetFixedWidth(int width) {
    if (width < 0 || width == m_FixedWidth) return;
    m_FixedWidth = width;
    NeedParentUpdate();
}

void CControlUI::SetFixedHeight(int height) {
    if (height < 0 || height == m_FixedHeight) return;
    m_FixedHeight = height;
    NeedParentUpdate();
}

void CControlUI::SetPadding(const RECT& padding) {
    m_Padding = padding;
    NeedParentUpdate();
}

void CControlUI::SetVisible(bool visible) {
    if (m_Visible == visible) return;
    m_Visible = visible;
    if (!visible && m_Manager != nullptr) m_Manager->ControlHidden(this);
    NeedParentUpdate();
}

void CControlUI::SetEnabled(bool enabled) {
    if (m_Enabled == enabled) return;
    m_Enabled = enabled;
    Invalidate();
}

void CControlUI::SetFocus() {
    if (m_Manager != nullptr) m_Manager->SetFocus(this);
}

void CControlUI::SetBkColor(std::uint32_t argb) {
    m_BkColor = argb;
    Invalidate();
}

void CControlUI::SetBkImage(const std::wstring& descriptor) {
    if (m_BkImage == descriptor) return;
    m_BkImage = descriptor;
    Invalidate();
}

void CControlUI::SetBorderSize(int size) {
    m_BorderSize = size;
    Invalidate();
}

void CControlUI::SetBorderColor(std::uint32_t argb) {
    m_BorderColor = argb;
    Invalidate();
}

void CControlUI::SetBorderRound(SIZE round) {
    m_BorderRound = round;
    Invalidate();
}

void CControlUI::Invalidate() {
    if (m_Manager != nullptr && m_Visible) m_Manager->Invalidate(m_Pos);
}

void CControlUI::NeedUpdate() {
    if (m_Manager != nullptr) m_Manager->NeedUpdate();
}

void CControlUI::NeedParentUpdate() { NeedUpdate(); }

CControlUI* CControlUI::FindControlAt(POINT point) {
    if (!m_Visible || !::PtInRect(&m_Pos, point)) return nullptr;
    return this;
}

CControlUI* CControlUI::FindControlByName(const std::wstring& name) {
    if (!name.empty() && m_Name == name) return this;
    return nullptr;
}

void CControlUI::DoEvent(ControlEvent& event) {
    switch (event.type) {
        case EventType::SetFocus:
            m_Focused = true;
            Invalidate();
            break;
        case EventType::KillFocus:
            m_Focused = false;
            Invalidate();
            break;
        case EventType::Timer:
            if (m_Manager != nullptr) m_Manager->SendNotify(this, NotifyType::kTimer, event.wParam, event.lParam);
            break;
        default:
            break;
    }
}

bool CControlUI::Activate() { return m_Visible && m_Enabled; }

void CControlUI::DoPaint(HDC dc, const RECT& paint) {
    RECT visible{};
    if (!::IntersectRect(&visible, &paint, &m_Pos)) return;
    SavedDcState saved(dc);
    ::IntersectClipRect(dc, visible.left, visible.top, visible.right, visible.bottom);
    PaintBkColor(dc);
    PaintBkImage(dc);
    PaintStatusImage(dc);
    PaintText(dc);
    PaintBorder(dc);
}

void CControlUI::PaintBkColor(HDC dc) { Render::FillRoundColour(dc, m_Pos, m_BkColor, m_BorderRound); }

void CControlUI::PaintBkImage(HDC dc) {
    if (!m_BkImage.empty()) DrawImage(dc, m_BkImage);
}

void CControlUI::PaintStatusImage(HDC) {}

void CControlUI::PaintText(HDC) {}

void CControlUI::PaintBorder(HDC dc) {
    Render::DrawBorder(dc, m_Pos, m_BorderSize, m_BorderColor, m_BorderRound);
}

bool CControlUI::DrawImage(HDC dc, const std::wstring& descriptorText, const RECT* dest) {
    if (m_Manager == nullptr || descriptorText.empty()) return false;
    const ImageDescriptor& descriptor = m_Manager->GetDescriptor(descriptorText);
    const SkinImage* image = m_Manager->GetImage(descriptor.file, descriptor.hasMask, descriptor.mask);
    if (image == nullptr) return false;
    RECT target = m_Pos;
    const RECT* relative = dest != nullptr ? dest : (descriptor.hasDest ? &descriptor.dest : nullptr);
    if (relative != nullptr) {
        target = RECT{m_Pos.left + relative->left, m_Pos.top + relative->top, m_Pos.left + relative->right,
                      m_Pos.top + relative->bottom};
        if (target.right > m_Pos.right) target.right = m_Pos.right;
        if (target.bottom > m_Pos.bottom) target.bottom = m_Pos.bottom;
    }
    Render::DrawImage(dc, *image, target, descriptor);
    return true;
}

void CControlUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"name") {
        SetName(value);
    } else if (name == L"pos") {
        const RECT pos = ParseRectValue(value);
        SetFixedWidth(pos.right - pos.left);
        SetFixedHeight(pos.bottom - pos.top);
    } else if (name == L"width") {
        SetFixedWidth(ParseIntValue(value));
    } else if (name == L"height") {
        SetFixedHeight(ParseIntValue(value));
    } else if (name == L"padding") {
        SetPadding(ParseRectValue(value));
    } else if (name == L"visible") {
        SetVisible(ParseBoolValue(value));
    } else if (name == L"enabled") {
        SetEnabled(ParseBoolValue(value));
    } else if (name == L"bkcolor") {
        SetBkColor(ParseColour(value));
    } else if (name == L"bkimage") {
        SetBkImage(value);
    } else if (name == L"bordersize") {
        SetBorderSize(ParseIntValue(value));
    } else if (name == L"bordercolor") {
        SetBorderColor(ParseColour(value));
    } else if (name == L"borderround") {
        SetBorderRound(ParseSizeValue(value));
    } else if (name == L"text") {
        SetText(value);
    } else if (name == L"userdata") {
        SetUserData(value);
    }
}

bool CControlUI::SetTimer(UINT timerId, UINT elapse) {
    return m_Manager != nullptr && m_Manager->SetTimer(this, timerId, elapse);
}

void CControlUI::KillTimer(UINT timerId) {
    if (m_Manager != nullptr) m_Manager->KillTimer(this, timerId);
}

}  // namespace SkinUI
