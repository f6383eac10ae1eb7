// CComboUI: a selection among items (its child controls, each showing its text). The
// installer only selects an item by index and reads the current index, so the combo draws
// the current item's text in its own box and opens no drop-down list.
#pragma once

#include "ui/toolkit/container_ui.h"

namespace SkinUI {

class CComboUI : public CContainerUI {
public:
    CComboUI();

    std::wstring GetClass() const override;
    void* GetInterface(const std::wstring& name) override;

    // -1 while nothing is selected.
    int GetCurSel() const { return m_CurSel; }
    // Selects item `index`; with `notify`, sends "itemselect" (new index, previous index).
    // An index out of range or the one already selected changes nothing and sends nothing.
    bool SelectItem(int index, bool notify = true);

    std::wstring GetText() const override;
    void SetPos(const RECT& rect) override;
    void DoPaint(HDC dc, const RECT& paint) override;
    CControlUI* FindControlAt(POINT point) override;
    void PaintText(HDC dc) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;

private:
    int m_CurSel = -1;
    int m_FontId = -1;
    std::uint32_t m_TextColor = 0xFF000000;
    RECT m_TextPadding{};
};

}  // namespace SkinUI
