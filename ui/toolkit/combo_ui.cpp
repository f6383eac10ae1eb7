#include "ui/toolkit/combo_ui.h"

#include "ui/toolkit/gdi_handles.h"
#include "ui/toolkit/markup_values.h"
#include "ui/toolkit/notify.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/render_engine.h"

namespace SkinUI {

CComboUI::CComboUI() = default;

std::wstring CComboUI::GetClass() const { return L"Combo"; }

void* CComboUI::GetInterface(const std::wstring& name) {
    if (EqualsNoCase(name, L"Combo")) return this;
    return CContainerUI::GetInterface(name);
}

bool CComboUI::SelectItem(int index, bool notify) {
    if (index < 0 || index >= GetCount() || index == m_CurSel) return false;
    const int previous = m_CurSel;
    m_CurSel = index;
    Invalidate();
    if (notify && m_Manager != nullptr) {
        m_Manager->SendNotify(this, NotifyType::kItemSelect, static_cast<WPARAM>(index), previous);
    }
    return true;
}

std::wstring CComboUI::GetText() const {
    const CControlUI* item = GetItemAt(m_CurSel);
    return item != nullptr ? item->GetText() : std::wstring();
}

void CComboUI::SetPos(const RECT& rect) {
    // Items live in the (absent) drop-down list, not in the box.
    CControlUI::SetPos(rect);
}

void CComboUI::DoPaint(HDC dc, const RECT& paint) { CControlUI::DoPaint(dc, paint); }

CControlUI* CComboUI::FindControlAt(POINT point) { return CControlUI::FindControlAt(point); }

void CComboUI::PaintText(HDC dc) {
    const std::wstring text = GetText();
    if (text.empty()) return;
    const RECT area{m_Pos.left + m_TextPadding.left, m_Pos.top + m_TextPadding.top,
                    m_Pos.right - m_TextPadding.right, m_Pos.bottom - m_TextPadding.bottom};
    HFONT font = m_Manager != nullptr ? m_Manager->GetFont(m_FontId) : nullptr;
    Render::PaintText(dc, area, text, m_TextColor, font, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

void CComboUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"font") m_FontId = ParseIntValue(value);
    else if (name == L"textcolor") m_TextColor = ParseColour(value);
    else if (name == L"textpadding") m_TextPadding = ParseRectValue(value);
    else CContainerUI::SetAttribute(name, value);
}

}  // namespace SkinUI
