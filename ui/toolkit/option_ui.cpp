#include "ui/toolkit/option_ui.h"

#include "ui/toolkit/markup_values.h"
#include "ui/toolkit/notify.h"
#include "ui/toolkit/paint_manager.h"

namespace SkinUI {

std::wstring COptionUI::GetClass() const { return L"Option"; }

void* COptionUI::GetInterface(const std::wstring& name) {
    if (EqualsNoCase(name, L"Option")) return this;
    return CButtonUI::GetInterface(name);
}

void COptionUI::Selected(bool selected, bool notify) {
    if (m_Selected == selected) return;
    m_Selected = selected;
    Invalidate();
    if (notify && m_Manager != nullptr) m_Manager->SendNotify(this, NotifyType::kSelectChanged);
}

bool COptionUI::Activate() {
    if (!CButtonUI::Activate()) return false;
    Selected(!m_Selected, true);
    return true;
}

void COptionUI::PaintStatusImage(HDC dc) {
    if (m_Enabled && m_Selected && !m_SelectedImage.empty() && DrawImage(dc, m_SelectedImage)) return;
    CButtonUI::PaintStatusImage(dc);
}

std::uint32_t COptionUI::CurrentTextColor() const {
    if (m_Enabled && m_Selected && m_SelectedTextColor != 0) return m_SelectedTextColor;
    return CButtonUI::CurrentTextColor();
}

void COptionUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"selected") Selected(ParseBoolValue(value), false);
    else if (name == L"selectedimage") m_SelectedImage = value;
    else if (name == L"selectedtextcolor") m_SelectedTextColor = ParseColour(value);
    else if (name == L"group") m_Group = value;
    else CButtonUI::SetAttribute(name, value);
}

std::wstring CCheckBoxUI::GetClass() const { return L"CheckBox"; }

void* CCheckBoxUI::GetInterface(const std::wstring& name) {
    if (EqualsNoCase(name, L"CheckBox")) return this;
    return COptionUI::GetInterface(name);
}

}  // namespace SkinUI
