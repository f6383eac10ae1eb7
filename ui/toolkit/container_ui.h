// CContainerUI: a control that owns child controls, paints them inside its own clip and
// finds them by point and name. The plain container gives each visible child its whole
// inner rectangle; the box and tab layouts place them their own way.
#pragma once

#include <memory>
#include <vector>

#include "ui/toolkit/control_ui.h"

namespace SkinUI {

class CContainerUI : public CControlUI {
public:
    CContainerUI();
    ~CContainerUI() override;

    std::wstring GetClass() const override;
    void* GetInterface(const std::wstring& name) override;

    int GetCount() const { return static_cast<int>(m_Items.size()); }
    CControlUI* GetItemAt(int index) const;
    int GetItemIndex(const CControlUI* control) const;
    // Takes ownership; returns the added control (nullptr for nullptr).
    virtual CControlUI* Add(std::unique_ptr<CControlUI> control);
    void RemoveAll();

    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) override;
    void SetPos(const RECT& rect) override;
    void DoPaint(HDC dc, const RECT& paint) override;
    CControlUI* FindControlAt(POINT point) override;
    CControlUI* FindControlByName(const std::wstring& name) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;

    const RECT& GetInset() const { return m_Inset; }
    int GetChildPadding() const { return m_ChildPadding; }

protected:
    // The rectangle children are placed in: the control less its inset.
    RECT InnerRect() const;

    std::vector<std::unique_ptr<CControlUI>> m_Items;
    RECT m_Inset{};
    int m_ChildPadding = 0;
};

}  // namespace SkinUI
