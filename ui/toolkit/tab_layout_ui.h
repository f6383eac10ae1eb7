// CTabLayoutUI: shows exactly one child, the current page; pages are numbered from 0 in
// the order they were added and page 0 is shown first.
#pragma once

#include "ui/toolkit/container_ui.h"

namespace SkinUI {

class CTabLayoutUI : public CContainerUI {
public:
    std::wstring GetClass() const override;
    void* GetInterface(const std::wstring& name) override;

    CControlUI* Add(std::unique_ptr<CControlUI> control) override;
    int GetCurSel() const { return m_CurSel; }
    // Shows page `index` and gives it the focus; with `notify`, sends "tabselect" (new
    // page, previous page). Selecting the page already shown, or one that does not exist,
    // does nothing and returns false.
    bool SelectItem(int index, bool notify = true);

private:
    int m_CurSel = -1;
};

}  // namespace SkinUI
