#include "ui/toolkit/box_layout_ui.h"

#include "ui/toolkit/box_layout.h"
#include "ui/toolkit/markup_values.h"

namespace SkinUI {

namespace {

void PlaceChildren(CContainerUI& box, const RECT& inner, bool vertical, int childPadding) {
    std::vector<BoxItem> items;
    items.reserve(static_cast<size_t>(box.GetCount()));
    for (int i = 0; i < box.GetCount(); ++i) {
        const CControlUI* item = box.GetItemAt(i);
        items.push_back(BoxItem{item->GetFixedWidth(), item->GetFixedHeight(), item->GetPadding(), item->IsVisible()});
    }
    const std::vector<RECT> placed = ArrangeBox(inner, vertical, childPadding, items);
    for (int i = 0; i < box.GetCount(); ++i) {
        if (items[static_cast<size_t>(i)].visible) box.GetItemAt(i)->SetPos(placed[static_cast<size_t>(i)]);
    }
}

}  // namespace

std::wstring CVerticalLayoutUI::GetClass() const { return L"VerticalLayout"; }

void* CVerticalLayoutUI::GetInterface(const std::wstring& name) {
    if (EqualsNoCase(name, L"VerticalLayout")) return this;
    return CContainerUI::GetInterface(name);
}

void CVerticalLayoutUI::SetPos(const RECT& rect) {
    CControlUI::SetPos(rect);
    PlaceChildren(*this, InnerRect(), true, m_ChildPadding);
}

std::wstring CHorizontalLayoutUI::GetClass() const { return L"HorizontalLayout"; }

void* CHorizontalLayoutUI::GetInterface(const std::wstring& name) {
    if (EqualsNoCase(name, L"HorizontalLayout")) return this;
    return CContainerUI::GetInterface(name);
}

void CHorizontalLayoutUI::SetPos(const RECT& rect) {
    CControlUI::SetPos(rect);
    PlaceChildren(*this, InnerRect(), false, m_ChildPadding);
}

}  // namespace SkinUI
