#include "ui/toolkit/container_ui.h"

#include "ui/toolkit/gdi_handles.h"
#include "ui/toolkit/markup_values.h"

namespace SkinUI {

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI() { RemoveAll(); }

std::wstring CContainerUI::GetClass() const { return L"Container"; }

void* CContainerUI::GetInterface(const std::wstring& name) {
    if (EqualsNoCase(name, L"Container")) return this;
    return CControlUI::GetInterface(name);
}

CControlUI* CContainerUI::GetItemAt(int index) const {
    if (index < 0 || index >= GetCount()) return nullptr;
    return m_Items[static_cast<size_t>(index)].get();
}

int CContainerUI::GetItemIndex(const CControlUI* control) const {
    for (size_t i = 0; i < m_Items.size(); ++i) {
        if (m_Items[i].get() == control) return static_cast<int>(i);
    }
    return -1;
}

CControlUI* CContainerUI::Add(std::unique_ptr<CControlUI> control) {
    if (!control) return nullptr;
    CControlUI* added = control.get();
    m_Items.push_back(std::move(control));
    if (m_Manager != nullptr) added->SetManager(m_Manager, this, true);
    else added->SetManager(nullptr, this, false);
    NeedUpdate();
    return added;
}

void CContainerUI::RemoveAll() {
    // Children leave in reverse order, each while its parent is still whole.
    while (!m_Items.empty()) m_Items.pop_back();
    NeedUpdate();
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    for (auto& item : m_Items) item->SetManager(manager, this, false);
    CControlUI::SetManager(manager, parent, false);
    if (init && manager != nullptr) {
        for (auto& item : m_Items) item->SetManager(manager, this, true);
        Init();
    }
}

RECT CContainerUI::InnerRect() const {
    return RECT{m_Pos.left + m_Inset.left, m_Pos.top + m_Inset.top, m_Pos.right - m_Inset.right,
                m_Pos.bottom - m_Inset.bottom};
}

void CContainerUI::SetPos(const RECT& rect) {
    CControlUI::SetPos(rect);
    const RECT inner = InnerRect();
    for (auto& item : m_Items) {
        if (!item->IsVisible()) continue;
        const RECT& padding = item->GetPadding();
        item->SetPos(RECT{inner.left + padding.left, inner.top + padding.top, inner.right - padding.right,
                          inner.bottom - padding.bottom});
    }
}

void CContainerUI::DoPaint(HDC dc, const RECT& paint) {
    RECT visible{};
    if (!::IntersectRect(&visible, &paint, &m_Pos)) return;
    SavedDcState saved(dc);
    ::IntersectClipRect(dc, visible.left, visible.top, visible.right, visible.bottom);
    PaintBkColor(dc);
    PaintBkImage(dc);
    PaintStatusImage(dc);
    PaintText(dc);
    // Children larger than the container stay inside its clip.
    for (auto& item : m_Items) {
        if (item->IsVisible()) item->DoPaint(dc, visible);
    }
    PaintBorder(dc);
}

CControlUI* CContainerUI::FindControlAt(POINT point) {
    if (!m_Visible || !::PtInRect(&m_Pos, point)) return nullptr;
    for (auto it = m_Items.rbegin(); it != m_Items.rend(); ++it) {
        if (CControlUI* found = (*it)->FindControlAt(point)) return found;
    }
    return this;
}

CControlUI* CContainerUI::FindControlByName(const std::wstring& name) {
    if (name.empty()) return nullptr;
    if (m_Name == name) return this;
    for (auto& item : m_Items) {
        if (CControlUI* found = item->FindControlByName(name)) return found;
    }
    return nullptr;
}

void CContainerUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"inset") {
        m_Inset = ParseRectValue(value);
        NeedUpdate();
    } else if (name == L"childpadding") {
        m_ChildPadding = ParseIntValue(value);
        NeedUpdate();
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

}  // namespace SkinUI
