// CWindowWnd: a native window bound to a C++ object. The object registers its window
// class on first use, receives every message in HandleMessage and hears of the window's
// end in OnFinalMessage. It can run the window modally and centre it.
#pragma once

#include <windows.h>

#include "ui/toolkit/gdi_handles.h"

namespace SkinUI {

class CWindowWnd {
public:
    CWindowWnd() = default;
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    HWND GetHWND() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    HWND Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, int x = CW_USEDEFAULT,
                int y = CW_USEDEFAULT, int width = CW_USEDEFAULT, int height = CW_USEDEFAULT);
    void ShowWindow(bool show = true, bool takeFocus = true);
    // Shows the window, disables its owner and dispatches messages until the window is
    // gone; a quit message ends the loop early and is posted again. Returns the wParam
    // of the close message that closed the window.
    UINT ShowModal();
    // Posts a close message carrying `code`; nothing happens once the window is gone.
    void Close(UINT code = IDOK);
    // Centres on the owner, or on the nearest monitor's work area when there is no owner
    // or it is minimised, and keeps the window inside that work area.
    void CenterWindow();
    // Sets the large and the small icon from an icon resource of the module.
    void SetIcon(UINT resourceId);

    // Registering a class that exists already counts as success.
    bool RegisterWindowClass();

protected:
    virtual const wchar_t* GetWindowClassName() const = 0;
    virtual const wchar_t* GetSuperClassName() const;
    virtual UINT GetClassStyle() const;
    virtual LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
    virtual void OnFinalMessage(HWND hWnd);

public:
    virtual ~CWindowWnd();

protected:
    static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    UINT m_CloseCode = 0;  // wParam of the last close message received

private:
    UniqueIcon m_LargeIcon;
    UniqueIcon m_SmallIcon;
};

}  // namespace SkinUI
