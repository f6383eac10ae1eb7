// COptionUI: a two-state button; a click sends "click" and then toggles the state, which
// sends "selectchanged". CCheckBoxUI is an option without a group.
#pragma once

#include "ui/toolkit/button_ui.h"

namespace SkinUI {

class COptionUI : public CButtonUI {
public:
    std::wstring GetClass() const override;
    void* GetInterface(const std::wstring& name) override;

    bool IsSelected() const { return m_Selected; }
    // No change, no notification.
    void Selected(bool selected, bool notify = true);

    bool Activate() override;
    void PaintStatusImage(HDC dc) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;

protected:
    std::uint32_t CurrentTextColor() const override;

    bool m_Selected = false;
    std::wstring m_SelectedImage;
    std::uint32_t m_SelectedTextColor = 0;
    std::wstring m_Group;
};

class CCheckBoxUI : public COptionUI {
public:
    std::wstring GetClass() const override;
    void* GetInterface(const std::wstring& name) override;
    bool GetCheck() const { return IsSelected(); }
    void SetCheck(bool check, bool notify = true) { Selected(check, notify); }
};

}  // namespace SkinUI
