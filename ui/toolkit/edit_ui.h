// CEditUI: a single-line text entry. It is drawn like a label; while it has the focus a
// native EDIT child window sits over its text area and takes the keyboard, and when that
// window loses the focus its text goes back into the control.
#pragma once

#include "ui/toolkit/gdi_handles.h"
#include "ui/toolkit/label_ui.h"

namespace SkinUI {

class CEditUI : public CLabelUI {
public:
    CEditUI();
    ~CEditUI() override;

    std::wstring GetClass() const override;
    void* GetInterface(const std::wstring& name) override;

    std::wstring GetText() const override;
    void SetText(const std::wstring& text) override;
    void SetMaxChar(int count) { m_MaxChar = count; }
    void SetReadOnly(bool readOnly) { m_ReadOnly = readOnly; }
    bool IsEditing() const { return m_EditWindow != nullptr; }

    void DoEvent(ControlEvent& event) override;
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    void PaintText(HDC dc) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;

    // The paint manager asks for the native box's colours (WM_CTLCOLOREDIT).
    HBRUSH ColorEdit(HDC dc);
    // Ends editing: the native box's text becomes the control's text.
    void EndEdit();

private:
    void BeginEdit();
    static LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_EditWindow = nullptr;
    WNDPROC m_DefaultEditProc = nullptr;
    UniqueBrush m_EditBrush;
    int m_MaxChar = 260;
    bool m_ReadOnly = false;
};

}  // namespace SkinUI
