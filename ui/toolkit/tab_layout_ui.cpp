#include "ui/toolkit/tab_layout_ui.h"

#include "ui/toolkit/markup_values.h"
#include "ui/toolkit/notify.h"
#include "ui/toolkit/paint_manager.h"

namespace SkinUI {

std::wstring CTabLayoutUI::GetClass() const { return L"TabLayout"; }

void* CTabLayoutUI::GetInterface(const std::wstring& name) {
    if (EqualsNoCase(name, L"TabLayout")) return this;
    return CContainerUI::GetInterface(name);
}

CControlUI* CTabLayoutUI::Add(std::unique_ptr<CControlUI> control) {
    if (!control) return nullptr;
    if (m_CurSel < 0) {
        m_CurSel = GetCount();
        control->SetVisible(true);
    } else {
        control->SetVisible(false);
    }
    return CContainerUI::Add(std::move(control));
}

bool CTabLayoutUI::SelectItem(int index, bool notify) {
    if (index < 0 || index >= GetCount() || index == m_CurSel) return false;
    const int previous = m_CurSel;
    m_CurSel = index;
    for (int i = 0; i < GetCount(); ++i) GetItemAt(i)->SetVisible(i == index);
    NeedUpdate();
    if (m_Manager != nullptr) {
        GetItemAt(index)->SetFocus();
        if (notify) m_Manager->SendNotify(this, NotifyType::kTabSelect, static_cast<WPARAM>(index), previous);
    }
    return true;
}

}  // namespace SkinUI
